#include "notify/mailserver.h"

#include <array>
#include <string>
#include <utility>

#include "data/date.h"
#include "data/heartbeat.h"
#include "data/record_lock.h"
#include "data/text.h"
#include "data/use_table.h"
#include "notify/do_mail.h"
#include "notify/outbox_transport.h"
#include "startup/clock_globals.h"
#include "startup/settings.h"

namespace notify {

namespace {

using ui::platform::Handle;
using ui::platform::MessageFilter;
using ui::platform::MessageId;
using ui::platform::Param;

// One table handle of the Center: the member that holds it, the table and its controlling order.
struct CenterTable {
  std::unique_ptr<data::WDBTable> MAILSERVER::*handle;
  std::string_view table;
  std::string_view order;
};

// In the order AbrirBases opens them. STAT_TIP is opened on STAT_TIP9, the order its one reader (the
// occupancy statistics) switches it to: the site catalogue has no tag named after the table.
const CenterTable kCenterTables[] = {
    {&MAILSERVER::CONC_PTO, "CONC_PTO", "CONC_PTO"},
    {&MAILSERVER::AB_E_PTO, "AB_E_PTO", "AB_E_PTO"},
    {&MAILSERVER::AB_D_PTO, "AB_D_PTO", "AB_D_PTO"},
    {&MAILSERVER::xAB_D_PTO, "AB_D_PTO", "AB_D_PTO"},
    {&MAILSERVER::DOCUMENT, "DOCUMENT", "DOCUMENT"},
    {&MAILSERVER::xAGE_RES, "AGE_RES", "AGE_RES"},
    {&MAILSERVER::TMP_PTO, "TMP_PTO.dbf", "TMP_1"},
    {&MAILSERVER::TMP_PTO2, "TMP_PTO2.DBF", "TMP_1"},
    {&MAILSERVER::DEFMAIL, "DEFMAIL", "DEFMAIL"},
    {&MAILSERVER::E_MSGS2, "E_MSGS", "E_MSGS4"},
    {&MAILSERVER::E2_MSGS, "E2_MSGS", "E2_MSGS"},
    {&MAILSERVER::DET_RES2, "DET_RES2", "DET_RES2"},
    {&MAILSERVER::DET_RES9, "DET_RES9", "DET_RES9"},
    {&MAILSERVER::MAIL_T, "MAIL_T", "MAIL_T"},
    {&MAILSERVER::MAIL_MM, "MAIL_MM", "MAIL_MM"},
    {&MAILSERVER::STAT_TIP, "STAT_TIP", "STAT_TIP9"},
    {&MAILSERVER::NEGOCIOS, "NEGOCIOS", "NEGOCIOS"},
    {&MAILSERVER::TIPO_ROM, "TIPO_ROM", "TIPO_ROM"},
    {&MAILSERVER::PAISES, "PAISES", "PAISES"},
    {&MAILSERVER::E_AGEN2, "E_AGEN2", "ORDEN17"},
    {&MAILSERVER::CLAS_ROM, "CLAS_ROM", "CLAS_ROM"},
    {&MAILSERVER::MAIL_P, "MAIL_P", "MAIL_P"},
    {&MAILSERVER::F_HOTEL, "F_HOTEL", "F_HOTEL"},
    {&MAILSERVER::F_HOTEL4, "F_HOTEL4", "F_HOTEL4"},
    {&MAILSERVER::E_FTP, "E_FTP", "E_FTP"},
};

// The labels of the fields the program writes, for the lines echoed when nobody sees the window.
struct StatusField {
  int id;
  std::string_view label;
};
constexpr StatusField kStatusFields[] = {
    {kFieldPending, "Pendientes:"},
    {kFieldStatus, "Status:"},
    {kFieldUp, "Up:"},
    {kFieldSent, "Enviados:"},
    {kFieldErrors, "Errores:"},
    {kFieldLastCode, "Ultimo Error Code registrado:"},
    {kFieldLastCodeAt, "Fecha/Hora:"},
};

constexpr std::int64_t kSalir = 2;

std::string now_text() { return data::DTOC(startup::XDATE()) + " " + startup::XTIME(); }

}  // namespace

std::uint32_t cycle_period_millis(double max_wait2_seconds) {
  if (max_wait2_seconds <= 0) return kMinuteMillis;
  return static_cast<std::uint32_t>(max_wait2_seconds) * 1000U;
}

MAILSERVER::MAILSERVER(CenterServices& services) : m_services(services) {}

MAILSERVER::~MAILSERVER() = default;

MAILSERVER& MAILSERVER::NEW(const ui::DialogOwner& owner, std::string_view resource_name,
                            CenterServices& services) {
  // Adopted before construction runs, so that a run-time error of the first cycle leaves a Center
  // whose window, timers and tables stay owned.
  MAILSERVER& center = owner.host().adopt(std::make_unique<MAILSERVER>(services));
  center.Init(owner, resource_name);
  return center;
}

bool MAILSERVER::Init(const ui::DialogOwner& owner, std::string_view resource_name) {
  xls_Tcuadro.clear();
  X_Header.clear();
  inDoCheck = 0;
  inSendMail = 0;
  AbrirBases();
  Last_Time = seconds_of_day(startup::XTIME());
  // Tick counts before the window exists come from the window system's clock all the same.
  Last_Poll = Last_Mail = Last_Check = owner.host().ws().GETTICKCOUNT();
  nSent = 0;
  nError = 0;

  if (!WDIAG::Init(owner, resource_name)) {
    CerrarBases();
    return false;
  }
  for (const NotificationKind& kind : kNotificationKinds) {
    Add(Make<ui::WCheckBox>(kind.check_box), [this](ui::WDIALOG&, ui::WControlWindow&, int) -> std::int64_t {
      CONF_NOTIFICA();
      return 0;
    });
  }
  Add(Make<ui::WPushButton>(kSalir), [this](ui::WDIALOG&, ui::WControlWindow&, int) -> std::int64_t {
    Terminar(kSalir);
    return 0;
  });
  hook_status_fields();
  CREATE(resource_name);

  heartbeat();
  inWndProc = 0;
  in_sending = 0;
  DoSubClss(hWnd());
  DEFMAIL->GoTop();
  ws().SETTIMER(hWnd(), kCycleTimer, cycle_period_millis(DEFMAIL->FieldGet("MAX_WAIT2").number()));
  Last_EV1 = Last_EV2 = Last_EV3 = Last_Mail = ticks();
  set_field_text(kFieldUp, now_text());
  for (const NotificationKind& kind : kNotificationKinds) {
    set_checked(kind.check_box, DEFMAIL->FieldGet(kind.flag).number() == 1);
  }

  // The heartbeat timer starts even when the first cycle fails: other programs of the suite judge
  // from it whether to send their mail themselves.
  try {
    DO_MAIL();
  } catch (...) {
    Last_EV1 = ticks();
    ws().SETTIMER(hWnd(), kHeartbeatTimer, kMinuteMillis);
    throw;
  }
  Last_EV1 = ticks();
  ws().SETTIMER(hWnd(), kHeartbeatTimer, kMinuteMillis);
  return true;
}

void MAILSERVER::AbrirBases() {
  const std::any owner(static_cast<ui::LR_WDIALOG*>(this));
  for (const CenterTable& table : kCenterTables) {
    this->*table.handle = data::USE(m_services.session, owner, table.table, table.order);
  }
  DEFMAIL->GoTop();
  Negocio = DEFMAIL->FieldGet("NEGOCIO_H");
  NEGOCIOS->Seek(Negocio);
  F_HOTEL->Seek(Negocio);
  F_HOTEL4->Seek(Negocio);
}

void MAILSERVER::CerrarBases() {
  stop_timers();
  for (const CenterTable& table : kCenterTables) {
    data::KILLTABLA((this->*table.handle).get());
  }
}

void MAILSERVER::Terminar(std::int64_t result) {
  stop_timers();
  if (fnTrace) fnTrace->close();
  ENDDIALOG(result);
}

void MAILSERVER::CONF_NOTIFICA() {
  DEFMAIL->GoTop();
  data::RecordLock lock{*DEFMAIL};
  for (const NotificationKind& kind : kNotificationKinds) {
    DEFMAIL->put(kind.flag, data::Value(is_checked(kind.check_box) ? 1 : 0));
  }
  lock.commit();
}

void MAILSERVER::DoSubClss(Handle window) {
  m_timer_level = ws().SUBCLASSWINDOW(
      window,
      guarded([this](Handle w, MessageId m, const Param& wp, const Param& lp) -> std::int64_t {
        return WndProcPr(m_timer_level, w, m, wp, lp);
      }),
      MessageFilter::only({ui::platform::WM_TIMER}));
}

std::int64_t MAILSERVER::WndProcPr(int previous, Handle window, MessageId message, const Param& wParam,
                                   const Param& lParam) {
  if (inWndProc == 1) return ws().CALLWINDOWPROC(previous, window, message, wParam, lParam);
  {
    const ReentryGuard running{inWndProc};
    if (wParam.number() == kCycleTimer) {
      Last_Mail = ticks();
      DO_MAIL();
      Last_EV1 = ticks();
    } else if (wParam.number() == kHeartbeatTimer) {
      heartbeat();
    }
  }
  return ws().CALLWINDOWPROC(previous, window, message, wParam, lParam);
}

void MAILSERVER::DO_MAIL() {
  m_main_window = static_cast<Handle>(startup::settings().XAPPHANDLE);
  notify::DO_MAIL(*this, *DEFMAIL, startup::settings(), in_sending);
}

void MAILSERVER::RESPONDER(int mode) {
  (void)mode;
  step_started("RESPONDER");
}

void MAILSERVER::CHECK_REQS() { step_started("CHECK_REQS"); }

void MAILSERVER::DO_CHECK() {
  step_started("DO_CHECK");
  if (!schedule_clock_allows()) return;
  // FIXME: evaluate the occupancy schedules of MAIL_T.
}

void MAILSERVER::CHECK_COMPRAS() { step_started("CHECK_COMPRAS"); }

void MAILSERVER::DO_MIN_MAX() {
  step_started("DO_MIN_MAX");
  if (!schedule_clock_allows()) return;
  // FIXME: evaluate the minimum-stock schedules of MAIL_MM.
}

void MAILSERVER::CHECK_ACCIONES() { step_started("CHECK_ACCIONES"); }

void MAILSERVER::DO_CHECK_TOURS() {
  step_started("DO_CHECK_TOURS");
  if (!schedule_clock_allows()) return;
  // FIXME: evaluate the tours schedules of MAIL_R.
}

void MAILSERVER::LOAD_MENUS_TOURS() { step_started("LOAD_MENUS_TOURS"); }

void MAILSERVER::FOLLOWUP() { step_started("FOLLOWUP"); }

void MAILSERVER::CHECK_E_FTP() { step_started("CHECK_E_FTP"); }

void MAILSERVER::dispatch_outbox() {
  step_started("dispatch");
  const startup::Settings& settings = startup::settings();
  transport::MailAccount& account = m_services.account;
  account.XEMAILHOST = settings.XEMAILHOST;
  account.XEMAILADDR = settings.XEMAILADDR;
  account.XEMAILNAME = settings.XEMAILNAME;
  account.XEMAIL_ID = settings.XEMAIL_ID;
  account.XEMAILDEST = settings.XEMAILDEST;
  account.XEMAILSEND = settings.XEMAILSEND;
  account.XEMAILAUTH = settings.XEMAILAUTH;
  account.XEMAIL_AU = settings.XEMAIL_AU;
  account.XEMAIL_AP = settings.XEMAIL_AP;
  // The ports are not reloaded by the cycle: they keep what start-up (or the settings dialog) set.
  const auto port = [](const data::Value& value) -> std::optional<int> {
    if (!value.is_number() || value.number() <= 0) return std::nullopt;
    return static_cast<int>(value.number());
  };
  account.XEMAIL_SMTP_PORT = port(settings.XEMAIL_SMTP_PORT);
  account.XEMAIL_POP3_PORT = port(settings.XEMAIL_POP3_PORT);

  transport::MailContext mail{m_engine, account, settings.program_folder.root(), {}, m_services.load_engine};
  MailOperationsTransport transport{mail};
  const ProgramClock clock;
  notify::dispatch_outbox(DispatchContext{*this, *E_MSGS2, *E2_MSGS, transport, clock, settings.program_folder,
                                          settings.XEMAILHOST, settings.XEMAILADDR, nSent, nError, in_sending});
}

void MAILSERVER::set_field_text(int id, const std::string& text) {
  if (hWnd()) ws().SETDLGITEMTEXT(hWnd(), id, text);
}

void MAILSERVER::set_main_title(const std::string& text) {
  if (m_main_window) ws().SETWINDOWTEXT(m_main_window, text);
}

bool MAILSERVER::is_main_iconic() const { return m_main_window != 0 && ws().ISICONIC(m_main_window); }

void MAILSERVER::repaint() {
  // Every change of a field reaches the display back end as it happens; nothing is left to paint.
}

void MAILSERVER::trace(std::string_view label) { WRITE_TRACE(fnTrace.get(), label); }

void MAILSERVER::multitask(int rounds) {
  if (m_services.multitask) {
    m_services.multitask(rounds);
  } else {
    ui::platform::MULTITASK(ws(), m_pump, rounds);
  }
}

void MAILSERVER::heartbeat() { startup::HEARTBEAT(data::kMailServerBeat, startup::XDATE(), startup::XTIME()); }

ui::Answer MAILSERVER::OnNCDESTROY(const Param& wParam, const Param& lParam) {
  CerrarBases();
  return WDIAG::OnNCDESTROY(wParam, lParam);
}

bool MAILSERVER::schedule_clock_allows() {
  return passes_schedule_clock(Last_Time, seconds_of_day(startup::XTIME()));
}

void MAILSERVER::step_started(std::string_view step) const {
  if (on_step) on_step(step);
}

void MAILSERVER::hook_status_fields() {
  if (!m_services.status_echo) return;
  for (const StatusField& field : kStatusFields) {
    const Handle window = item(field.id);
    auto level = std::make_shared<int>(0);
    *level = ws().SUBCLASSWINDOW(
        window,
        guarded([this, level, label = field.label](Handle w, MessageId m, const Param& wp,
                                                    const Param& lp) -> std::int64_t {
          if (m_services.status_echo) m_services.status_echo(std::string(label) + " " + data::ALLTRIM(lp.text()));
          return ws().CALLWINDOWPROC(*level, w, m, wp, lp);
        }),
        MessageFilter::only({ui::platform::WM_SETTEXT}));
  }
}

void MAILSERVER::stop_timers() {
  if (!hWnd()) return;
  ws().KILLTIMER(hWnd(), kCycleTimer);
  ws().KILLTIMER(hWnd(), kHeartbeatTimer);
}

std::int32_t MAILSERVER::ticks() const { return ws().GETTICKCOUNT(); }

}  // namespace notify
