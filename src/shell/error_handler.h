#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "shell/error_object.h"
#include "shell/error_system_context.h"
#include "shell/error_trace.h"
#include "ui/platform/window_system.h"

namespace shell {

// The program's one run-time error handler. Every exception a window handler, timer or posted
// message lets out reaches it through the window system's dispatcher, and MAIN hands it what
// escapes the message loop (run_guarded). It settles a few errors silently (DEFERROR) and shows
// every other one in the error window ERROR_SPEC, which records it in table ERROR and mails it
// to XEMAILDEST (directly, or as a ready row of the outbox E_MSGS).
//
// Answers: retry (the dispatcher delivers the failed message again), or a value the failed
// handler's caller goes on with (0 is the default). "Salir" flushes every table of the session
// and ends the process with status 1. Unattended, the window answers "Ignorar" as soon as the
// error is recorded and mailed, so the server keeps running. While an error window is open
// (XINERRORSYS), a further error opens nothing, is written to the log only and takes its
// default.
//
// Calls that show the window pump messages: timers of open dialogs (the Notification Center's
// cycle) keep running while the operator reads the error.
//
// Division by zero never reaches it as an exception: every quotient of the program goes through
// data::safe_divide (data/number_format.h), which answers 0.
class ErrorSystem {
 public:
  // Installs itself as the window system's error block.
  // Requires: everything in `context` outlives the handler.
  explicit ErrorSystem(ErrorSystemContext context);
  ~ErrorSystem();
  ErrorSystem(const ErrorSystem&) = delete;
  ErrorSystem& operator=(const ErrorSystem&) = delete;

  // The handler for one error object and the call stack it happened at.
  ui::platform::ErrorAnswer DEFERROR(const ErrorObject& error, const std::vector<CallLevel>& stack);
  // DEFERROR for an exception caught now; the stack is taken here.
  ui::platform::ErrorAnswer handle(const std::exception& error);

  // Set by the silent rules for a file or lock another workstation holds.
  bool network_error() const { return m_network_error; }
  void clear_network_error() { m_network_error = false; }

 private:
  void end_process();

  ErrorSystemContext m_context;
  std::shared_ptr<ErrorSystem*> m_installed;  // Shared with the installed block; null once destroyed.
  bool m_network_error = false;
};

// Installs the handler as the window system's error block and returns it; MAIN keeps it for
// the life of the process. Once it is destroyed, its block only logs.
//
// Needs (see ErrorSystemContext): the window system, the process-wide settings (read at the
// moment of each error, so DEFMAIL loaded later counts), the table session where ERROR and
// E_MSGS are written, and whether a person can answer (Attendance::Unattended for the
// headless back end).
std::unique_ptr<ErrorSystem> ERRORSYS(ErrorSystemContext context);

// What MAIN wraps around its work: runs `body`; an exception goes to the handler, and on retry
// `body` runs again, otherwise its answer (0 by default) is returned.
std::int64_t run_guarded(ErrorSystem& errors, const std::function<std::int64_t()>& body);

}  // namespace shell
