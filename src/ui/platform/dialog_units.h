#pragma once

#include "ui/platform/dialog_template.h"
#include "ui/platform/geometry.h"

namespace ui::platform {

// A dialog font's base units in pixels at 96 dots per inch: the average width of its
// characters and its height. One horizontal dialog unit is a quarter of the width, one
// vertical unit an eighth of the height.
struct DialogBaseUnits {
  int width = 6;
  int height = 13;
};

// The base units of a dialog font. The numbers come from each face's metrics at 96 DPI,
// as the system measures them (average width of "A".."Z" and "a".."z", cell height):
// for 8-point "MS Shell Dlg", "MS Sans Serif", "Microsoft Sans Serif" and "Tahoma"
// 6 × 13, for 9-point "Segoe UI" 7 × 15; other sizes scale with the em height
// (points × 96 ÷ 72, rounded); unknown faces measure like "MS Shell Dlg".
DialogBaseUnits dialog_base_units(const DialogFont& font);

// A rectangle in dialog units {x, y, width, height} in pixels, rounded like MulDiv.
Rect dialog_units_to_pixels(int x, int y, int width, int height, DialogBaseUnits units);

}  // namespace ui::platform
