#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// One row of a grid as shown: its record and one text per column.
struct GridRow {
  std::uint32_t recno = 0;  // 0: no such row.
  std::vector<std::string> cells;
};

// A grid as a display reads it, row by row on demand: the rows of the scope are counted from key
// positions (an estimate for large scopes) and row i is read from the table when it is asked for,
// so a view can show a table of any size. Reading a row may move the table handle, but every call
// leaves it on the grid's current row.
class GridRows {
 public:
  virtual ~GridRows() = default;
  virtual long row_count() = 0;
  // Row `index` (0-based) of the scope; recno 0 past the end.
  virtual GridRow row(long index) = 0;
  virtual std::vector<std::string> headings() const = 0;
  // 0-based index of the current row, -1 when the grid is empty.
  virtual long current_index() = 0;
};

}  // namespace ui
