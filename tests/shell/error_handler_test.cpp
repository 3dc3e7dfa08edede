#include "shell/error_handler.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "data/number_format.h"
#include "data/runtime_error.h"
#include "data/text.h"
#include "error_fixture.h"
#include "shell/error_window.h"

namespace shell {
namespace {

using testing::AttendedErrorSite;
using testing::ErrorSite;

std::int64_t throw_missing_table() { throw data::RuntimeError("USE", "DBFCDX", "table not found: BASES/TARIFAS.DBF"); }

TEST_F(ErrorSite, AnUnattendedErrorLeavesOneErrorRowAndOneReadyOutboxRowAndTheLoopGoesOn) {
  on_user = throw_missing_table;
  EXPECT_EQ(dispatch(), 0);  // "Ignorar": the handler's default answer.

  auto errors_table = table("ERROR");
  ASSERT_EQ(errors_table->LastRec(), 1u);
  errors_table->GoTop();
  const std::string line = "Error DBFCDX/???  table not found: BASES/TARIFAS.DBF: USE";
  EXPECT_EQ(data::TRIM(errors_table->get("DESCRIP").text()), line);
  EXPECT_EQ(errors_table->get("FECHA").date(), data::Date::from_ymd(2026, 12, 9));
  EXPECT_EQ(errors_table->get("HORA").text(), "09:15:00");
  const std::string details = errors_table->get("DETALLE").text();
  EXPECT_TRUE(details.starts_with("Módulo  : MLS\r\nFecha/H.: 09/12/26 09:15:00\r\nComputer: ")) << details;
  EXPECT_NE(details.find("\r\n" + line + "\r\nFile:  GenCode: 0 OsCode: 0\r\nCalled from "), std::string::npos)
      << details;

  auto outbox = table("E_MSGS");
  ASSERT_EQ(outbox->LastRec(), 1u);
  outbox->GoTop();
  EXPECT_EQ(data::TRIM(outbox->get("TO_USER").text()), "soporte@localhost");
  EXPECT_EQ(data::TRIM(outbox->get("SUBJECT").text()), "Error: Hotel Añil");
  EXPECT_EQ(data::TRIM(outbox->get("USERNAME").text()), "Servidor de correo");
  EXPECT_EQ(data::TRIM(outbox->get("USERADDR").text()), "hotel@localhost");
  EXPECT_EQ(outbox->get("ENVIADO").number(), 0);
  EXPECT_EQ(outbox->get("LISTO").number(), 1);
  EXPECT_EQ(data::TRIM(outbox->get("HTML_FILE").text()), "");  // A plain body.
  EXPECT_EQ(data::TRIM(outbox->get("MAIL").text()), "");
  const std::string body = outbox->get("BODY").text();
  EXPECT_NE(body.find(line + "\r\n\r\nFile: "), std::string::npos) << body;

  EXPECT_FALSE(settings.XINERRORSYS);
  EXPECT_EQ(error_window(), 0u);
  EXPECT_TRUE(exits.empty());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "ERROR_SPEC: " + line);

