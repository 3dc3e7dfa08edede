#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "data/value.h"
#include "data/wdbtable.h"
#include "data/wtable_session.h"
#include "notify/mailserver_trace.h"
#include "notify/notify_steps.h"
#include "notify/outbox_dispatch.h"
#include "transport/mail_operations.h"
#include "ui/platform/multitask.h"
#include "ui/wcheckbox.h"
#include "ui/wdiag.h"
#include "ui/wpushbutton.h"

namespace notify {

// What the Center needs from the program beside its dialog host. The program owns all of it.
struct CenterServices {
  data::TableSession& session;
  // The mail account every sender reads. Its TLS and time-out switches are the site's; the Center
  // rewrites its mail settings from DEFMAIL at every cycle (ports excepted: start-up sets those).
  transport::MailAccount& account;
  // MULTITASK of the program (the throttled pump on the process-wide state). Empty: the Center pumps
  // every waiting message on every call.
  std::function<void(int rounds)> multitask;
  // Makes the e-mail engine; empty: the real one.
  transport::EngineLoader load_engine;
  // Where the status fields are echoed as lines when nobody can see the window (the headless back
  // end): "Status: Idle...". Empty: no echo.
  std::function<void(std::string_view line)> status_echo;
};

// The Notification Center: the modeless dialog "MAILSERVER" that runs the notification server's
// cycle on its timer 1 (every DEFMAIL->MAX_WAIT2 seconds, 60 when 0), writes the heartbeat "MAILSERV"
// on its timer 2 (every 60 s), shows its counters and last status in fields 500-506, and stores the
// seven notification switches (check boxes 1001-1007) into DEFMAIL.
//
// Construction opens the Center's tables, builds the window, starts timer 1, runs the first cycle
// and then starts timer 2, all before NEW returns. Its table handles, counters and flags are public:
// the cycle's steps work on them. Everything runs on the user-interface thread; the cycle pumps
// messages, and the flags inWndProc and in_sending keep a tick that arrives meanwhile from starting
// a second cycle (such a tick is dropped, not queued).
class MAILSERVER final : public ui::WDIAG, public CycleSteps, public DispatchHost {
 public:
  // Requires: `services` outlives the dialog.
  explicit MAILSERVER(CenterServices& services);
  ~MAILSERVER() override;

  // Creates, shows and starts the Center; the owner's host keeps it alive until its window is gone.
  // A run-time error of the first cycle reaches the caller, with the Center already running.
  static MAILSERVER& NEW(const ui::DialogOwner& owner, std::string_view resource_name, CenterServices& services);

  // Construction, in the order the other programs of the suite rely on (tables, window, heartbeat,
  // timer 1, the first cycle, timer 2). Answers false, with the tables closed again, when the
  // window could not be made.
  bool Init(const ui::DialogOwner& owner, std::string_view resource_name);
  void AbrirBases();
  // Stops both timers and closes every table handle; runs again harmlessly when the window goes.
  void CerrarBases();
  // Button "Salir": stops the timers, closes the trace file and ends the dialog with `result`.
  void Terminar(std::int64_t result);
  // Any switch clicked: all seven check boxes are stored into DEFMAIL->NOTIFICA1..7 in one locked
  // update of its row.
  void CONF_NOTIFICA();
  // Installs WndProcPr on `window` for WM_TIMER only.
  void DoSubClss(ui::Handle window);
  // The timer handler: timer 1 runs a cycle, timer 2 writes the heartbeat; a tick that arrives while
  // the handler runs is passed on untouched. Always passes the message on to `previous`.
  std::int64_t WndProcPr(int previous, ui::Handle window, ui::MessageId message, const ui::Param& wParam,
                         const ui::Param& lParam);
  // One cycle (see notify/do_mail.h).
  void DO_MAIL();

