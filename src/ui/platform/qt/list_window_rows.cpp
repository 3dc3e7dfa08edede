#include "ui/platform/qt/list_window_rows.h"

#include <memory>

#include "data/runtime_error.h"

namespace ui::platform {

namespace {

std::vector<std::string> split_tabs(const std::string& text) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = text.find('\t', start);
    cells.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return cells;
    start = tab + 1;
  }
}

// The grid engine answers from its table; an error there (a damaged index, a lost file)
// must not unwind through Qt's painting, so the row shows empty and the next redraw asks
// again.
template <typename Ask>
std::int64_t ask(WindowSystem& windows, Handle list, Ask question) {
  if (!windows.ISWINDOW(list)) return 0;
  try {
    return question();
  } catch (const data::RuntimeError&) {
    return 0;
  }
}

}  // namespace

ListWindowRows::ListWindowRows(WindowSystem& windows, Handle list) : m_windows(windows), m_list(list) {
  reload_headings();
}

bool ListWindowRows::is_grid(WindowSystem& windows, Handle list) {
  auto headings = std::make_shared<std::string>();
  return ask(windows, list, [&] { return windows.SENDMESSAGE(list, kGridGetHeadings, 0, Param::by_reference(headings)); }) ==
             1 &&
         !headings->empty();
}

void ListWindowRows::reload_headings() {
  auto headings = std::make_shared<std::string>();
  ask(m_windows, m_list, [&] { return m_windows.SENDMESSAGE(m_list, kGridGetHeadings, 0, Param::by_reference(headings)); });
  m_headings = headings->empty() ? std::vector<std::string>{} : split_tabs(*headings);
}

std::string ListWindowRows::heading(int column) const {
  return column >= 0 && column < column_count() ? m_headings[static_cast<std::size_t>(column)] : std::string();
}

int ListWindowRows::row_count() {
  return static_cast<int>(ask(m_windows, m_list, [&] { return m_windows.SENDMESSAGE(m_list, kGridRowCount); }));
}

std::vector<std::string> ListWindowRows::row(int position) {
  auto cells = std::make_shared<std::string>();
  const std::int64_t recno =
      ask(m_windows, m_list, [&] { return m_windows.SENDMESSAGE(m_list, kGridGetRow, position, Param::by_reference(cells)); });
  return recno == 0 ? std::vector<std::string>{} : split_tabs(*cells);
}

int ListWindowRows::current_row() {
  if (!m_windows.ISWINDOW(m_list)) return -1;
  try {
    return static_cast<int>(m_windows.SENDMESSAGE(m_list, kGridCurrentRow));
  } catch (const data::RuntimeError&) {
    return -1;
  }
}

}  // namespace ui::platform
