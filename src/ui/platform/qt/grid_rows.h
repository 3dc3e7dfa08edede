#pragma once

#include <string>
#include <vector>

namespace ui::platform {

// A grid's rows as the desktop reads them: one row at a time, by its position among the
// rows in scope, never the whole table.
class GridRows {
 public:
  virtual ~GridRows() = default;

  virtual int column_count() const = 0;
  virtual std::string heading(int column) const = 0;
  // Rows in scope; may change after each redraw of the grid.
  virtual int row_count() = 0;
  // The shown texts of the row at 0-based `position`; empty past the end.
  virtual std::vector<std::string> row(int position) = 0;
  // Position of the current row; -1 when the grid is empty.
  virtual int current_row() = 0;
};

}  // namespace ui::platform