  // The cycle's steps. The reply poll, the seven kinds, the follow-up and the FTP queue are the
  // Center's extension points: they report to on_step and do nothing else yet, except that the
  // scheduled kinds run the schedule clock guard.
  void RESPONDER(int mode) override;
  void CHECK_REQS() override;
  void DO_CHECK() override;
  void CHECK_COMPRAS() override;
  void DO_MIN_MAX() override;
  void CHECK_ACCIONES() override;
  void DO_CHECK_TOURS() override;
  void LOAD_MENUS_TOURS() override;
  void FOLLOWUP() override;
  void CHECK_E_FTP() override;
  void dispatch_outbox() override;

  // What the dispatch step writes through the Center.
  void set_field_text(int id, const std::string& text) override;
  void set_main_title(const std::string& text) override;
  bool is_main_iconic() const override;
  void repaint() override;
  void trace(std::string_view label) override;
  void multitask(int rounds) override;
  void heartbeat() override;

  ui::Answer OnNCDESTROY(const ui::Param& wParam, const ui::Param& lParam) override;

  // Told the name of each step as it starts (tests, and the trace of a site being diagnosed).
  std::function<void(std::string_view step)> on_step;

  // Table handles, in the order AbrirBases opens them.
  std::unique_ptr<data::WDBTable> CONC_PTO, AB_E_PTO, AB_D_PTO, xAB_D_PTO, DOCUMENT, xAGE_RES, TMP_PTO, TMP_PTO2,
      DEFMAIL, E_MSGS2, E2_MSGS, DET_RES2, DET_RES9, MAIL_T, MAIL_MM, STAT_TIP, NEGOCIOS, TIPO_ROM, PAISES, E_AGEN2,
      CLAS_ROM, MAIL_P, F_HOTEL, F_HOTEL4, E_FTP;

  data::Value Negocio;  // DEFMAIL->NEGOCIO_H when the Center was opened.
  int in_sending = 0;   // 1 while a cycle runs.
  int inWndProc = 0;    // 1 while the timer handler runs.
  int inDoCheck = 0;    // 1 while the occupancy step runs.
  int inSendMail = 0;
  std::int64_t Last_Time = 0;  // Seconds since midnight of the last schedule evaluation.
  int nSent = 0;
  int nError = 0;
  std::int32_t Last_Poll = 0, Last_Mail = 0, Last_Check = 0, Last_EV1 = 0, Last_EV2 = 0, Last_EV3 = 0;
  std::unique_ptr<TraceFile> fnTrace;  // Never opened by the Center itself.
  data::Value xCorte;
  data::ValueList v_Checks;
  data::ValueList xls_Tcuadro, X_Header;

 private:
  void step_started(std::string_view step) const;
  // The schedule clock guard the scheduled kinds begin with.
  bool schedule_clock_allows();
  void echo_field(ui::Handle field, std::string_view text) const;
  void hook_status_fields();
  void stop_timers();
  std::int32_t ticks() const;

  CenterServices& m_services;
  transport::MailEngineState m_engine;  // Loaded for each dispatch's connection and released after it.
  ui::platform::MultitaskState m_pump{1, 0, 0};  // Used when the program gives no MULTITASK.
  ui::Handle m_main_window = 0;      // XAPPHANDLE, remembered at the start of each cycle.
  int m_timer_level = 0;             // Where WndProcPr passes messages on.
};

// The timer that runs the cycle and the one that writes the heartbeat.
inline constexpr std::uint32_t kCycleTimer = 1;
inline constexpr std::uint32_t kHeartbeatTimer = 2;
// The cycle period when DEFMAIL->MAX_WAIT2 is 0, and the heartbeat period.
inline constexpr std::uint32_t kMinuteMillis = 60000;
// The "Up:" field: when the Center was opened.
inline constexpr int kFieldUp = 502;

// The period of timer 1 for a DEFMAIL->MAX_WAIT2 in seconds: 60 s when it is 0 (or negative, which
// only a damaged row holds).
std::uint32_t cycle_period_millis(double max_wait2_seconds);

}  // namespace notify
