#pragma once

#include <cstdint>

namespace ui::platform {

// A rectangle in pixels, {left, top, right, bottom}; right and bottom lie just outside.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const Rect&) const = default;
};

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// One display: its whole area and its work area (without the task bar).
struct Monitor {
  Rect area;
  Rect work_area;
};

}  // namespace ui::platform
