#pragma once

#include <memory>
#include <string>

#include "data/value.h"
#include "data/wdbtable.h"
#include "data/wtable_session.h"
#include "ui/add2browse.h"
#include "ui/dialog_owner.h"
#include "ui/wdiag.h"

namespace notify {

// The outbox log window: every row of the shared outbox E_MSGS in a grid, by queue date (heading
// "Fecha", order E_MSGS1, the default) or by recipient (heading "Destino", order E_MSGS2), with the
// send state, the send stamp and the last error of each row. It reads the rows it shows only, so it
// opens at once on an outbox of any size, and redraws from the table every minute while it is the
// active window, so rows queued and sent meanwhile appear.
class E_MSGS final : public ui::WDIAG, public ui::ADD2BROWSE {
 public:
  static constexpr std::int64_t kListId = 700;

  // Builds the window on `owner` for `business` (whose name fills the header). The outbox is opened
  // here and closed with the window. Without the resource "E_MSGS" the object has no window (the
  // operator was told); a missing outbox table throws data::RuntimeError.
  // Requires: `session` outlives the window.
  E_MSGS(const ui::DialogOwner& owner, data::TableSession& session, data::Value business);
  ~E_MSGS() override;

  // The grid over the outbox; null when the window could not be built.
  ui::WBLISTBOX* grid() const { return m_grid; }
  data::WDBTable* outbox() const { return m_msgs.get(); }

 protected:
  bool browse_dialog_is_active() const override { return is_active(); }
  std::string browse_heading(std::string_view heading) const override;
  data::TableSession* browse_session() const override { return m_session; }
  ui::Answer OnCOMMAND(const ui::platform::Param& wParam, const ui::platform::Param& lParam) override;
  ui::Answer OnNCDESTROY(const ui::platform::Param& wParam, const ui::platform::Param& lParam) override;

 private:
  void AbrirBases();
  void CerrarBases();
  void add_columns(ui::WBLISTBOX& grid);
  std::string business_name() const;

  data::TableSession* m_session;
  data::Value m_business;
  std::unique_ptr<data::WDBTable> m_msgs;
  ui::WBLISTBOX* m_grid = nullptr;
};

// Opens the outbox log window for `business`: what the menu's "Log Envío de emails" (command 6282)
// runs. The host keeps the window object until its window is gone. Answers the window (without a
// window when the resource is missing).
E_MSGS& open_outbox_log(const ui::DialogOwner& owner, data::TableSession& session, const data::Value& business);

}  // namespace notify
