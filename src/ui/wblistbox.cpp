#include "ui/wblistbox.h"

#include <algorithm>

#include "data/runtime_error.h"
#include "startup/settings.h"
#include "ui/browse_grid_rows.h"
#include "ui/browse_messages.h"
#include "ui/grid_export_table.h"

namespace ui {

namespace {

using platform::Handle;
using platform::MessageId;
using platform::Param;

constexpr int kLinePixels = kBrowseLinePixels;
constexpr int kHeadingPixels = kBrowseHeadingPixels;

std::string joined(const std::vector<std::string>& cells) {
  std::string out;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i) out += '\t';
    out += cells[i];
  }
  return out;
}

bool is_refresh_on() {
  const data::Value& setting = startup::settings().XREFRESH_BROWSE;
  return setting.is_number() && setting.number() == 1;
}

}  // namespace

WBLISTBOX::WBLISTBOX(platform::WindowSystem& ws, Handle dialog, std::int64_t id, data::WDBTable& table,
                     std::string dialog_name)
    : WBROWSE(table),
      m_ws(&ws),
      m_dialog(dialog),
      m_list(ws.GETDLGITEM(dialog, id)),
      m_id(id),
      m_dialog_name(std::move(dialog_name)),
      m_self(std::make_shared<WBLISTBOX*>(this)) {
  if (m_list == 0)
    throw data::RuntimeError("WBLISTBOX:INIT", "BROWSE", m_dialog_name + ": no control " + std::to_string(id));
  model().set_page_rows(visible_lines());
}

WBLISTBOX::~WBLISTBOX() {
  *m_self = nullptr;
  if (m_hooked) platform::grid_registry().unbind(m_list);
  if (m_hooked && m_ws->ISWINDOW(m_list)) m_ws->KILLTIMER(m_list, kBrowseRefreshTimer);
}

int WBLISTBOX::visible_lines() const {
  const platform::Rect client = m_ws->GETCLIENTRECT(m_list);
  return std::max(1, (client.bottom - client.top - kHeadingPixels) / kLinePixels);
}

void WBLISTBOX::hook(IsActive is_active, CommandHandler commands) {
  m_is_active = std::move(is_active);
  m_commands = std::move(commands);
  std::weak_ptr<WBLISTBOX*> self = m_self;
  auto level = std::make_shared<int>(0);
  platform::WindowSystem* ws = m_ws;
  platform::Handler block = [self, level, ws](Handle window, MessageId message, const Param& wParam,
                                              const Param& lParam) -> std::int64_t {
    const auto grid = self.lock();
    if (grid && *grid) {
      const std::int64_t answer = (*grid)->handle(message, wParam, lParam);
      if (answer != 0) return answer;
    }
    return ws->CALLWINDOWPROC(*level, window, message, wParam, lParam);
  };
  *level = m_ws->SUBCLASSWINDOW(m_list, std::move(block), platform::MessageFilter::all());
  m_ws->SETTIMER(m_list, kBrowseRefreshTimer, kBrowseRefreshMilliseconds);
  m_hooked = true;
  platform::grid_registry().bind(m_list, std::make_shared<BrowseGridRows>(m_self));
}

void WBLISTBOX::redraw() {
  const GridModel& grid = model();
  m_ws->SENDMESSAGE(m_list, platform::LB_RESETCONTENT);
  for (const GridRow& row : grid.visible_rows()) {
    const std::int64_t index = m_ws->SENDMESSAGE(m_list, platform::LB_ADDSTRING, 0, Param::text(joined(row.cells)));
    m_ws->SENDMESSAGE(m_list, platform::LB_SETITEMDATA, index, static_cast<std::int64_t>(row.recno));
  }
  m_ws->SENDMESSAGE(m_list, platform::LB_SETCURSEL, grid.visible_rows().empty() ? -1 : grid.ROWPOS - 1);
  m_ws->SETSCROLLRANGE(m_list, platform::SB_VERT, 0, static_cast<int>(std::max(grid.NMAXREC, 0L)));
  m_ws->SETSCROLLPOS(m_list, platform::SB_VERT, static_cast<int>(grid.NCURREC));
  if (m_hooked) platform::grid_registry().changed(m_list);
}

void WBLISTBOX::sync_selection() {
  const std::int64_t selected = m_ws->SENDMESSAGE(m_list, platform::LB_GETCURSEL);
  if (selected < 0) return;
  model().select_line(static_cast<int>(selected) + 1);
  redraw();
}

bool WBLISTBOX::copy_current_cell() {
  const std::size_t column = static_cast<std::size_t>(std::max(current_column, 1) - 1);
  if (column >= columns().size() || model().NCRECNO == 0) return false;
  const data::Value value = columns()[column].value();
  if (!value.is_text()) {
    m_ws->MESSAGE_BOX("El dato debe ser tipo Caracter", "Error", platform::MB_OK | platform::MB_ICONSTOP);
    return false;
  }
  m_copied = value.text();
  search_list.push_back(m_copied);
  return true;
}

