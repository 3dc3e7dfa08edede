#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.h"
#include "data/wdbtable.h"
#include "data/wtable_session.h"
#include "ui/wblistbox.h"

namespace ui {

// The arguments of BrowMarks after the grid.
struct BrowMarksOptions {
  std::vector<BrowseOrderPair> pairs;  // {heading column, order tag}; at most 8.
  int initial_pair = 1;
  data::Value scope_top;     // Empty: no scope.
  data::Value scope_bottom;  // Empty: the same as the top.
  bool is_search_off = false;
  int selector_width = 16;
  bool go_top = true;
  std::string search_text;  // Sought instead of going to the first row when not empty.
  std::vector<BrowseOption> options;
};

// Adds a column to `grid`. The heading is taken as given (a dialog's ADD2BROWSE passes it through
// CHECK_TRADUCT first). With a field name the cell is that field of `table`'s current row, its
// width and decimals known for numbers; with `block` instead, the block's result.
// Throws data::RuntimeError when the table has no such field.
WBCOLUMN& AGREGARCOL(WBROWSE& grid, data::WDBTable& table, std::string_view heading, std::string_view field,
                     std::string_view picture = "", std::function<data::Value()> block = {},
                     int align = WBCOLUMN::kLeft, bool is_text = true, int width_adjust = 0);

// Binds `grid` to its table: stores the binding, applies the initial pair's order and the scope,
// goes to the first row (or seeks the search text), hooks the list window and starts its refresh
// timer. `is_active` tells the timer whether the dialog is the active child; `commands` takes the
// context commands the grid leaves to the dialog.
void BrowMarks(WBLISTBOX& grid, BrowMarksOptions options, WBLISTBOX::IsActive is_active,
               WBLISTBOX::CommandHandler commands = {});

// A new key range (bottom empty: the top) and its first row; redrawn unless `refresh` is false.
void SET_SCOPE(WBROWSE& grid, const data::Value& top, const data::Value& bottom = {}, bool refresh = true);
void CLEAR_SCOPE(WBROWSE& grid);
// Replaces pair `pair` (1-based; one past the end adds it, up to 8).
void SET_INDEXCOL(WBROWSE& grid, int pair, std::string_view tag, int column);
// Re-applies the active pair's order.
void ORDERSHOW(WBROWSE& grid);
inline void REFRESHALL(WBROWSE& grid) { grid.REFRESHALL(); }
inline void SHOWDATA(WBROWSE& grid) { grid.SHOWDATA(); }
inline void CONFIGURE(WBROWSE& grid) { grid.CONFIGURE(); }

// The grid mix-in of business dialogs: a dialog deriving from WDIAG derives from it too, creates
// its grids with WBLISTBOX_INIT and binds them with BrowMarks. The grids live as long as the mix-in
// (the dialog object); their handlers stop with the list window.
class ADD2BROWSE {
 public:
  virtual ~ADD2BROWSE() = default;

  // Creates the grid over list control `id` of `dialog` and keeps it.
  WBLISTBOX& WBLISTBOX_INIT(platform::WindowSystem& ws, platform::Handle dialog, std::int64_t id,
                            data::WDBTable& table, std::string dialog_name);
  WBCOLUMN& AGREGARCOL(WBROWSE& grid, data::WDBTable& table, std::string_view heading, std::string_view field,
                       std::string_view picture = "", std::function<data::Value()> block = {},
                       int align = WBCOLUMN::kLeft, bool is_text = true, int width_adjust = 0);
  // BrowMarks with the dialog's own activity and commands, and the user's F_BROWSE font.
  void BrowMarks(WBLISTBOX& grid, BrowMarksOptions options);

  const std::vector<std::unique_ptr<WBLISTBOX>>& grids() const { return m_grids; }

 protected:
  // Whether the dialog is the active child (the refresh timer redraws only then).
  virtual bool browse_dialog_is_active() const = 0;
  // Site text replacement of headings.
  virtual std::string browse_heading(std::string_view heading) const { return std::string(heading); }
  // The session F_BROWSE is read from; null: no per-user fonts.
  virtual data::TableSession* browse_session() const { return nullptr; }
  // Context commands the dialog handles itself (export, fonts, date search); false: not handled.
  virtual bool browse_command(WBLISTBOX& grid, std::int64_t command) {
    (void)grid;
    (void)command;
    return false;
  }

 private:
  std::vector<std::unique_ptr<WBLISTBOX>> m_grids;
};

}  // namespace ui
