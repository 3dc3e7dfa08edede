#include "shell/main_entry.h"

#include <memory>
#include <string>
#include <system_error>

#include "data/program_folder.h"
#include "shell/app_application.h"
#include "shell/error_handler.h"
#include "shell/main_resources.h"
#include "shell/main_signal_watch.h"
#include "ui/platform/clock.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/window_system.h"
#if QV_HAVE_QT
#include "ui/platform/qt/qt_backend_factory.h"
#endif

namespace shell {

using namespace ui::platform;

namespace {

// The desktop (Qt) when it is asked for with --gui or a display is there; null to run headless, as
// the program also does, saying why, when --gui was asked and no desktop could be opened.
std::unique_ptr<DisplayBackend> open_desktop(startup::DisplayChoice display, Clock& clock, std::ostream& err) {
#if QV_HAVE_QT
  if (display == startup::DisplayChoice::Headless) return nullptr;
  if (display == startup::DisplayChoice::Automatic && !display_available()) return nullptr;
  static int argc = 1;
  static char name[] = "quarvelt-mailserver";
  static char* argv[] = {name, nullptr};
  std::string error;
  std::unique_ptr<DisplayBackend> desktop = make_qt_backend(clock, argc, argv, error);
  if (!desktop) {
    err << startup::kProgramName << ": cannot open the desktop: " << error << "; running headless" << std::endl;
  }
  return desktop;
#else
  (void)clock;
  if (display == startup::DisplayChoice::Gui) {
    err << startup::kProgramName << ": this build has no desktop display back end; running headless" << std::endl;
  }
  return nullptr;
#endif
}

}  // namespace

int MAIN(const std::filesystem::path& program_folder, startup::DisplayChoice display, std::ostream& err) {
  // Before anything else, so that no thread started later can take the signals.
  SignalWatch signals;
  SteadyClock clock;
  const std::unique_ptr<DisplayBackend> desktop = open_desktop(display, clock, err);
  HeadlessBackend headless(clock, [&err](std::string_view line) { err << line << std::endl; });
  SignalWakingBackend headless_backend(headless, clock, signals);
  WindowSystem windows(clock, desktop ? *desktop : static_cast<DisplayBackend&>(headless_backend));
  if (const std::filesystem::path resources = default_resource_folder(); !resources.empty()) {
    load_resources(windows, resources, err);
  } else {
    err << startup::kProgramName << ": the resource scripts (resources/frame.rc) were not found; set QV_RESOURCE_DIR"
        << std::endl;
  }

  std::error_code ec;
  if (!std::filesystem::is_directory(data::find_case_insensitive(program_folder, "BASES"), ec)) {
    err << startup::kProgramName << ": start-up failed: " << program_folder.string()
        << " is not a program folder of the suite (it has no BASES folder)" << std::endl;
    return startup::kExitFailure;
  }

  Application application(windows, program_folder);
  if (!desktop) application.set_status_echo([&err](std::string_view line) { err << line << std::endl; });
  // From here every run-time error goes to the error handler: ERROR row, mail, and (unattended) the
  // program goes on where it can.
  const Attendance attendance = desktop ? Attendance::Attended : Attendance::Unattended;
  const std::unique_ptr<ErrorSystem> errors = ERRORSYS(ErrorSystemContext{
      windows, startup::settings(), application.tables(), attendance,
      [&application] { return application.mail_account(); }, {},
      [&err](std::string_view line) { err << line << std::endl; }});
  if (run_guarded(*errors, [&application] { return application.start() ? 1 : 0; }) != 1) {
    err << startup::kProgramName << ": start-up failed: the main frame could not be created" << std::endl;
    return startup::kExitFailure;
  }
  const MessageId exit_request = application.frame().operator_exit_message();
  const Handle frame = application.frame().hwnd;
  const auto on_signal = [&windows, frame, exit_request](int) { windows.POSTMESSAGE(frame, exit_request); };
  headless_backend.set_on_signal(on_signal);
#if QV_HAVE_QT
  if (desktop) {
    wake_on_descriptor(*desktop, signals.fd(), [&signals, on_signal] {
      while (const auto signal = signals.take()) on_signal(*signal);
    });
  }
#endif
  err << "MailServer Quarvelt: running on " << program_folder.string() << std::endl;
  run_guarded(*errors, [&application] { return static_cast<std::int64_t>(application.run()); });
  return startup::kExitOk;
}

}  // namespace shell
