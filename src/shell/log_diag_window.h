#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/wdbtable.h"
#include "data/wtable_session.h"
#include "ui/add2browse.h"
#include "ui/dialog_owner.h"
#include "ui/wdiag.h"

namespace shell {

// The access-log viewer "LOG_DIAG" ("Accesos Registrados") that a supervisor opens for one command:
// the tree 900 "Usuarios" lists the users who opened that command in the current business (XU_COMP),
// each once, in the order they first appear, under the name USUARIOS gives them; the grid 700 shows
// the openings (Fecha, Hora, Usuario, Info Usuario). The root shows every opening of the command; a
// user's node only that user's. "Salir" closes; the table goes with the window.
//
// A missing LOG_DIAG or USUARIOS table throws data::RuntimeError from the constructor, for the
// error handler; the dialog then has no window. Construction pumps messages (the dialog base).
class LOG_DIAG : public ui::WDIAG, public ui::ADD2BROWSE {
 public:
  static constexpr std::int64_t kTree = 900;
  static constexpr std::int64_t kGrid = 700;

  // Requires: `session` outlives the dialog.
  LOG_DIAG(const ui::DialogOwner& owner, data::TableSession& session, std::string_view resource_name,
           std::int64_t command);

  // What choosing a node of the tree does: the root (or 0) shows every opening of the command, a
  // user's node that user's openings.
  void show_node(std::int64_t item);

  ui::WBLISTBOX* grid() const { return m_grid; }
  // The abbreviation each user node of the tree carries, in tree order.
  const std::vector<std::string>& users() const { return m_users; }
  std::int64_t root_item() const { return m_root; }

  ui::Answer HandleMessage(ui::platform::MessageId message, const ui::platform::Param& wParam,
                           const ui::platform::Param& lParam) override;
  ui::Answer OnNCDESTROY(const ui::platform::Param& wParam, const ui::platform::Param& lParam) override;

 protected:
  bool browse_dialog_is_active() const override { return is_active(); }
  data::TableSession* browse_session() const override { return m_session; }

 private:
  void AbrirBases();
  void CerrarBases();
  void fill_tree();
  void bind_grid();

  data::TableSession* m_session;
  std::string m_key;  // NEGOCIO + STR(ID_DIAG, 10): the command's openings in order LOG_DIAG.
  std::unique_ptr<data::WDBTable> m_log;
  ui::WBLISTBOX* m_grid = nullptr;
  ui::platform::Handle m_tree = 0;
  std::int64_t m_root = 0;
  std::vector<std::string> m_users;
};

}  // namespace shell
