#include "ui/grid_model.h"

#include <algorithm>
#include <cstdlib>

namespace ui {

namespace {

// Rows read on demand that are remembered as starting points for their neighbours.
constexpr std::size_t kMaxAnchors = 512;

}  // namespace

GridModel::GridModel(data::WDBTable& table) : m_cursor(table) {}

void GridModel::set_page_rows(int rows) { m_page_rows = std::max(rows, 1); }

GridRow GridModel::read_row() {
  GridRow row;
  row.recno = table().RecNo();
  row.cells.reserve(m_columns.size());
  for (const WBCOLUMN& column : m_columns) row.cells.push_back(column.cell_text());
  return row;
}

GridRow GridModel::current_row() {
  if (NCRECNO == 0) return {};
  return read_row();
}

std::vector<std::string> GridModel::headings() const {
  std::vector<std::string> out;
  out.reserve(m_columns.size());
  for (const WBCOLUMN& column : m_columns) out.push_back(column.HEADING);
  return out;
}

void GridModel::restore_current() {
  if (NCRECNO != 0) m_cursor.go_to_record(NCRECNO);
}

void GridModel::fill_window(int line) {
  m_rows.clear();
  if (table().Eof() || !m_cursor.in_scope()) {
    ROWPOS = 1;
    return;
  }
  const std::uint32_t current = table().RecNo();
  line = std::clamp(line, 1, m_page_rows);
  long above = -m_cursor.skip(-(line - 1));
  std::vector<GridRow> rows;
  rows.push_back(read_row());
  while (static_cast<int>(rows.size()) < m_page_rows && m_cursor.skip(1) == 1) rows.push_back(read_row());
  if (static_cast<int>(rows.size()) < m_page_rows && m_cursor.go_to_record(rows.front().recno)) {
    // Near the end of the scope: fill the window from above.
    while (static_cast<int>(rows.size()) < m_page_rows && m_cursor.skip(-1) == -1) {
      rows.insert(rows.begin(), read_row());
      ++above;
    }
  }
  m_rows = std::move(rows);
  ROWPOS = static_cast<int>(above) + 1;
  m_cursor.go_to_record(current);
}

void GridModel::after_move() {
  NCRECNO = table().Eof() ? 0 : table().RecNo();
  NCURREC = NCRECNO ? m_cursor.position() : 0;
}

void GridModel::go_top() {
  const bool any = m_cursor.go_top();
  HITTOP = true;
  HITBOTTOM = !any;
  after_move();
  NCURREC = any ? 1 : 0;
  fill_window(1);
}

void GridModel::go_bottom() {
  const bool any = m_cursor.go_bottom();
  HITTOP = !any;
  HITBOTTOM = true;
  after_move();
  if (any) NCURREC = NMAXREC;
  fill_window(m_page_rows);
}

void GridModel::skip(long count) {
  if (NCRECNO == 0 || count == 0) {
    HITTOP = HITBOTTOM = NCRECNO == 0;
    return;
  }
  if (std::labs(count) > m_page_rows) {
    const long target = NCURREC + count;
    go_to_position(target);
    HITTOP = target < 1;
    HITBOTTOM = target > NMAXREC;
    return;
  }
  const long moved = m_cursor.skip(count);
  HITTOP = count < 0 && moved != count;
  HITBOTTOM = count > 0 && moved != count;
  NCRECNO = table().RecNo();
  if (HITTOP) NCURREC = 1;
  else if (HITBOTTOM) NCURREC = NMAXREC;
  else NCURREC = std::clamp(NCURREC + moved, 1L, std::max(NMAXREC, 1L));
  const long line = ROWPOS + moved;
  if (line >= 1 && line <= static_cast<long>(m_rows.size()) && m_rows[static_cast<std::size_t>(line - 1)].recno == NCRECNO) {
    ROWPOS = static_cast<int>(line);  // Still inside the window: nothing to read.
    return;
  }
  fill_window(static_cast<int>(std::clamp(line, 1L, static_cast<long>(m_page_rows))));
}

void GridModel::go_to_position(long position) {
  m_cursor.go_to_position(position);
  after_move();
  fill_window(ROWPOS);
}

void GridModel::select_line(int line) {
  if (line < 1 || line > static_cast<int>(m_rows.size())) return;
  skip(line - ROWPOS);
}

void GridModel::refresh_all() {
  m_anchors.clear();
  NMAXREC = m_cursor.row_count();
  if (NCRECNO == 0 || !m_cursor.go_to_record(NCRECNO)) {
    if (!m_cursor.go_top()) NMAXREC = 0;  // Only deleted rows left in the scope.
  }
  after_move();
  NCURREC = std::min(NCURREC, NMAXREC);
  fill_window(ROWPOS);
}

void GridModel::show_data() {
  restore_current();
  fill_window(ROWPOS);
}

void GridModel::set_order(std::string_view tag) {
  m_cursor.set_order(tag);
  refresh_all();
}

void GridModel::set_scope(const data::Value& top, const data::Value& bottom) {
  m_cursor.set_scope(top, bottom.is_empty() ? top : bottom);
  m_anchors.clear();
  NMAXREC = m_cursor.row_count();
  go_top();
  if (NCRECNO == 0) NMAXREC = 0;
}

void GridModel::clear_scope() {
  m_cursor.clear_scope();
  m_anchors.clear();
  NMAXREC = m_cursor.row_count();
  go_top();
}

bool GridModel::seek(const data::Value& key) {
  const bool any = m_cursor.seek(key);
  after_move();
  fill_window(ROWPOS);
  return any;
}

bool GridModel::go_to_record(std::uint32_t recno) {
  if (!m_cursor.go_to_record(recno)) return false;
  after_move();
  fill_window(ROWPOS);
  return true;
}

void GridModel::remember_anchor(long index, std::uint32_t recno) {
  if (m_anchors.size() >= kMaxAnchors) m_anchors.clear();
  m_anchors[index] = recno;
}

GridRow GridModel::row(long index) {
  if (index < 0 || index >= NMAXREC || NCRECNO == 0) return {};
  // The nearest row already placed: the current one, or one read before.
  long from = NCURREC - 1;
  std::uint32_t from_recno = NCRECNO;
  const auto consider = [&](std::map<long, std::uint32_t>::const_iterator it) {
    if (it != m_anchors.end() && std::labs(it->first - index) < std::labs(from - index)) {
      from = it->first;
      from_recno = it->second;
    }
  };
  auto above = m_anchors.lower_bound(index);
  consider(above);
  if (above != m_anchors.begin()) consider(std::prev(above));

  const long reach = 2L * m_page_rows + 50;
  GridRow out;
  if (std::labs(index - from) <= reach && m_cursor.go_to_record(from_recno)) {
    if (m_cursor.skip(index - from) == index - from) out = read_row();
  } else if (m_cursor.go_to_position(index + 1)) {
    out = read_row();
  }
  if (out.recno != 0) remember_anchor(index, out.recno);
  restore_current();
  return out;
}

}  // namespace ui