std::int64_t WBLISTBOX::handle_command(std::int64_t command) {
  const auto options = static_cast<std::int64_t>(CARGO.options.size());
  const std::int64_t search = kFirstDialogOption + options;
  if (command >= kFirstDialogOption && command < search) {
    const BrowseOption& option = CARGO.options[static_cast<std::size_t>(command - kFirstDialogOption)];
    if (option.action) option.action();
    return 1;
  }
  switch (command) {
    case kCopyCell: copy_current_cell(); return 1;
    case kClearSearchList: search_list.clear(); return 1;
    default: break;
  }
  if (command == search + 2) {  // Clear the search list, as offered after the searches.
    search_list.clear();
    return 1;
  }
  if (command == search && !search_list.empty()) {
    model().seek(data::Value(search_list.back()));
    redraw();
    return 1;
  }
  if (m_commands && m_commands(command)) return 1;
  if (command == kExportTable && !export_folder.empty()) {
    const data::Result<GridExport> written = export_grid_table(model(), export_folder);
    if (written) {
      m_ws->MESSAGE_BOX("Se exportaron " + std::to_string(written->rows) + " filas a " + written->file.string(),
                        "Exportar", platform::MB_OK | platform::MB_ICONINFORMATION);
    } else {
      m_ws->MESSAGE_BOX("No se pudo exportar la tabla: " + written.error().text, "Exportar",
                        platform::MB_OK | platform::MB_ICONSTOP);
    }
    return 1;
  }
  if (command == kExportSpreadsheet) {
    // FIXME: the spreadsheet writer is not in this program yet; the command stays in the menu.
    m_ws->MESSAGE_BOX("La exportación a hoja de cálculo todavía no está disponible.", "Exportar",
                      platform::MB_OK | platform::MB_ICONINFORMATION);
    return 1;
  }
  return 0;
}

std::int64_t WBLISTBOX::handle_click(int x, int y) {
  if (y < kHeadingPixels) {
    int left = 0;
    for (std::size_t i = 0; i < columns().size(); ++i) {
      const int right = left + columns()[i].width() * kBrowseCharPixels + kBrowseCellPadding;
      if (x >= left && x < right) {
        current_column = static_cast<int>(i) + 1;
        click_heading(current_column);
        return 1;
      }
      left = right;
    }
    return 1;
  }
  int left = 0;
  for (std::size_t i = 0; i < columns().size(); ++i) {
    left += columns()[i].width() * kBrowseCharPixels + kBrowseCellPadding;
    if (x < left) {
      current_column = static_cast<int>(i) + 1;
      break;
    }
  }
  model().select_line((y - kHeadingPixels) / kLinePixels + 1);
  clear_search();
  redraw();
  return 1;
}

std::int64_t WBLISTBOX::handle_scroll(std::int64_t request, long position) {
  GridModel& grid = model();
  switch (request) {
    case kScrollLineUp: grid.skip(-1); break;
    case kScrollLineDown: grid.skip(1); break;
    case kScrollPageUp: grid.page_up(); break;
    case kScrollPageDown: grid.page_down(); break;
    case kScrollTop: grid.go_top(); break;
    case kScrollBottom: grid.go_bottom(); break;
    case kScrollThumbPosition:
    case kScrollThumbTrack: grid.go_to_position(position + 1); break;
    default: return 0;
  }
  redraw();
  return 1;
}

std::int64_t WBLISTBOX::handle_key(int key) {
  GridModel& grid = model();
  switch (key) {
    case kKeyUp: grid.skip(-1); break;
    case kKeyDown: grid.skip(1); break;
    case kKeyPageUp: grid.page_up(); break;
    case kKeyPageDown: grid.page_down(); break;
    case kKeyHome: grid.go_top(); break;
    case kKeyEnd: grid.go_bottom(); break;
    case platform::VK_SPACE: toggle_mark(); return 1;
    default: return 0;
  }
  clear_search();
  redraw();
  return 1;
}

std::int64_t WBLISTBOX::handle(MessageId message, const Param& wParam, const Param& lParam) {
  switch (message) {
    case platform::WM_TIMER:
      if (wParam.number() == kBrowseRefreshTimer) {
        const bool is_due = is_refresh_on() && m_ws->ISWINDOW(m_dialog) && m_ws->ISWINDOWENABLED(m_dialog) &&
                            m_is_active && m_is_active() && is_enabled;
        if (is_due) m_ws->POSTMESSAGE(m_list, kBrowseRefresh);
        return 1;
      }
      return 0;
    case kBrowseRefresh: REFRESHALL(); return 1;
    case kBrowseLoadFont:
      if (font_source) {
        if (std::optional<BrowseFont> loaded = font_source()) font = std::move(loaded);
      }
      redraw();
      return 1;
    case platform::WM_COMMAND: return handle_command(wParam.number() & 0xFFFF);
    case platform::WM_KEYDOWN: return handle_key(static_cast<int>(wParam.number()));
    case platform::WM_CHAR: {
      const auto typed = wParam.number();
      if (typed < 32 || typed > 255 || !CARGO.is_search_on) return 0;
      incremental_search(static_cast<char>(typed));
      return 1;
    }
    case platform::WM_LBUTTONDOWN:
      return handle_click(static_cast<int>(platform::C4W_LOWORD(lParam.number())),
                          static_cast<int>(platform::C4W_HIWORD(lParam.number())));
    case platform::WM_VSCROLL:
      return handle_scroll(platform::C4W_LOWORD(wParam.number()), static_cast<long>(platform::C4W_HIWORD(wParam.number())));
    case kBrowseHeadingClick: return click_heading(static_cast<int>(wParam.number())) ? 1 : 0;
    case kBrowseScrollTo:
      model().go_to_position(wParam.number());
      redraw();
      return 1;
    case kBrowseRowCount: return model().row_count();
    case kBrowseGetRow: {
      const GridRow row = model().row(wParam.number());
      if (std::string* out = lParam.writable_text()) *out = joined(row.cells);
      return row.recno;
    }
    case kBrowseGetHeadings:
      if (std::string* out = lParam.writable_text()) *out = joined(model().headings());
      return 1;
    case kBrowseCurrentRow: return model().current_index();
    case platform::WM_DESTROY:
      m_ws->KILLTIMER(m_list, kBrowseRefreshTimer);
      return 0;
    case platform::WM_NCDESTROY:
      platform::grid_registry().unbind(m_list);
      m_hooked = false;
      *m_self = nullptr;
      return 0;
    default: return 0;
  }
}

}  // namespace ui
