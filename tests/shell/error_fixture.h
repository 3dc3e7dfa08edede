#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../data/wtable_test_support.h"
#include "data/clock.h"
#include "data/use_table.h"
#include "shell/error_handler.h"
#include "ui/platform/clock.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/person_input.h"
#include "ui/platform/window_system.h"

namespace shell::testing {

// A program folder with the ERROR and E_MSGS tables, a headless window system with one window
// whose WM_USER handler runs `on_user`, the settings of a site that mails its errors to
// soporte@localhost, and an error handler whose exits and log lines are recorded.
class ErrorSite : public ::testing::Test {
 protected:
  explicit ErrorSite(Attendance attendance = Attendance::Unattended)
      : backend(clock, [this](std::string_view line) { backend_log.emplace_back(line); }), ws(clock, backend) {
    data::testing::create_indexed_table(f.session, "ERROR", f.folder / "BASES");
    data::testing::create_indexed_table(f.session, "E_MSGS", f.folder / "BASES");
    settings.program_folder = data::ProgramFolder(f.folder.path());
    settings.workstation_clock =
        std::make_shared<data::ManualClock>(data::Date::from_ymd(2026, 12, 9), "09:15:00");
    settings.EXT_MODULO = "MLS";
    settings.XEMAIL_ID = "Hotel Añil";
    settings.XEMAILDEST = "soporte@localhost";
    settings.XEMAILNAME = "Servidor de correo";
    settings.XEMAILADDR = "hotel@localhost";
    ws.REGISTERCLASS("TestWindow");
    window = ws.CREATEWINDOW("TestWindow", "frame", ui::platform::WS_OVERLAPPED | ui::platform::WS_VISIBLE, 0, 0,
                             300, 200, 0, 0);
    ws.set_main_frame(window);
    ws.SUBCLASSWINDOW(
        window,
        [this](ui::platform::Handle, ui::platform::MessageId m, const ui::platform::Param&,
               const ui::platform::Param&) -> std::int64_t {
          if (m == ui::platform::WM_USER && on_user) return on_user();
          if (m == ui::platform::WM_USER + 1 && on_second) return on_second();
          return 0;
        },
        ui::platform::MessageFilter::all());
    context.attendance = attendance;
    errors = ERRORSYS(context);
  }

  // The error window now open (a child of the frame), 0 when none.
  ui::platform::Handle error_window() {
    for (ui::platform::Handle child : ws.children(window)) {
      if (ws.GETWINDOWTEXT(child) == "ERROR DE SISTEMA") return child;
    }
    return 0;
  }
  // A person presses a button of the error window once the loop waits.
  void press_later(std::int64_t button) {
    backend.act([this, button] {
      const ui::platform::Handle dialog = error_window();
      ASSERT_NE(dialog, 0u);
      ui::platform::PersonInput(ws).click(ws.GETDLGITEM(dialog, button));
    });
  }
  std::int64_t dispatch(ui::platform::MessageId message = ui::platform::WM_USER) {
    return ws.DISPATCHMESSAGE(ui::platform::Message{window, message, 0, 0});
  }
  std::unique_ptr<data::WDBTable> table(const std::string& name) { return data::USE(f.session, {}, name); }

  data::testing::SessionFixture f;
  ui::platform::ManualClock clock{ui::platform::Millis{1'000'000}};
  std::vector<std::string> backend_log;
  ui::platform::HeadlessBackend backend;
  ui::platform::WindowSystem ws;
  startup::Settings settings;
  ui::platform::Handle window = 0;
  std::function<std::int64_t()> on_user;
  std::function<std::int64_t()> on_second;
  std::vector<int> exits;
  std::vector<std::string> log;
  ErrorSystemContext context{ws,
                             settings,
                             f.session,
                             Attendance::Unattended,
                             {},
                             [this](int status) { exits.push_back(status); },
                             [this](std::string_view line) { log.emplace_back(line); }};
  std::unique_ptr<ErrorSystem> errors;
};

class AttendedErrorSite : public ErrorSite {
 protected:
  AttendedErrorSite() : ErrorSite(Attendance::Attended) {}
};

}  // namespace shell::testing
