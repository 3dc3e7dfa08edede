#pragma once

#include "ui/platform/qt/grid_rows.h"
#include "ui/platform/window_system.h"

namespace ui::platform {

// The questions a grid's list window answers besides the list box's own; the list binding
// answers them from its grid engine, so the numbers must stay those it handles.
inline constexpr MessageId kGridHeadingClick = WM_USER + 0xF00;  // wParam: 1-based column.
inline constexpr MessageId kGridRowCount = WM_USER + 0xF01;      // Answer: rows in scope.
inline constexpr MessageId kGridGetRow = WM_USER + 0xF02;        // wParam row; cells by tab into lParam.
inline constexpr MessageId kGridGetHeadings = WM_USER + 0xF03;   // Headings by tab into lParam; answers 1.
inline constexpr MessageId kGridCurrentRow = WM_USER + 0xF04;    // Answer: 0-based, -1 when empty.
inline constexpr MessageId kGridScrollTo = WM_USER + 0xF05;      // wParam: 1-based key position.

// The rows of a grid drawn in a list window, asked of the window one row at a time.
// Asking sends messages to the list window, so it is done only while the window system
// waits for input (a paint, a reload), never inside a notification.
class ListWindowRows final : public GridRows {
 public:
  ListWindowRows(WindowSystem& windows, Handle list);

  // True when the list window answers as a grid (its headings).
  static bool is_grid(WindowSystem& windows, Handle list);

  int column_count() const override { return static_cast<int>(m_headings.size()); }
  std::string heading(int column) const override;
  int row_count() override;
  std::vector<std::string> row(int position) override;
  int current_row() override;
  // Reads the headings again (a new order may rename nothing, a new layout may).
  void reload_headings();

 private:
  WindowSystem& m_windows;
  Handle m_list;
  std::vector<std::string> m_headings;
};

}  // namespace ui::platform
