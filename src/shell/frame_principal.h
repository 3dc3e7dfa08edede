#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "data/value.h"
#include "shell/frame_mdi_frame.h"
#include "shell/frame_status_bar.h"

namespace data {
class TXT_SRCH;
}


namespace shell {

// The main frame of the mail server, which is also the application object. Built once by MAIN:
// it loads the mail and interface settings, builds the menu, and once the loop runs opens the
// Notification Center through the menu and minimises itself. From then on it watches the
// shutdown-request file every minute and ends the process when the operator leaves, when the
// forced-exit countdown runs out, or on the operator's termination signal.
class Principal : public MDIFrame {
 public:
  explicit Principal(AppServices& services);
  ~Principal() override;

  // Construction, in the order the suite's programs rely on (settings tables before the menu, the
  // start-up command posted before the shutdown timer starts). False when the frame window could not
  // be made; the frame is then unusable. Throws RuntimeError when a settings table is missing.
  bool Init(std::string_view class_name, std::string_view caption);

  // Installs WndProcPR in the frame's chain for the frame's own messages.
  void DoSubClPr(Handle window);
  std::int64_t WndProcPR(int level, Handle window, MessageId message, const Param& wParam, const Param& lParam);

  // Looks at the shutdown-request file and starts the countdown (or warns an exempt user) when this
  // module must stop.
  void CHECK_QUIT();
  // Asks "¿Desea salir de la aplicación?"; OK ends the process (true), Cancel answers false.
  bool Salir();
  // The orderly end: stops the shutdown check, closes the session and the keep-alive table and ends
  // the process. The loop stops at its next turn; nothing of the frame answers from here on.
  void Exit();
  // The forced end: Exit without closing the session.
  void EXIT_LOGIN();
  // Closes the session row of the login, when one was recorded (never in this program).
  void LOGOUT_USER();
  // The database server information box.
  void ADS_xINFO();

  // Dialog hooks: the menu rebuilt for the active dialog, the opening log, one pass of message
  // processing that leaves the current work area as it was.
  void MenuSet(int key, ui::WDIAG* dialog, const data::Value& business) override;
  void NEW_LOG_DIAG(ui::LR_WDIALOG& dialog, std::string_view dialog_name) override;
  void LocalExec() override;

  Principal* Padre() { return oApp; }
  const StatusBar& Statusb() const { return StatusBar_; }
  void SALIR_M();

  // Instance variables.
  Handle hFont = 0;
  data::Value ACT_USER;
  int ACT_UID = -1;
  data::Value ACT_NEG;
  bool No_Neg = true;
  int Activo = 1;
  StatusBar StatusBar_;
  Principal* oApp = nullptr;
  int Por_Salir = 0;
  data::Value Time_Salir;
  bool Good = false;
  std::uint32_t cual = 0;
  bool Captura = false;
  int InWndProc = 0;
  bool Do_Login = true;
  Handle Toolbar = 0;  // The toolbar strip's window; none yet.
  std::string ID_MODULO;

 protected:
  bool ONCLOSE() override { return Salir(); }
  void on_operator_exit() override { Exit(); }
  int toolbar_height() const override;
  int status_bar_height() const override { return StatusBar_.height(); }

 private:
  void start_up_command();
  void countdown_tick();
  void load_text_search();
  bool is_supervisor() const;

  std::unique_ptr<data::TXT_SRCH> m_text_search;
};

}  // namespace shell