  // The server goes on: the next message is handled, the next error recorded again.
  on_user = [] { return std::int64_t{5}; };
  EXPECT_EQ(dispatch(), 5);
  on_user = [] () -> std::int64_t { throw std::out_of_range("vector::_M_range_check"); };
  dispatch();
  EXPECT_EQ(table("ERROR")->LastRec(), 2u);
  EXPECT_EQ(table("E_MSGS")->LastRec(), 2u);
}

TEST_F(ErrorSite, AMissingErrorTableIsLoggedAndTheMailStillQueued) {
  std::filesystem::remove(f.folder / "BASES" / "ERROR.dbf");
  std::filesystem::remove(f.folder / "BASES" / "ERROR.DBF");
  on_user = throw_missing_table;
  dispatch();
  EXPECT_EQ(table("E_MSGS")->LastRec(), 1u);
  ASSERT_GE(log.size(), 2u);
  EXPECT_NE(log[1].find("the ERROR row could not be written"), std::string::npos) << log[1];
  EXPECT_FALSE(settings.XINERRORSYS);
}

TEST_F(AttendedErrorSite, ReintentarRunsTheFailedHandlerAgain) {
  int calls = 0;
  on_user = [&]() -> std::int64_t {
    if (++calls == 1) throw_missing_table();
    return 9;
  };
  press_later(ERROR_SPEC::kRetryButton);
  EXPECT_EQ(dispatch(), 9);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(table("ERROR")->LastRec(), 1u);
  EXPECT_EQ(error_window(), 0u);
  EXPECT_FALSE(settings.XINERRORSYS);
  EXPECT_TRUE(exits.empty());
}

TEST_F(AttendedErrorSite, IgnorarReturnsTheDefaultAnswer) {
  int calls = 0;
  on_user = [&]() -> std::int64_t {
    ++calls;
    return throw_missing_table();
  };
  press_later(ERROR_SPEC::kIgnoreButton);
  EXPECT_EQ(dispatch(), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(exits.empty());
}

TEST_F(AttendedErrorSite, SalirFlushesEveryTableAndEndsWithStatusOne) {
  auto outbox = table("E_MSGS");
  const int area = outbox->Area;
  on_user = throw_missing_table;
  press_later(1);
  dispatch();
  EXPECT_EQ(exits, (std::vector<int>{1}));
  EXPECT_FALSE(f.session.areas().used(area));  // Committed and closed.
}

TEST_F(AttendedErrorSite, AnErrorWhileTheWindowIsOpenIsLoggedButNeitherShownNorRecorded) {
  on_user = throw_missing_table;
  int second_calls = 0;
  on_second = [&]() -> std::int64_t {
    ++second_calls;
    throw data::RuntimeError("DO_MAIL", "MAIL", "timer");
  };
  // While the window waits, a posted message (a timer of the Center, say) fails too.
  backend.act([this] { ws.POSTMESSAGE(window, ui::platform::WM_USER + 1); });
  press_later(ERROR_SPEC::kIgnoreButton);
  dispatch();
  EXPECT_EQ(second_calls, 1);
  EXPECT_EQ(table("ERROR")->LastRec(), 1u);
  EXPECT_EQ(table("E_MSGS")->LastRec(), 1u);
  bool is_logged = false;
  for (const std::string& line : log) is_logged |= line.find("not shown") != std::string::npos && line.find("timer") != std::string::npos;
  EXPECT_TRUE(is_logged);
  EXPECT_FALSE(settings.XINERRORSYS);
}

TEST_F(AttendedErrorSite, ReintentarAndIgnorarAreDisabledWhenTheErrorHasNoRetryOrDefault) {
  ErrorObject error;
  error.subsystem = "DBFCDX";
  error.can_retry = false;
  settings.XINERRORSYS = false;
  ERROR_SPEC error_window(context, "Error DBFCDX/???", "File:  GenCode: 0 OsCode: 0\r\n", error);
  ASSERT_TRUE(error_window.is_open());
  ASSERT_NE(error_window.window(), 0u);
  EXPECT_FALSE(ws.ISWINDOWENABLED(ws.GETDLGITEM(error_window.window(), ERROR_SPEC::kRetryButton)));
  EXPECT_TRUE(ws.ISWINDOWENABLED(ws.GETDLGITEM(error_window.window(), ERROR_SPEC::kIgnoreButton)));
  EXPECT_EQ(ws.GETDLGITEMTEXT(error_window.window(), 501), "Error DBFCDX/???");
  EXPECT_TRUE(settings.XINERRORSYS);
  // A second window while this one is open opens nothing.
  ERROR_SPEC nested(context, "Error MAIL/???", "", error);
  EXPECT_FALSE(nested.is_open());
  EXPECT_EQ(table("ERROR")->LastRec(), 1u);
}

TEST_F(ErrorSite, SilentRulesAnswerWithoutAWindow) {
  struct Case {
    const char* what;
    int gen_code, os_code;
    std::optional<int> sub_code;
    bool can_default;
    bool sets_network_error;
  };
  const Case kCases[] = {
      {"division by zero", kGenZeroDivide, 0, std::nullopt, true, false},
      {"file held by another workstation", kGenOpen, kOsSharingViolation, std::nullopt, true, true},
      {"server file held elsewhere", kGenServerOpen, kOsSharingViolation, std::nullopt, true, true},
      {"lock not to be had", kGenLock, 0, std::nullopt, true, true},
      {"server error 6313", 0, 0, kSubServerSilent1, false, false},
      {"server error 6102", 0, 0, kSubServerSilent2, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    errors->clear_network_error();
    ErrorObject error;
    error.gen_code = c.gen_code;
    error.os_code = c.os_code;
    error.sub_code = c.sub_code;
    error.can_default = c.can_default;
    const ui::platform::ErrorAnswer answer = errors->DEFERROR(error, {});
    EXPECT_FALSE(answer.is_retry);
    EXPECT_EQ(answer.value, 0);
    EXPECT_EQ(errors->network_error(), c.sets_network_error);
  }
  EXPECT_EQ(table("ERROR")->LastRec(), 0u);
  EXPECT_EQ(table("E_MSGS")->LastRec(), 0u);
  EXPECT_DOUBLE_EQ(data::safe_divide(7, 0), 0);

  // A lock error that may not be defaulted is shown like any other.
  ErrorObject lock;
  lock.gen_code = kGenLock;
  lock.can_default = false;
  errors->DEFERROR(lock, {});
  EXPECT_EQ(table("ERROR")->LastRec(), 1u);
}

TEST(ErrorLine, NamesSubsystemCodeDescriptionAndFileOrOperation) {
  struct Case {
    ErrorObject error;
    const char* line;
  };
  ErrorObject warning;
  warning.severity = 1;
  warning.subsystem = "DBFCDX";
  warning.sub_code = 1001;
  warning.description = "Open error";
  warning.file_name = "BASES/E_MSGS.DBF";
  warning.operation = "USE";
  const Case kCases[] = {
      {warning, "Warning DBFCDX/1001  Open error: BASES/E_MSGS.DBF"},  // The file wins over the operation.
      {ErrorObject{}, "Error ???" "/???"},                              // Nothing known.
      {error_object(data::RuntimeError("FieldPut", "DBF", "E_MSGS.DBF has no field X")),
       "Error DBF/???  E_MSGS.DBF has no field X: FieldPut"},
      {error_object(std::out_of_range("bad index")), "Error C++/???  bad index: std::out_of_range"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(error_line(c.error), c.line);
  }
  const ErrorObject file = error_object(std::filesystem::filesystem_error(
      "cannot open", "/site/HTML/X.HTM", std::make_error_code(std::errc::no_such_file_or_directory)));
  EXPECT_EQ(file.os_code, ENOENT);
  EXPECT_EQ(error_line(file), "Error FILE/???  No such file or directory: /site/HTML/X.HTM");
}

TEST(CallTrace, ListsTheLevelsThatHaveAPosition) {
  ErrorObject error;
  error.file_name = "BASES/ERROR.DBF";
  error.gen_code = 21;
  error.os_code = 2;
  const std::string trace = call_trace(error, {{"shell::DO_MAIL()", 42}, {"unknown", 0}, {"main", 7}});
  EXPECT_EQ(trace,
            "File: BASES/ERROR.DBF GenCode: 21 OsCode: 2\r\n"
            "Called from shell::DO_MAIL()(42)\r\n"
            "Called from main(7)\r\n");
  // The stack of a real call names its exported routines, demangled.
  std::string routines;
  for (const CallLevel& level : call_stack()) routines += level.routine + "\n";
  EXPECT_NE(routines.find("testing::Test::Run()"), std::string::npos) << routines;
}

TEST(ErrorSpecScript, TheBuiltInCopyIsTheResourceScript) {
  std::ifstream file(std::string(QV_SOURCE_DIR) + "/resources/error_window.rc", std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), error_window_script());
}

TEST_F(AttendedErrorSite, MainRunsItsWorkAgainOnRetry) {
  int runs = 0;
  press_later(ERROR_SPEC::kRetryButton);
  const std::int64_t answer = run_guarded(*errors, [&]() -> std::int64_t {
    if (++runs == 1) throw std::runtime_error("EXEC22");
    return 3;
  });
  EXPECT_EQ(answer, 3);
  EXPECT_EQ(runs, 2);
}

using ErrorSiteDeathTest = AttendedErrorSite;

TEST_F(ErrorSiteDeathTest, SalirEndsTheRealProcessWithStatusOneAfterTheRowIsOnDisk) {
  EXPECT_EXIT(
      {
        errors.reset();
        errors = ERRORSYS(ErrorSystemContext{ws, settings, f.session, Attendance::Attended, {}, {}, {}});
        on_user = throw_missing_table;
        press_later(1);
        dispatch();
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(table("ERROR")->LastRec(), 1u);  // Written by the child, flushed before it ended.
  EXPECT_EQ(table("E_MSGS")->LastRec(), 1u);
}

}  // namespace
}  // namespace shell
