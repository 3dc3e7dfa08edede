#pragma once

#include <functional>
#include <string_view>

#include "data/wtable_session.h"
#include "startup/settings.h"
#include "transport/mail_operations.h"
#include "ui/platform/window_system.h"

namespace shell {

// Whether a person may answer the error window. An unattended server (the headless back end)
// must keep running: its error window logs, records and mails the error and answers "Ignorar".
enum class Attendance { Attended, Unattended };

// What the error handler needs from the program. Everything is borrowed and must outlive the
// handler: MAIN owns the window system, the settings and the table session.
struct ErrorSystemContext {
  ui::platform::WindowSystem& windows;
  startup::Settings& settings;  // XINERRORSYS, EXT_MODULO, XEMAIL*, the workstation clock and program folder.
  data::TableSession& session;  // Where the ERROR and E_MSGS rows are written.
  Attendance attendance = Attendance::Unattended;
  // The account the error mail is sent with when XEMAILSEND is 1, read at the moment of the
  // error. Empty: built from the XEMAIL* settings.
  std::function<transport::MailAccount()> mail_account;
  // Ends the process with `status` once the tables are flushed. Empty: std::exit. Tests pass a
  // recorder; when it returns, the failed operation takes its default.
  std::function<void(int status)> exit;
  // One line per shown or suppressed error for the server's log. Empty: standard error.
  std::function<void(std::string_view line)> log;
};

// The mail account of the XEMAIL* settings.
transport::MailAccount mail_account_from(const startup::Settings& settings);

}  // namespace shell
