#include "ui/platform/window_system.h"

#include <algorithm>

#include "ui/platform/monitor_placement.h"
#include "ui/platform/text_case.h"

namespace ui::platform {

namespace {
constexpr int kCentreFlag = 1;
constexpr int kWorkAreaFlag = 2;
}  // namespace

Point WindowSystem::client_origin(Handle handle) const {
  // The non-client area (frame, caption) has no thickness in this window system: a
  // window's client area is the whole window.
  Point origin;
  for (const Window* window = find(handle); window && window->handle != m_desktop;) {
    origin.x += window->rect.left;
    origin.y += window->rect.top;
    window = (window->style & WS_CHILD) ? find(window->parent) : nullptr;
  }
  return origin;
}

Rect WindowSystem::GETWINDOWRECT(Handle handle) const {
  const Window* window = find(handle);
  if (!window) return {};
  if (handle == m_desktop) return window->rect;
  const Point origin = client_origin(handle);
  return Rect{origin.x, origin.y, origin.x + window->rect.width(), origin.y + window->rect.height()};
}

Rect WindowSystem::GETCLIENTRECT(Handle handle) const {
  const Window* window = find(handle);
  return window ? Rect{0, 0, window->rect.width(), window->rect.height()} : Rect{};
}

Point WindowSystem::CLIENTTOSCREEN(Handle handle, Point point) const {
  const Point origin = client_origin(handle);
  return Point{point.x + origin.x, point.y + origin.y};
}

Point WindowSystem::SCREENTOCLIENT(Handle handle, Point point) const {
  const Point origin = client_origin(handle);
  return Point{point.x - origin.x, point.y - origin.y};
}

void WindowSystem::move_to(Handle handle, Rect rect, std::uint32_t flags) {
  Window* window = find(handle);
  if (!window) return;
  const Rect old = window->rect;
  if (flags & SWP_NOMOVE) rect = Rect{old.left, old.top, old.left + rect.width(), old.top + rect.height()};
  if (flags & SWP_NOSIZE) rect = Rect{rect.left, rect.top, rect.left + old.width(), rect.top + old.height()};
  window->rect = rect;
  if (!(window->style & (WS_MINIMIZE | WS_MAXIMIZE))) window->normal_rect = rect;
  const bool moved = rect.left != old.left || rect.top != old.top;
  const bool sized = rect.width() != old.width() || rect.height() != old.height();
  if (!moved && !sized) return;
  m_backend.window_moved(handle);
  deliver(handle, WM_WINDOWPOSCHANGED, 0, 0);
  if (moved) deliver(handle, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
  if (sized) deliver(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect.width(), rect.height()));
}

bool WindowSystem::SETWINPOS(Handle handle, Handle insert_after, int x, int y, int width, int height,
                             std::uint32_t flags) {
  Window* window = find(handle);
  if (!window || handle == m_desktop) return false;
  if (!(flags & SWP_NOZORDER)) {
    std::vector<Handle>& siblings = (window->style & WS_CHILD) ? find(window->parent)->children : m_top_level;
    constexpr Handle kBottom = 1;
    std::erase(siblings, handle);
    if (insert_after == 0) {
      siblings.insert(siblings.begin(), handle);
    } else if (insert_after == kBottom) {
      siblings.push_back(handle);
    } else {
      const auto at = std::find(siblings.begin(), siblings.end(), insert_after);
      siblings.insert(at == siblings.end() ? siblings.begin() : at + 1, handle);
    }
  }
  move_to(handle, Rect{x, y, x + std::max(width, 0), y + std::max(height, 0)}, flags);
  if (flags & SWP_SHOWWINDOW) SHOWWINDOW(handle, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) SHOWWINDOW(handle, SW_HIDE);
  return true;
}

bool WindowSystem::CLIPORCENTERWINDOWTOMONITOR(Handle handle, int flags) {
  const Window* window = find(handle);
  if (!window || handle == m_desktop) return false;
  const Rect screen = GETWINDOWRECT(handle);
  const Monitor& monitor = nearest_monitor(m_monitors, screen);
  const Rect& area = (flags & kWorkAreaFlag) ? monitor.work_area : monitor.area;
  const DialogMargin margin = equals_ignoring_case(window->class_name, "#32770") ? DialogMargin::Yes : DialogMargin::No;
  const Rect placed = place_in_area(screen, area, (flags & kCentreFlag) ? Centre::Yes : Centre::No, margin);
  const Point origin = (window->style & WS_CHILD) ? client_origin(window->parent) : Point{};
  move_to(handle, Rect{placed.left - origin.x, placed.top - origin.y, placed.right - origin.x, placed.bottom - origin.y},
          0);
  return true;
}

bool WindowSystem::SETMULTIWINCLIPPOS(Handle handle, Handle insert_after, int x, int y, int width, int height,
                                      std::uint32_t position_flags, int clip_flags) {
  const Window* window = find(handle);
  if (!window || handle == m_desktop) return false;
  if (width == 0 && height == 0) {
    move_to(handle, Rect{x, y, x + window->rect.width(), y + window->rect.height()}, SWP_NOSIZE);
    window = find(handle);
    if (!window) return false;
    width = window->rect.width();
    height = window->rect.height();
  }
  const Point origin = (window->style & WS_CHILD) ? client_origin(window->parent) : Point{};
  const Rect screen{x + origin.x, y + origin.y, x + origin.x + width, y + origin.y + height};
  const Monitor& monitor = nearest_monitor(m_monitors, screen);
  const Rect& area = (clip_flags & kWorkAreaFlag) ? monitor.work_area : monitor.area;
  const DialogMargin margin = equals_ignoring_case(window->class_name, "#32770") ? DialogMargin::Yes : DialogMargin::No;
  const Rect placed = place_in_area(screen, area, (clip_flags & kCentreFlag) ? Centre::Yes : Centre::No, margin);
  return SETWINPOS(handle, insert_after, placed.left - origin.x, placed.top - origin.y, width, height,
                   position_flags & ~(SWP_NOMOVE | SWP_NOSIZE));
}

bool WindowSystem::CENTERWINDOW(Handle handle) {
  const Window* window = find(handle);
  if (!window || handle == m_desktop) return false;
  const Handle over = GETPARENT(handle) ? GETPARENT(handle) : m_desktop;
  const Rect outer = GETWINDOWRECT(over);
  const Rect screen = GETWINDOWRECT(handle);
  Rect centred = place_in_area(screen, outer, Centre::Yes, DialogMargin::No);
  const Monitor& monitor = nearest_monitor(m_monitors, centred);
  centred = place_in_area(centred, monitor.area, Centre::No, DialogMargin::No);
  const Point origin = (window->style & WS_CHILD) ? client_origin(window->parent) : Point{};
  move_to(handle, Rect{centred.left - origin.x, centred.top - origin.y, centred.right - origin.x,
                       centred.bottom - origin.y},
          0);
  return true;
}

std::array<int, 11> WindowSystem::GETWINDOWPLACEMENT(Handle handle) const {
  const Window* window = find(handle);
  if (!window || handle == m_desktop) return {};
  constexpr int kRecordLength = 44;
  const int show = (window->style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                   : (window->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                                   : SW_SHOWNORMAL;
  const Rect& normal = (window->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? window->normal_rect : window->rect;
  return {kRecordLength, 0, show, -1, -1, -1, -1, normal.left, normal.top, normal.right, normal.bottom};
}

bool WindowSystem::SETWINDOWPLACEMENT(Handle handle, const std::array<int, 11>& placement) {
  Window* window = find(handle);
  if (!window || handle == m_desktop) return false;
  const Rect normal{placement[7], placement[8], placement[9], placement[10]};
  if (window->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    window->normal_rect = normal;
  } else {
    move_to(handle, normal, 0);
  }
  SHOWWINDOW(handle, placement[2]);
  return true;
}

Handle WindowSystem::WINDOWFROMPOINT(Point point) const {
  for (Handle top : m_top_level) {
    if (!ISWINDOWVISIBLE(top) || !GETWINDOWRECT(top).contains(point.x, point.y)) continue;
    Handle found = top;
    for (bool deeper = true; deeper;) {
      deeper = false;
      for (Handle child : find(found)->children) {
        if (ISWINDOWVISIBLE(child) && GETWINDOWRECT(child).contains(point.x, point.y)) {
          found = child;
          deeper = true;
          break;
        }
      }
    }
    return found;
  }
  return m_desktop;
}

void WindowSystem::activate(Handle handle) {
  if (handle == m_active || !find(handle)) return;
  const Handle previous = std::exchange(m_active, handle);
  if (find(previous)) {
    deliver(previous, WM_NCACTIVATE, 0, 0);
    deliver(previous, WM_ACTIVATE, WA_INACTIVE, handle);
  }
  if (find(handle) && m_active == handle) {
    deliver(handle, WM_NCACTIVATE, 1, 0);
    deliver(handle, WM_ACTIVATE, WA_ACTIVE, previous);
  }
}

Handle WindowSystem::SETFOCUS(Handle handle) {
  if (handle == 0) {
    const Handle previous = std::exchange(m_focus, 0);
    if (find(previous)) deliver(previous, WM_KILLFOCUS, 0, 0);
    return previous;
  }
  const Window* window = find(handle);
  if (!window || handle == m_desktop) return 0;
  const Handle previous = m_focus;
  if (previous == handle) return previous;
  const Handle top = top_level_of(handle);
  if (top != m_active) activate(top);
  m_focus = handle;
  if (find(previous)) deliver(previous, WM_KILLFOCUS, handle, 0);
  if (find(handle) && m_focus == handle) {
    m_backend.window_state_changed(handle);
    deliver(handle, WM_SETFOCUS, previous, 0);
  }
  return previous;
}

bool WindowSystem::SETFOREGROUNDWINDOW(Handle handle) {
  const Handle top = top_level_of(handle);
  if (!top || top == m_desktop) return false;
  activate(top);
  return true;
}

bool WindowSystem::BRINGWINDOWTOTOP(Handle handle) {
  if (!find(handle) || handle == m_desktop) return false;
  SETWINPOS(handle, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (!(find(handle)->style & WS_CHILD)) activate(handle);
  return true;
}

}  // namespace ui::platform
