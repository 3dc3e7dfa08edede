#include "ui/platform/monitor_placement.h"

#include <algorithm>
#include <climits>

namespace ui::platform {

namespace {

long long overlap(const Rect& a, const Rect& b) {
  const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

long long distance(const Rect& a, const Rect& b) {
  const long long dx = std::max({0, b.left - a.right, a.left - b.right});
  const long long dy = std::max({0, b.top - a.bottom, a.top - b.bottom});
  return dx * dx + dy * dy;
}

int pull_inside(int start, int size, int low, int high, int margin) {
  return std::max(low + margin, std::min(start, high - size - margin));
}

}  // namespace

const Monitor& nearest_monitor(const std::vector<Monitor>& monitors, const Rect& rect) {
  const Monitor* best = &monitors.front();
  long long best_overlap = -1;
  long long best_distance = LLONG_MAX;
  for (const Monitor& monitor : monitors) {
    const long long shared = overlap(rect, monitor.area);
    const long long apart = distance(rect, monitor.area);
    if (shared > best_overlap || (shared == 0 && best_overlap == 0 && apart < best_distance)) {
      best = &monitor;
      best_overlap = shared;
      best_distance = apart;
    }
  }
  return *best;
}

Rect place_in_area(const Rect& rect, const Rect& area, Centre centre, DialogMargin margin) {
  const int width = rect.width();
  const int height = rect.height();
  int left = 0;
  int top = 0;
  if (centre == Centre::Yes) {
    left = area.left + (area.width() - width) / 2;
    top = area.top + (area.height() - height) / 2;
  } else {
    const int keep = margin == DialogMargin::Yes ? 1 : 0;
    left = pull_inside(rect.left, width, area.left, area.right, keep);
    top = pull_inside(rect.top, height, area.top, area.bottom, keep);
  }
  return Rect{left, top, left + width, top + height};
}

}  // namespace ui::platform
