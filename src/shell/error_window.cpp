#include "shell/error_window.h"

#include <cstdio>
#include <exception>

#include "shell/error_log.h"
#include "ui/platform/messages.h"
#include "ui/platform/resource_script.h"

namespace shell {
namespace {

using ui::platform::Handle;

// A copy of resources/error_window.rc (a test keeps the two equal).
constexpr std::string_view kErrorWindowScript = R"rc(// The error window: what went wrong, where, and the operator's choice of leaving the
// program, retrying the failed operation or ignoring it.
ERROR_SPEC DIALOGEX 0, 0, 320, 220
STYLE DS_SETFONT | DS_MODALFRAME | DS_SYSMODAL | WS_CHILD | WS_CAPTION | WS_SYSMENU
CAPTION "ERROR DE SISTEMA"
FONT 8, "MS Shell Dlg", 400, 0, 0x1
BEGIN
    LTEXT           "REPORTE EL SIGUIENTE ERROR PARA SOPORTE TECNICO:", -1, 7, 7, 306, 8
    EDITTEXT        501, 7, 18, 306, 26, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL
    EDITTEXT        502, 7, 48, 306, 120, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP
    LTEXT           "Libre:", -1, 7, 175, 30, 8
    EDITTEXT        503, 40, 173, 273, 12, ES_AUTOHSCROLL | WS_TABSTOP
    PUSHBUTTON      "Salir", 1, 147, 197, 50, 14, WS_TABSTOP
    PUSHBUTTON      "Reintentar", 201, 205, 197, 50, 14, WS_TABSTOP
    DEFPUSHBUTTON   "Ignorar", 202, 263, 197, 50, 14, WS_TABSTOP
END
)rc";

constexpr std::int64_t kErrorLineField = 501;
constexpr std::int64_t kDetailsField = 502;
constexpr std::int64_t kEndButton = 1;

void write_log(const ErrorSystemContext& context, std::string_view line) {
  if (context.log) {
    context.log(line);
  } else {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  }
}

}  // namespace

std::string_view error_window_script() { return kErrorWindowScript; }

ERROR_SPEC::ERROR_SPEC(ErrorSystemContext& context, std::string_view error_line, std::string_view call_trace,
                       const ErrorObject& e)
    : CanRetry(e.can_retry), CanDefault(e.can_default), m_context(context) {
  startup::Settings& settings = context.settings;
  if (settings.XINERRORSYS) return;
  settings.XINERRORSYS = true;
  m_is_owner = true;

  const data::Date today = settings.workstation_clock->today();
  const std::string now = settings.workstation_clock->time_of_day();
  const ErrorReport report =
      build_report(stamp_now(settings.EXT_MODULO, today, now), error_line, call_trace);
  errM2 = report.line;
  errMessage = report.header;
  sMessage = report.details;
  open_window();
  record(report);
}

ERROR_SPEC::~ERROR_SPEC() {
  if (!m_is_owner) return;
  if (m_window && m_context.windows.ISWINDOW(m_window)) m_context.windows.DESTROYWINDOW(m_window);
  m_context.settings.XINERRORSYS = false;
}

void ERROR_SPEC::open_window() {
  ui::platform::WindowSystem& ws = m_context.windows;
  if (!ws.resources().dialog("ERROR_SPEC")) {
    auto script = ui::platform::ResourceScript::parse(kErrorWindowScript, "error_window.rc");
    if (script) ws.add_resources(*script);
  }
  const ui::platform::DialogTemplate* found = ws.resources().dialog("ERROR_SPEC");
  if (!found) return;
  ui::platform::DialogTemplate dialog = *found;
  const Handle frame = ws.main_frame();
  if (!ws.ISWINDOW(frame)) {
    // An error before the frame exists (or after it is gone) still gets its window.
    dialog.style = (dialog.style & ~ui::platform::WS_CHILD) | ui::platform::WS_POPUP;
  }
  m_window = ws.WDCREATEDIALOGINDIRECT(
      dialog, ws.ISWINDOW(frame) ? frame : 0,
      [this](Handle, ui::platform::MessageId message, const ui::platform::Param& wParam, const ui::platform::Param&) {
        return on_message(message, wParam);
      });
  if (!m_window) {
    write_log(m_context, "ERROR_SPEC: the error window could not be created");
    return;
  }
  ws.ENABLEWINDOW(ws.GETDLGITEM(m_window, kRetryButton), CanRetry);
  ws.ENABLEWINDOW(ws.GETDLGITEM(m_window, kIgnoreButton), CanDefault);
  ws.SETDLGITEMTEXT(m_window, kErrorLineField, errM2);
  ws.SETDLGITEMTEXT(m_window, kDetailsField, sMessage);
  ws.SHOWWINDOW(m_window, ui::platform::SW_SHOW);
}

// The row and the mail go out before the operator answers: an operator who ends the program at
// once must not lose the report. A failure of either is logged, never raised: XINERRORSYS is set,
// so it could not be shown anyway.
void ERROR_SPEC::record(const ErrorReport& report) {
  startup::Settings& settings = m_context.settings;
  const data::Date today = settings.workstation_clock->today();
  const std::string now = settings.workstation_clock->time_of_day();
  write_log(m_context, "ERROR_SPEC: " + report.line);
  try {
    write_error_row(m_context.session, settings.XAPPSELF, today, now, report.line, report.details);
  } catch (const std::exception& failure) {
    write_log(m_context, std::string("ERROR_SPEC: the ERROR row could not be written: ") + failure.what());
  }
  const ErrorMail mail{today,
                       now,
                       settings.XEMAILDEST,
                       error_subject(settings.XEMAIL_ID),
                       report.body,
                       settings.XEMAILNAME,
                       settings.XEMAILADDR};
  if (settings.XEMAILSEND == 1) {
    const transport::MailAccount account =
        m_context.mail_account ? m_context.mail_account() : mail_account_from(settings);
    const int result = send_error_mail(account, settings.program_folder.root(), mail);
    if (result < 0) write_log(m_context, "ERROR_SPEC: the error mail was not sent: " + std::to_string(result));
    return;
  }
  try {
    queue_error_mail(m_context.session, settings.XAPPSELF, mail);
  } catch (const std::exception& failure) {
    write_log(m_context, std::string("ERROR_SPEC: the error mail could not be queued: ") + failure.what());
  }
}

void ERROR_SPEC::press(Outcome outcome) {
  if (!m_is_owner || GoOut) return;
  outResult = outcome;
  GoOut = true;
  if (m_window && m_context.windows.ISWINDOW(m_window)) m_context.windows.DESTROYWINDOW(std::exchange(m_window, 0));
  m_context.settings.XINERRORSYS = false;
  m_is_owner = false;
}

std::int64_t ERROR_SPEC::on_message(ui::platform::MessageId message, const ui::platform::Param& wParam) {
  if (message == ui::platform::WM_CLOSE) return 1;  // Only a button answers the error.
  if (message != ui::platform::WM_COMMAND) return 0;
  if (ui::platform::C4W_HIWORD(wParam.number()) != ui::platform::BN_CLICKED) return 0;
  switch (ui::platform::C4W_LOWORD(wParam.number())) {
    case kEndButton: press(kEnd); return 1;
    case kRetryButton: press(kRetry); return 1;
    case kIgnoreButton: press(kIgnore); return 1;
    default: return 0;
  }
}

}  // namespace shell
