#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/platform/message.h"

// No Qt header here: the list binding includes this file to show its grid on a desktop.

namespace ui::platform {

// A grid's rows as a display reads them: one row at a time, by its position among the
// rows in scope, never the whole table. The list binding implements it over its table
// handle; the desktop back end draws the grid over the list-box window it is bound to.
//
// Every call is made on the user-interface thread, while the window system is between
// messages; an implementation may move its table handle but must put it back.
class GridRows {
 public:
  virtual ~GridRows() = default;

  virtual int column_count() const = 0;
  virtual std::string heading(int column) const = 0;
  // Pixel width of a column; 0 lets the display choose.
  virtual int column_width(int column) const { (void)column; return 0; }
  // True when the column's values are right-aligned (numbers).
  virtual bool is_right_aligned(int column) const { (void)column; return false; }
  // True when a click on the heading switches the order.
  virtual bool is_order_heading(int column) const { (void)column; return false; }
  // The heading of the active order, shown in the highlight colour; -1 for none.
  virtual int active_heading() const { return -1; }
  // Rows in scope (`NMAXREC`).
  virtual int row_count() const = 0;
  // The shown texts of the row at 0-based `position` among the rows in scope; empty when
  // the position is past the end.
  virtual std::vector<std::string> row(int position) const = 0;
  // Position of the current row; -1 when the grid is empty.
  virtual int current_row() const = 0;
  // Position of the row the grid engine shows at the top.
  virtual int top_row() const { return 0; }
  // Pixel heights the grid engine lays its rows out with: a click at a row's middle
  // lands on that row.
  virtual int heading_height() const { return 18; }
  virtual int row_height() const { return 16; }
};

// Which list windows show a grid, for the display. The list binding binds its rows when
// it hooks the list window and tells the registry whenever it redrew (REFRESHALL,
// SHOWDATA, a new order or scope); the display then reads the rows again. A binding
// ends with unbind or with the list window.
class GridRegistry {
 public:
  using Listener = std::function<void(Handle list)>;

  void bind(Handle list, std::shared_ptr<GridRows> rows) {
    m_grids[list] = std::move(rows);
    changed(list);
  }
  void unbind(Handle list) {
    if (m_grids.erase(list)) changed(list);
  }
  // The rows shown over `list`; null when none are bound.
  std::shared_ptr<GridRows> rows(Handle list) const {
    const auto found = m_grids.find(list);
    return found == m_grids.end() ? nullptr : found->second;
  }
  void changed(Handle list) const {
    if (m_listener) m_listener(list);
  }
  // The display's ear; one at a time.
  void set_listener(Listener listener) { m_listener = std::move(listener); }

 private:
  std::unordered_map<Handle, std::shared_ptr<GridRows>> m_grids;
  Listener m_listener;
};

// The registry of the process (one window system, one display).
inline GridRegistry& grid_registry() {
  static GridRegistry registry;
  return registry;
}

}  // namespace ui::platform
