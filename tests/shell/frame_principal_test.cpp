#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "data/number_format.h"
#include "shell/frame_alarm_window.h"
#include "shell/frame_messages.h"
#include "shell/frame_shutdown_request.h"
#include "startup/settings.h"
#include "frame_test_support.h"

namespace shell_test {
namespace {

using namespace std::chrono_literals;

TEST_F(FrameTest, StartUpOpensTheCenterThroughTheMenuAndMinimisesTheFrame) {
  EXPECT_EQ(ws.GETWINDOWTEXT(frame().hwnd), "MailServer Quarvelt");
  EXPECT_EQ(startup::settings().EXT_MODULO, "MLS");
  EXPECT_EQ(app->tables().settings.EXT_MODULO, "MLS");
  EXPECT_EQ(ws.main_frame(), frame().hwnd);
  EXPECT_TRUE(centers.empty());  // Only once the loop runs.

  pump();
  ASSERT_EQ(centers.size(), 1u);
  EXPECT_EQ(ws.GETPARENT(centers[0]), frame().hMDIClient);
  ASSERT_EQ(center_commands.size(), 1u);
  EXPECT_EQ(center_commands[0].number(), 2984);  // The opening log records the command.
  EXPECT_TRUE(ws.ISICONIC(frame().hwnd));
  EXPECT_TRUE(backend.boxes().empty());
}

// The program as it runs: command 2984 opens the real Notification Center, whose first cycle
// runs while it is built (the demo site's SMTP port has no server here, so its dispatch fails
// to connect and says so).
class ProgramFrameTest : public FrameTest {
 protected:
  bool stands_in_for_the_center() const override { return false; }
};

TEST_F(ProgramFrameTest, StartUpOpensTheNotificationCenterInTheMinimisedFrame) {
  pump();
  Handle center = 0;
  for (const Handle child : ws.children(frame().hMDIClient)) {
    if (ws.GETWINDOWTEXT(child) == "QUARVELT Notification Center") center = child;
  }
  ASSERT_NE(center, 0);
  EXPECT_TRUE(ws.ISICONIC(frame().hwnd));
  EXPECT_FALSE(ws.GETDLGITEMTEXT(center, 502).empty());  // "Up:" the opening date and time.
  EXPECT_NE(ws.GETDLGITEMTEXT(center, 501).find("Error conectando SMTP!"), std::string::npos)
      << ws.GETDLGITEMTEXT(center, 501);
}

TEST_F(FrameTest, LoadsTheMailSettingsIntoTheGlobalsAndTheAccount) {
  const startup::Settings& s = startup::settings();
  const data::DemoMailSandbox sandbox;
  EXPECT_EQ(s.XEMAILHOST, sandbox.host);
  EXPECT_EQ(app->mail_account().XEMAILHOST, sandbox.host);
  EXPECT_EQ(app->mail_account().XEMAIL_SMTP_PORT, sandbox.smtp_port);
  EXPECT_EQ(app->mail_account().XEMAIL_POP3_PORT, sandbox.pop3_port);
  EXPECT_EQ(app->mail_account().XEMAILADDR, s.XEMAILADDR);
}

TEST_F(FrameTest, UnknownCommandTellsTheOperator) {
  pump();
  ws.POSTMESSAGE(frame().hwnd, WM_COMMAND, 2985, 0);
  pump();
  ASSERT_EQ(backend.boxes().size(), 1u);
  EXPECT_EQ(backend.boxes()[0].text, "Menuitem no encontrado: " + data::STR(2985));
  EXPECT_EQ(centers.size(), 1u);
}

TEST_F(FrameTest, ChoosingTheCenterTwiceOpensTwo) {
  pump();
  ws.POSTMESSAGE(frame().hwnd, WM_COMMAND, 2984, 0);
  pump();
  EXPECT_EQ(centers.size(), 2u);
}

TEST_F(FrameTest, ClosingAsksTwiceAndOkAtEitherQuestionEnds) {
  struct Case {
    std::vector<int> answers;
    bool ends;
    std::size_t questions;
  };
  const Case kCases[] = {
      {{IDCANCEL, IDCANCEL}, false, 2},  // Cancel twice keeps the program running.
      {{IDOK}, true, 1},                 // OK at the first question ends it; no second question.
      {{IDCANCEL, IDOK}, true, 2},       // OK at the second question ends it too.
  };
  pump();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.questions);
    const std::size_t before = backend.boxes().size();
    for (int answer : c.answers) backend.answer(answer);
    ws.POSTMESSAGE(frame().hwnd, WM_CLOSE);
    pump();
    ASSERT_EQ(backend.boxes().size() - before, c.questions);
    for (std::size_t i = before; i < backend.boxes().size(); ++i) {
      EXPECT_EQ(backend.boxes()[i].text, "¿Desea salir de la aplicación?");
      EXPECT_EQ(backend.boxes()[i].caption, "Cierre de Aplicación");
      EXPECT_EQ(backend.boxes()[i].flags, MB_OKCANCEL | MB_ICONQUESTION);
    }
    EXPECT_EQ(frame().is_ending(), c.ends);
    EXPECT_TRUE(ws.ISWINDOW(frame().hwnd));  // Ending never destroys the frame first.
    if (c.ends) break;
  }
  EXPECT_EQ(app->run(), 0);
}

