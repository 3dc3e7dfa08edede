#pragma once

#include <vector>

#include "ui/platform/geometry.h"

namespace ui::platform {

// The monitor nearest to a rectangle: the one it overlaps most, else the closest one.
// Requires: `monitors` is not empty.
const Monitor& nearest_monitor(const std::vector<Monitor>& monitors, const Rect& rect);

enum class Centre { No, Yes };
enum class DialogMargin { No, Yes };

// Where a window of `rect` goes within `area`: centred, or pulled inside it. Windows of
// the system dialog class keep one pixel from the edges. The size never changes.
Rect place_in_area(const Rect& rect, const Rect& area, Centre centre, DialogMargin margin);

}  // namespace ui::platform
