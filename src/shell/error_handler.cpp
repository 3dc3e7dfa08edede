#include "shell/error_handler.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/error_window.h"

namespace shell {
namespace {

using ui::platform::ErrorAnswer;

constexpr ErrorAnswer kRetry{true, 0};
constexpr ErrorAnswer kDefault{false, 0};

void write_log(const ErrorSystemContext& context, std::string_view line) {
  if (context.log) {
    context.log(line);
  } else {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  }
}

// Lets the operator answer: every message is dispatched (timers of open dialogs keep running)
// until a button of the window is pressed or the quit message arrives, which is posted again for
// the main loop.
void wait_for_answer(ui::platform::WindowSystem& ws, const ERROR_SPEC& window) {
  ui::platform::Message message;
  while (!window.GoOut) {
    if (!ws.GETMESSAGE(message, 0, 0, 0)) {
      ws.POSTQUITMESSAGE(static_cast<int>(message.wParam.number()));
      return;
    }
    if (window.GoOut) return;
    if (!ws.ISDIALOGMESSAGE(window.window(), message)) {
      ws.TRANSLATEMESSAGE(message);
      ws.DISPATCHMESSAGE(message);
    }
  }
}

}  // namespace

transport::MailAccount mail_account_from(const startup::Settings& settings) {
  transport::MailAccount account;
  account.XEMAILHOST = settings.XEMAILHOST;
  account.XEMAILADDR = settings.XEMAILADDR;
  account.XEMAILNAME = settings.XEMAILNAME;
  account.XEMAIL_ID = settings.XEMAIL_ID;
  account.XEMAILDEST = settings.XEMAILDEST;
  account.XEMAILSEND = settings.XEMAILSEND;
  account.XEMAILAUTH = settings.XEMAILAUTH;
  account.XEMAIL_AU = settings.XEMAIL_AU;
  account.XEMAIL_AP = settings.XEMAIL_AP;
  if (settings.XEMAIL_SMTP_PORT.is_number()) {
    account.XEMAIL_SMTP_PORT = static_cast<int>(settings.XEMAIL_SMTP_PORT.number());
  }
  if (settings.XEMAIL_POP3_PORT.is_number()) {
    account.XEMAIL_POP3_PORT = static_cast<int>(settings.XEMAIL_POP3_PORT.number());
  }
  return account;
}

ErrorSystem::ErrorSystem(ErrorSystemContext context)
    : m_context(std::move(context)), m_installed(std::make_shared<ErrorSystem*>(this)) {
  // The block outlives this object inside the window system; once the handler is gone (or
  // replaced by a newer one, which installs its own block) it only logs.
  m_context.windows.set_error_block([installed = m_installed](const std::exception& error,
                                                              const ui::platform::Message&) {
    if (*installed) return (*installed)->handle(error);
    std::fprintf(stderr, "run-time error after the error handler was removed: %s\n", error.what());
    return kDefault;
  });
}

ErrorSystem::~ErrorSystem() { *m_installed = nullptr; }

ErrorAnswer ErrorSystem::handle(const std::exception& error) { return DEFERROR(error_object(error), call_stack(1)); }

ErrorAnswer ErrorSystem::DEFERROR(const ErrorObject& error, const std::vector<CallLevel>& stack) {
  if (error.gen_code == kGenZeroDivide) return kDefault;  // The quotient is 0.
  const bool is_held_file =
      (error.gen_code == kGenOpen || error.gen_code == kGenServerOpen) && error.os_code == kOsSharingViolation;
  if ((is_held_file || error.gen_code == kGenLock) && error.can_default) {
    m_network_error = true;
    return kDefault;
  }
  if (error.sub_code == kSubServerSilent1 || error.sub_code == kSubServerSilent2) return kDefault;

  const std::string line = error_line(error);
  if (m_context.settings.XINERRORSYS) {
    // The open window is waiting for the operator; this error must neither block it nor be lost.
    write_log(m_context, "ERROR_SPEC (not shown, an error window is open): " + line);
    return kDefault;
  }
  ERROR_SPEC window(m_context, line, call_trace(error, stack), error);
  if (m_context.attendance == Attendance::Unattended) {
    window.press(ERROR_SPEC::kIgnore);
  } else {
    wait_for_answer(m_context.windows, window);
  }
  switch (window.outResult) {
    case ERROR_SPEC::kRetry: return kRetry;
    case ERROR_SPEC::kIgnore: return kDefault;
    default: break;
  }
  end_process();
  return kDefault;  // Only when the exit seam of a test returned.
}

// Every table is committed and closed first, so rows written before the error reach the files the
// suite's other programs read.
void ErrorSystem::end_process() {
  m_context.session.areas().close_all();
  if (m_context.exit) {
    m_context.exit(1);
  } else {
    std::exit(1);
  }
}

std::unique_ptr<ErrorSystem> ERRORSYS(ErrorSystemContext context) {
  return std::make_unique<ErrorSystem>(std::move(context));
}

std::int64_t run_guarded(ErrorSystem& errors, const std::function<std::int64_t()>& body) {
  for (;;) {
    try {
      return body();
    } catch (const std::exception& error) {
      const ErrorAnswer answer = errors.handle(error);
      if (!answer.is_retry) return answer.value;
    }
  }
}

}  // namespace shell
