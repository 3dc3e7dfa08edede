#include "ui/platform/dialog_units.h"

#include <cmath>
#include <string_view>

#include "ui/platform/text_case.h"

namespace ui::platform {

namespace {

struct FaceMetrics {
  std::string_view face;
  double width_per_em;   // Average character width ÷ em height.
  double height_per_em;  // Cell height ÷ em height.
};

// Measured at 96 DPI: MS Sans Serif 8 pt has an 11-pixel em, 6-pixel average width and
// a 13-pixel cell; Segoe UI 9 pt a 12-pixel em, 7 and 15.
constexpr FaceMetrics kFaces[] = {
    {"MS Shell Dlg", 6.0 / 11, 13.0 / 11},  {"MS Shell Dlg 2", 6.0 / 11, 13.0 / 11},
    {"MS Sans Serif", 6.0 / 11, 13.0 / 11}, {"Microsoft Sans Serif", 6.0 / 11, 13.0 / 11},
    {"Tahoma", 6.0 / 11, 13.0 / 11},        {"Segoe UI", 7.0 / 12, 15.0 / 12},
    {"Arial", 6.0 / 11, 14.0 / 11},         {"Times New Roman", 5.0 / 11, 14.0 / 11},
    {"Courier New", 7.0 / 11, 13.0 / 11},   {"Verdana", 7.0 / 11, 13.0 / 11},
};

int mul_div(int value, int numerator, int denominator) {
  // Rounds half away from zero, as the system's MulDiv does.
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

DialogBaseUnits dialog_base_units(const DialogFont& font) {
  const FaceMetrics* metrics = &kFaces[0];
  for (const FaceMetrics& candidate : kFaces) {
    if (equals_ignoring_case(candidate.face, font.face)) metrics = &candidate;
  }
  const int points = font.point_size > 0 ? font.point_size : 8;
  const int em = mul_div(points, 96, 72);
  return DialogBaseUnits{static_cast<int>(std::lround(em * metrics->width_per_em)),
                         static_cast<int>(std::lround(em * metrics->height_per_em))};
}

Rect dialog_units_to_pixels(int x, int y, int width, int height, DialogBaseUnits units) {
  const int left = mul_div(x, units.width, 4);
  const int top = mul_div(y, units.height, 8);
  return Rect{left, top, left + mul_div(width, units.width, 4), top + mul_div(height, units.height, 8)};
}

}  // namespace ui::platform
