#include "ui/browse_grid_rows.h"

#include <algorithm>

#include "ui/wblistbox.h"

namespace ui {

WBLISTBOX* BrowseGridRows::grid() const {
  const auto held = m_grid.lock();
  return held ? *held : nullptr;
}

namespace {

const WBCOLUMN* column_of(WBLISTBOX* grid, int column) {
  if (!grid || column < 0 || column >= static_cast<int>(grid->columns().size())) return nullptr;
  return &grid->columns()[static_cast<std::size_t>(column)];
}

}  // namespace

int BrowseGridRows::column_count() const {
  WBLISTBOX* g = grid();
  return g ? static_cast<int>(g->columns().size()) : 0;
}

std::string BrowseGridRows::heading(int column) const {
  const WBCOLUMN* c = column_of(grid(), column);
  return c ? c->HEADING : std::string();
}

int BrowseGridRows::column_width(int column) const {
  const WBCOLUMN* c = column_of(grid(), column);
  return c ? c->width() * kBrowseCharPixels + kBrowseCellPadding : 0;
}

bool BrowseGridRows::is_right_aligned(int column) const {
  const WBCOLUMN* c = column_of(grid(), column);
  return c && c->ALIGN == WBCOLUMN::kRight;
}

bool BrowseGridRows::is_order_heading(int column) const {
  WBLISTBOX* g = grid();
  if (!g) return false;
  return std::any_of(g->CARGO.pairs.begin(), g->CARGO.pairs.end(),
                     [column](const BrowseOrderPair& pair) { return pair.column == column + 1; });
}

int BrowseGridRows::active_heading() const {
  WBLISTBOX* g = grid();
  if (!g || g->CARGO.active_pair < 1 || g->CARGO.active_pair > static_cast<int>(g->CARGO.pairs.size())) return -1;
  return g->CARGO.pairs[static_cast<std::size_t>(g->CARGO.active_pair - 1)].column - 1;
}

int BrowseGridRows::row_count() const {
  WBLISTBOX* g = grid();
  return g ? static_cast<int>(g->model().NMAXREC) : 0;
}

std::vector<std::string> BrowseGridRows::row(int position) const {
  WBLISTBOX* g = grid();
  if (!g) return {};
  return g->model().row(position).cells;
}

int BrowseGridRows::current_row() const {
  WBLISTBOX* g = grid();
  return g ? static_cast<int>(g->model().current_index()) : -1;
}

int BrowseGridRows::top_row() const {
  WBLISTBOX* g = grid();
  if (!g || g->model().NCRECNO == 0) return 0;
  return static_cast<int>(std::max(g->model().NCURREC - g->model().ROWPOS, 0L));
}

}  // namespace ui
