#include "shell/log_diag_window.h"

#include <algorithm>

#include "data/number_format.h"
#include "data/text.h"
#include "data/use_table.h"
#include "startup/settings.h"
#include "ui/platform/messages.h"

namespace shell {
namespace {

constexpr int kBusinessWidth = 15;  // LOG_DIAG->NEGOCIO and USUARIOS->NEGOCIO.
constexpr int kCommandWidth = 10;   // STR(ID_DIAG, 10) in the keys.
constexpr int kUserWidth = 5;       // LOG_DIAG->USUARIO, the abbreviation.

std::string business() {
  const data::Value& XU_COMP = startup::settings().XU_COMP;
  return data::PADR(XU_COMP.is_text() ? XU_COMP.text() : std::string(), kBusinessWidth);
}

}  // namespace

LOG_DIAG::LOG_DIAG(const ui::DialogOwner& owner, data::TableSession& session, std::string_view resource_name,
                   std::int64_t command)
    : m_session(&session), m_key(business() + data::STR(static_cast<double>(command), kCommandWidth)) {
  // The table first: a log that cannot be opened leaves no window behind.
  AbrirBases();
  if (!Init(owner, resource_name)) return;
  m_tree = ws().GETDLGITEM(hWnd(), kTree);
  fill_tree();
  bind_grid();
  CREATE(resource_name);
}

void LOG_DIAG::AbrirBases() {
  m_log = data::USE(*m_session, std::any(static_cast<ui::LR_WDIALOG*>(this)), "LOG_DIAG", "LOG_DIAG");
}

void LOG_DIAG::CerrarBases() { data::KILLTABLA(m_log.get()); }

void LOG_DIAG::fill_tree() {
  m_root = ws().tree_insert(m_tree, 0, "Usuarios");
  m_log->Seek(data::Value(m_key), true);
  for (; !m_log->Eof(); m_log->Skip()) {
    const std::string row_key = data::PADR(m_log->get("NEGOCIO").text(), kBusinessWidth) +
                                data::STR(m_log->get("ID_DIAG").number(), kCommandWidth);
    if (row_key != m_key) break;
    const std::string user = data::PADR(m_log->get("USUARIO").text(), kUserWidth);
    if (std::find(m_users.begin(), m_users.end(), user) == m_users.end()) m_users.push_back(user);
  }
  const std::unique_ptr<data::WDBTable> users =
      data::USE(*m_session, std::any(static_cast<ui::LR_WDIALOG*>(this)), "USUARIOS", "USUARIO4");
  const bool has_names = users->FieldPos("USUARIO") != 0;
  for (std::size_t i = 0; i < m_users.size(); ++i) {
    // A user the users table no longer has is shown by the abbreviation the log kept.
    std::string name = data::ALLTRIM(m_users[i]);
    if (has_names && users->Seek(data::Value(business() + m_users[i]))) {
      const std::string full = data::ALLTRIM(users->get("USUARIO").text());
      if (!full.empty()) name = full;
    }
    ws().tree_insert(m_tree, m_root, name, static_cast<std::int64_t>(i + 1));
  }
  ws().SENDMESSAGE(m_tree, ui::platform::TVM_EXPAND, ui::platform::TVE_EXPAND, m_root);
}

void LOG_DIAG::bind_grid() {
  ui::WBLISTBOX& grid = WBLISTBOX_INIT(ws(), hWnd(), kGrid, *m_log, "LOG_DIAG");
  AGREGARCOL(grid, *m_log, "Fecha", "FECHA");
  AGREGARCOL(grid, *m_log, "Hora", "HORA");
  AGREGARCOL(grid, *m_log, "Usuario", "USUARIO");
  AGREGARCOL(grid, *m_log, "Info Usuario", "INFO_USER");
  grid.SHOWNUMBERS = false;
  grid.BOXCURSOR = false;
  grid.AUTOLITE = false;
  grid.MAKE3D = false;
  grid.SHOWFOCUS = true;
  grid.AUTOSIZE = true;
  grid.USERMOVE = false;
  grid.USERSIZE = true;
  ui::BrowMarksOptions options;
  options.scope_top = data::Value(m_key);
  BrowMarks(grid, std::move(options));
  m_grid = &grid;
}

void LOG_DIAG::show_node(std::int64_t item) {
  if (!m_grid) return;
  std::int64_t user = 0;
  for (const ui::platform::TreeItem& node : ws().tree_items(m_tree)) {
    if (node.item == item && item != m_root) user = node.data;
  }
  if (user < 1 || user > static_cast<std::int64_t>(m_users.size())) {
    m_grid->model().set_order("LOG_DIAG");
    ui::SET_SCOPE(*m_grid, data::Value(m_key));
  } else {
    m_grid->model().set_order("LOG_DIA3");
    ui::SET_SCOPE(*m_grid, data::Value(m_key + m_users[static_cast<std::size_t>(user - 1)]));
  }
  m_grid->model().go_top();
  m_grid->redraw();
}

ui::Answer LOG_DIAG::HandleMessage(ui::platform::MessageId message, const ui::platform::Param& wParam,
                                   const ui::platform::Param& lParam) {
  (void)lParam;
  // The tree tells its dialog about a new selection; which node it is, the tree itself knows.
  if (message == ui::platform::WM_NOTIFY && wParam.number() == kTree && m_tree) {
    show_node(ws().SENDMESSAGE(m_tree, ui::platform::TVM_GETNEXTITEM, ui::platform::TVGN_CARET, 0));
  }
  return {};
}

ui::Answer LOG_DIAG::OnNCDESTROY(const ui::platform::Param&, const ui::platform::Param&) {
  CerrarBases();
  return {};
}

}  // namespace shell
