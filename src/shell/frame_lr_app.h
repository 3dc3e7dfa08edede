#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/app_services.h"
#include "ui/dialog_host.h"
#include "ui/platform/window_system.h"

namespace shell {

using ui::platform::Handle;
using ui::platform::MessageId;
using ui::platform::Param;

// The application window: it registers the frame's window class, creates the top-level window,
// answers the messages every frame answers (the oldest handler of the frame's chain), keeps the
// placement memory and ends the process. As the dialogs' host it keeps the registry of open dialogs
// and the frame's active child.
//
// Ending the process: the frame asks for it with end_process(); the message loop then stops at its
// next turn and MAIN returns, so every table is committed and closed on the way out. From the moment
// of the request the frame's handlers answer nothing more.
class LR_APP : public ui::DialogHost {
 public:
  explicit LR_APP(AppServices& services);
  ~LR_APP() override;
  LR_APP(const LR_APP&) = delete;
  LR_APP& operator=(const LR_APP&) = delete;

  // The base window procedure, installed for every message; `level` is where it passes messages on.
  virtual std::int64_t WndProc(int level, Handle window, MessageId message, const Param& wParam,
                               const Param& lParam);

  // Shows the frame through its placement memory; a show command below 1 means SW_SHOW.
  void Show(int show_command);
  // Applies the placement kept in section "Fenster" of the dialog settings file, or the defaults.
  void SetWnd(int show_command);
  // The frame never writes its placement back.
  void GetWnd() {}

  // Set by MAIN once the frame exists.
  bool lUseNoEditColor = false;
  bool NetworkRefresh = true;
  bool Set_CutTextMode = false;
  void LUSENOEDITCOLOR(bool on) { lUseNoEditColor = on; }
  void NETWORKREFRESH(bool on) { NetworkRefresh = on; }
  void SET_CUTTEXTMODE(bool on) { Set_CutTextMode = on; }

  Handle hwnd = 0;
  std::string cClassName;
  std::string cCaption;
  Handle hMasterWnd = 0;  // No master process.
  std::string TempDir;    // Per-user folder for work files, with a trailing separator.
  bool lAppReady = false;
  bool lSavePos = true;
  Handle hActive = 0;
  bool lLockApplication = false;
  bool lSticky = false;
  bool lErrorLock = true;
  std::string cDBFNTX = "DBFNTX";
  bool lDBFNTXAX = false;
  std::array<std::int64_t, 10> aVars{};  // Slot 9 (index 8): the accelerator table, none here.
  std::array<bool, 16> aEVars{};

  // The dialog settings file that placements are kept in; this program names none.
  std::string dialog_settings_file;

  AppServices& services() const { return m_services; }
  ui::platform::WindowSystem& windows() const { return m_services.windows; }

  // True once the end of the process was asked for (by Exit, the countdown, or the operator's signal).
  bool is_ending() const { return m_is_ending; }
  // True once the frame window has been destroyed.
  bool is_destroyed() const { return m_is_destroyed; }
  // The status the process ends with.
  int exit_code() const { return m_exit_code; }

  // The message the operator's exit signal (SIGTERM, SIGINT) is posted to the frame as.
  MessageId operator_exit_message() const { return m_operator_exit_message; }

 protected:
  // Internal option arrays, work folder and stale work files; records class and caption.
  void Init(std::string_view class_name, std::string_view caption);
  // Installs WndProc in the frame window's chain for every message. Creates nothing else.
  void install_base_procedure();

  // Asks the message loop to stop and the process to end with `code`.
  void end_process(int code);

  // Hooks of the base procedure.
  virtual bool ONCLOSE() { return true; }
  virtual std::int64_t OnSize(const Param& wParam, const Param& lParam);
  virtual void OnMove(const Param&, const Param&) {}
  virtual void OnCommand(const Param& wParam, const Param& lParam);
  // The operator's confirmed exit from outside (a termination signal): no question is asked.
  virtual void on_operator_exit() { end_process(0); }

  // WM_CLOSE: a registered modal dialog is asked to close instead; otherwise ONCLOSE decides.
  bool CloseApp();
  // WM_RBUTTONDOWN on the frame: a click inside a registered modal dialog goes to the window under it.
  void forward_right_click(const Param& wParam, const Param& lParam);

 private:
  AppServices& m_services;
  bool m_is_ending = false;
  bool m_is_destroyed = false;
  int m_exit_code = 0;
  MessageId m_operator_exit_message = 0;
};

}  // namespace shell
