#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.h"
#include "data/wdbtable.h"
#include "ui/browse_cursor.h"
#include "ui/grid_rows.h"
#include "ui/wbcolumn.h"

namespace ui {

// The grid over one table handle: its columns, the window of rows it shows, the current row and
// the scroll state. Every operation reads only the rows it shows (plus a key-position descent for
// long jumps) and leaves the handle on the current row, so the dialog reads that row's fields.
//
// The position state keeps the names the dialogs use: NMAXREC rows in the scope, NCURREC the
// current row's key position, NCRECNO its record, ROWPOS its line in the window (1-based), HITTOP
// and HITBOTTOM whether the last move ran into an end of the scope.
class GridModel final : public GridRows {
 public:
  // Requires: `table` is open and outlives the model.
  explicit GridModel(data::WDBTable& table);

  BrowseCursor& cursor() { return m_cursor; }
  data::WDBTable& table() { return m_cursor.table(); }
  std::vector<WBCOLUMN>& columns() { return m_columns; }
  const std::vector<WBCOLUMN>& columns() const { return m_columns; }
  void add_column(WBCOLUMN column) { m_columns.push_back(std::move(column)); }
  // Lines the window shows (at least 1).
  void set_page_rows(int rows);
  int page_rows() const { return m_page_rows; }
  const std::vector<GridRow>& visible_rows() const { return m_rows; }

  long NMAXREC = 0;
  long NCURREC = 0;
  std::uint32_t NCRECNO = 0;
  int ROWPOS = 1;
  bool HITTOP = false;
  bool HITBOTTOM = false;

  void go_top();
  void go_bottom();
  // Row by row within the window's reach; a longer jump goes by key position.
  void skip(long count);
  void page_down() { skip(m_page_rows); }
  void page_up() { skip(-m_page_rows); }
  // The scroll bar dragged to key position `position`.
  void go_to_position(long position);
  // A click on line `line` (1-based) of the window.
  void select_line(int line);
  // Re-reads NMAXREC and every shown row from the table, keeping the current row when it is still
  // in the scope (else the first row). Picks up rows other programs changed.
  void refresh_all();
  // Redraws the shown rows from the table without moving.
  void show_data();
  // Switches the controlling order, keeping the current row when it is in the scope of the new order.
  void set_order(std::string_view tag);
  // A new scope (`bottom` empty: the same as `top`), then its first row.
  void set_scope(const data::Value& top, const data::Value& bottom);
  void clear_scope();
  // Soft seek in the active order, within the scope; the row found becomes current.
  bool seek(const data::Value& key);
  // Makes record `recno` current when it is a row of the scope.
  bool go_to_record(std::uint32_t recno);

  // GridRows.
  long row_count() override { return NMAXREC; }
  GridRow row(long index) override;
  std::vector<std::string> headings() const override;
  long current_index() override { return NCURREC - 1; }

  // The current row as shown (cells of every column).
  GridRow current_row();
  // The cells of the row the handle is on, wherever the grid's current row is.
  GridRow current_row_cells() { return read_row(); }

 private:
  GridRow read_row();
  // Rebuilds the window around the current row, wanting it on line `line`.
  void fill_window(int line);
  void after_move();
  void restore_current();
  void remember_anchor(long index, std::uint32_t recno);

  BrowseCursor m_cursor;
  std::vector<WBCOLUMN> m_columns;
  int m_page_rows = 10;
  std::vector<GridRow> m_rows;
  // Rows read on demand: index → record, so neighbours are reached by skipping, not by jumping.
  std::map<long, std::uint32_t> m_anchors;
};

}  // namespace ui