TEST_F(FrameTest, OperatorExitSignalEndsWithoutAQuestion) {
  pump();
  ws.POSTMESSAGE(frame().hwnd, frame().operator_exit_message());
  EXPECT_EQ(app->run(), 0);
  EXPECT_TRUE(backend.boxes().empty());
  EXPECT_EQ(clock.now(), kStart);
}

// The shutdown-request file, written before the program starts.
class ShutdownRequestTest : public FrameTest {
 protected:
  void write_request(const std::string& bytes) {
    std::ofstream(folder / "BLOQUEAD.!", std::ios::binary) << bytes;
  }
  // Ends the program at `time` unless it ended before, noting whether it was still running.
  void stop_at(Millis time) {
    backend.at(time, [this] {
      was_running_at_stop = !frame().is_ending();
      frame().Exit();
    });
  }
  bool was_running_at_stop = false;
};

TEST_F(ShutdownRequestTest, ThisModulesPositionStartsTheFiveMinuteCountdown) {
  write_request("0000000000000100000000000000000000000000000000000000");
  stop_at(kStart + 20min);
  EXPECT_EQ(app->run(), 0);
  EXPECT_FALSE(was_running_at_stop);
  // The first check runs one minute after start; the countdown ends 300 s later, on the timer's 30 s beat.
  const Millis warned = kStart + 60s;
  EXPECT_GE(clock.now(), warned + 300s);
  EXPECT_LE(clock.now(), warned + 330s);
  EXPECT_EQ(frame().Por_Salir, 1);

  const Handle alarm = ws.FINDWINDOW("", "ADVERTENCIA");
  ASSERT_NE(alarm, 0u);
  EXPECT_EQ(ws.GETDLGITEMTEXT(alarm, shell::kAlarmFirstLine), "Recuerde salirse del Sistema QUARVELT");
  EXPECT_EQ(ws.GETDLGITEMTEXT(alarm, shell::kAlarmFirstLine + 1), "Debe salir del sistema en máximo 5 minutos!");
  EXPECT_EQ(ws.GETDLGITEMTEXT(alarm, shell::kAlarmFirstLine + 3), "se cerrará.");
}

TEST_F(ShutdownRequestTest, AllZerosStopsEveryModule) {
  write_request("0" + std::string(49, '0'));
  stop_at(kStart + 20min);
  app->run();
  EXPECT_FALSE(was_running_at_stop);
  EXPECT_LE(clock.now(), kStart + 60s + 330s);
}

TEST_F(ShutdownRequestTest, AnotherModulesPositionDoesNothing) {
  write_request("0000100000000000000000000000000000000000000000000000");
  stop_at(kStart + 20min);
  app->run();
  EXPECT_TRUE(was_running_at_stop);
  EXPECT_EQ(frame().Por_Salir, 0);
  EXPECT_EQ(ws.FINDWINDOW("", "ADVERTENCIA"), 0u);
}

TEST_F(ShutdownRequestTest, ExemptUserIsWarnedOnceAndKeepsRunning) {
  write_request("0000000000000100000000000000000000000000000000000000");
  startup::settings().XSUPERACCESS = data::Value(1);
  stop_at(kStart + 20min);
  app->run();
  EXPECT_TRUE(was_running_at_stop);
  EXPECT_EQ(frame().Por_Salir, 0);
  EXPECT_TRUE(frame().Time_Salir.is_text());  // The time of the warning, shown once.
  const Handle alarm = ws.FINDWINDOW("", "ADVERTENCIA");
  ASSERT_NE(alarm, 0u);
  EXPECT_EQ(ws.GETDLGITEMTEXT(alarm, shell::kAlarmFirstLine + 1), "Se ha solicitado a todos los usuarios");
}

TEST_F(ShutdownRequestTest, FirstPositionCancelsTheExemption) {
  write_request("1000000000000100000000000000000000000000000000000000");
  startup::settings().XSUPERACCESS = data::Value(1);
  stop_at(kStart + 20min);
  app->run();
  EXPECT_FALSE(was_running_at_stop);
  EXPECT_EQ(startup::settings().XSUPERACCESS.number(), 0);
}

TEST(ShutdownRequest, ReadsTheExemptionSwitchAndTheModulePositions) {
  struct Case {
    std::string bytes;
    bool cancels;
    bool stops;
  };
  const Case kCases[] = {
      {"", false, true},                                      // An empty file addresses every module.
      {std::string(50, '0'), false, true},                    // So do zeros only.
      {"1" + std::string(49, ' '), true, true},               // Blanks count 0; position 1 is not summed.
      {"0000100000", false, false},                           // Position 5: another module.
      {"00000000000001", false, true},                        // Position 14: the mail server.
      {"0000000000000A0000001", false, false},                // A letter is not "1"; position 21 counts in the sum.
      {std::string(50, '0') + "1", false, true},              // Bytes after the 50th are not read.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.bytes);
    const shell::ShutdownRequest request = shell::read_shutdown_request(c.bytes);
    EXPECT_EQ(request.cancels_exemptions, c.cancels);
    EXPECT_EQ(request.stops_module, c.stops);
  }
}

}  // namespace
}  // namespace shell_test
