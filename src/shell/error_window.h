#pragma once

#include <string>
#include <string_view>

#include "shell/error_object.h"
#include "shell/error_report.h"
#include "shell/error_system_context.h"
#include "ui/platform/message.h"

namespace shell {

// The error window "ERROR_SPEC" ("ERROR DE SISTEMA"): the error line (501), the details with the
// call trace (502), a free field (503) and the buttons "Salir" (1), "Reintentar" (201) and
// "Ignorar" (202), of which the last two are disabled when the error cannot be retried or has
// no default.
//
// Construction does everything that must happen before the operator answers: it marks
// XINERRORSYS, opens the window, writes the ERROR row and mails the report to XEMAILDEST,
// directly when XEMAILSEND is 1 and as a ready outbox row otherwise. A row or mail that fails
// is reported on the log and does not stop the rest. When another error window is already open
// nothing is opened, written or sent (is_open() is false). Construction can pump messages (a
// busy table).
//
// The outcome starts at "Salir" (outResult 3). A button press sets it, closes the window and
// clears XINERRORSYS; destruction does the same for a window still open.
class ERROR_SPEC {
 public:
  enum Outcome { kRetry = 1, kIgnore = 2, kEnd = 3 };
  static constexpr std::int64_t kRetryButton = 201;
  static constexpr std::int64_t kIgnoreButton = 202;

  ERROR_SPEC(ErrorSystemContext& context, std::string_view error_line, std::string_view call_trace,
             const ErrorObject& e);
  ~ERROR_SPEC();
  ERROR_SPEC(const ERROR_SPEC&) = delete;
  ERROR_SPEC& operator=(const ERROR_SPEC&) = delete;

  // False when another error window was already open.
  bool is_open() const { return m_is_owner; }
  // What the buttons do: "Reintentar", "Ignorar", "Salir".
  void press(Outcome outcome);
  ui::platform::Handle window() const { return m_window; }

  // Instance variables under their business names.
  std::string errMessage;  // Header lines and the error line.
  std::string sMessage;    // The details field: errMessage and the call trace.
  std::string errM2;       // The error-line field.
  bool GoOut = false;      // A button was pressed.
  int outResult = kEnd;
  bool CanRetry = true;
  bool CanDefault = true;

 private:
  void open_window();
  void record(const ErrorReport& report);
  std::int64_t on_message(ui::platform::MessageId message, const ui::platform::Param& wParam);

  ErrorSystemContext& m_context;
  ui::platform::Handle m_window = 0;
  bool m_is_owner = false;  // This window set XINERRORSYS and clears it.
};

// The dialog template of the error window, for a program whose resource scripts lack it: an
// error about missing resources must still be shown.
std::string_view error_window_script();

}  // namespace shell
