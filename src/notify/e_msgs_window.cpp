#include "notify/e_msgs_window.h"

#include "data/use_table.h"
#include "startup/settings.h"
#include "ui/dialog_host.h"
#include "ui/dialog_traduct.h"
#include "ui/platform/messages.h"

namespace notify {

namespace {

// The two clickable headings and the orders they select.
constexpr int kDateColumn = 1;
constexpr int kRecipientColumn = 4;

std::string text_picture(int width) { return std::string(static_cast<std::size_t>(width), 'X'); }

std::string trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

E_MSGS::E_MSGS(const ui::DialogOwner& owner, data::TableSession& session, data::Value business)
    : m_session(&session), m_business(std::move(business)) {
  if (!Init(owner, "E_MSGS")) return;
  AbrirBases();
  ui::WBLISTBOX& grid = WBLISTBOX_INIT(ws(), hWnd(), kListId, *m_msgs, "E_MSGS");
  m_grid = &grid;
  add_columns(grid);
  ui::BrowMarksOptions marks;
  marks.pairs = {{kDateColumn, "E_MSGS1"}, {kRecipientColumn, "E_MSGS2"}};
  marks.initial_pair = 1;
  BrowMarks(grid, std::move(marks));
  CREATE("E_MSGS");
  SHOW_COMPANY(business_name());
}

E_MSGS::~E_MSGS() = default;

void E_MSGS::AbrirBases() { m_msgs = data::USE(*m_session, this, "E_MSGS", "E_MSGS1"); }

void E_MSGS::CerrarBases() {
  data::KILLTABLA(m_msgs.get());
}

void E_MSGS::add_columns(ui::WBLISTBOX& grid) {
  data::WDBTable& msgs = *m_msgs;
  AGREGARCOL(grid, msgs, "Fecha", "FECHA");
  AGREGARCOL(grid, msgs, "Hora", "HORA", text_picture(10));
  // The send state as the other programs of the suite store it: 0 waiting, 1 sent, 2 given up.
  AGREGARCOL(grid, msgs, "Estado", "ENVIADO", "999999", {}, ui::WBCOLUMN::kRight);
  AGREGARCOL(grid, msgs, "Destino", "TO_USER", text_picture(45));
  AGREGARCOL(grid, msgs, "Subject", "SUBJECT", text_picture(45));
  AGREGARCOL(grid, msgs, "Reserva", "COD_RES", text_picture(15));
  AGREGARCOL(grid, msgs, "Fecha E.", "F_ENVIO");
  AGREGARCOL(grid, msgs, "Hora E.", "H_ENVIO", text_picture(10));
  AGREGARCOL(grid, msgs, "Error Text", "ERR_TEXT", text_picture(45));
  AGREGARCOL(grid, msgs, "CC1", "CC1", text_picture(45));
  AGREGARCOL(grid, msgs, "CC2", "CC2", text_picture(45));
}

std::string E_MSGS::browse_heading(std::string_view heading) const {
  return ui::CHECK_TRADUCT(heading, startup::settings().XTRADUCT);
}

std::string E_MSGS::business_name() const {
  if (!m_business.is_text() || trimmed(m_business.text()).empty()) return {};
  auto businesses = data::USE(*m_session, {}, "NEGOCIOS", "NEGOCIOS");
  if (!businesses->Seek(m_business)) return {};
  return trimmed(businesses->FieldGet("DESCRIP").text());
}

ui::Answer E_MSGS::OnCOMMAND(const ui::platform::Param& wParam, const ui::platform::Param&) {
  const std::int64_t id = wParam.number() & 0xFFFF;
  const std::int64_t code = (wParam.number() >> 16) & 0xFFFF;
  if (id == kListId && code == ui::platform::LBN_SELCHANGE && m_grid) {
    m_grid->sync_selection();
    return 1;
  }
  return {};
}

ui::Answer E_MSGS::OnNCDESTROY(const ui::platform::Param&, const ui::platform::Param&) {
  CerrarBases();
  return {};
}

E_MSGS& open_outbox_log(const ui::DialogOwner& owner, data::TableSession& session, const data::Value& business) {
  return owner.host().adopt(std::make_unique<E_MSGS>(owner, session, business));
}

}  // namespace notify
