#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/value.h"
#include "data/wdbtable.h"
#include "ui/browse_font.h"
#include "ui/grid_model.h"
#include "ui/platform/window.h"

namespace ui {

// A heading that switches the grid's order: its column (1-based) and the tag it selects.
struct BrowseOrderPair {
  int column = 0;
  std::string tag;
};

// An entry a dialog adds to the grid's context menu.
struct BrowseOption {
  std::string text;
  std::function<void()> action;
};

// What BrowMarks binds a grid with; kept in the grid's CARGO.
struct BrowseBinding {
  static constexpr std::size_t kMaxPairs = 8;

  std::vector<BrowseOrderPair> pairs;
  int active_pair = 0;  // 1-based; 0 before binding.
  platform::Handle list_window = 0;
  data::Value scope_top;
  data::Value scope_bottom;
  bool is_search_on = true;
  int selector_width = 16;
  std::string search_text;
  std::vector<BrowseOption> options;
};

// A grid bound to one table handle: the grid model with its presentation switches, the binding
// state, the heading that shows the active order, the user's font, marks and the search list.
// Drawing belongs to the display; redraw() is where a subclass mirrors the rows into its window.
class WBROWSE {
 public:
  // Requires: `table` is open and outlives the grid.
  explicit WBROWSE(data::WDBTable& table);
  virtual ~WBROWSE() = default;
  WBROWSE(const WBROWSE&) = delete;
  WBROWSE& operator=(const WBROWSE&) = delete;

  GridModel& model() { return m_model; }
  const GridModel& model() const { return m_model; }
  data::WDBTable& table() { return m_model.table(); }
  std::vector<WBCOLUMN>& columns() { return m_model.columns(); }

  BrowseBinding CARGO;

  // Presentation switches the dialog sets after creation.
  bool SHOWNUMBERS = false;
  int NUBWIDTH = 16;
  bool BOXCURSOR = false;
  bool AUTOLITE = true;
  bool ESCAPE = false;
  bool MAKE3D = true;
  bool MIMICBUTTON = false;
  bool SHOWFOCUS = true;
  bool AUTOSIZE = false;
  bool USERMOVE = false;
  bool USERSIZE = true;
  bool is_enabled = true;

  // The user's font; empty: the dialog's.
  std::optional<BrowseFont> font;
  // Rows marked in the row-selector column (NUBWIDTH above 3).
  std::set<std::uint32_t> marks;
  // Texts copied from cells, offered to the searches.
  std::vector<std::string> search_list;

  // The colour of heading `column` (1-based): the highlight for the active pair's column, else 0.
  std::int64_t heading_colour(int column) const;
  // A click on heading `column`: switches to its pair's order, re-applies the scope, keeps the
  // current row when it is in the scope and redraws. False (nothing done) for a heading without a
  // pair.
  bool click_heading(int column);
  // Makes pair `pair` (1-based) active. False when there is no such pair.
  bool apply_pair(int pair);
  // Marks or unmarks the current row (only with a row-selector column wider than 3).
  void toggle_mark();
  // Incremental search: `typed` is added to the search text and sought in the active order.
  bool incremental_search(char typed);
  void clear_search() { CARGO.search_text.clear(); }

  // Redraw from the table (NMAXREC re-read); redraw the shown rows; recompute the layout.
  void REFRESHALL();
  void SHOWDATA();
  void CONFIGURE();

  // Shows the model's rows; the base keeps nothing to show.
  virtual void redraw() {}

 private:
  GridModel m_model;
};

}  // namespace ui
