#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "window_system_fixture.h"

namespace ui::platform {
namespace {

using ErrorBlockTest = WindowSystemTest;

TEST_F(ErrorBlockTest, RetryDeliversTheFailedMessageAgainAndAValueBecomesTheAnswer) {
  const Handle window = make_window();
  int calls = 0;
  ws.SUBCLASSWINDOW(
      window,
      [&](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
        if (m != WM_USER) return 0;
        if (++calls < 3) throw data::RuntimeError("USE", "DBFCDX", "BASES/ERROR.DBF");
        return 7;
      },
      MessageFilter::all());
  int errors_seen = 0;
  ws.set_error_block([&](const std::exception&, const Message& record) {
    EXPECT_EQ(record.message, WM_USER);
    ++errors_seen;
    return ErrorAnswer{true, 0};
  });
  EXPECT_EQ(ws.DISPATCHMESSAGE(Message{window, WM_USER, 0, 0}), 7);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(errors_seen, 2);

  ws.set_error_block([](const std::exception&, const Message&) { return ErrorAnswer{false, 42}; });
  calls = 0;
  EXPECT_EQ(ws.DISPATCHMESSAGE(Message{window, WM_USER, 0, 0}), 42);
  EXPECT_EQ(calls, 1);
}

TEST_F(ErrorBlockTest, EveryStandardExceptionReachesTheErrorHandler) {
  const Handle window = make_window();
  ws.SUBCLASSWINDOW(
      window,
      [](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
        if (m == WM_USER) throw std::out_of_range("vector index 12");
        if (m == WM_USER + 1) return static_cast<std::int64_t>(std::filesystem::file_size("/nonexistent/BASES/E_MSGS.DBF"));
        return 0;
      },
      MessageFilter::all());
  ws.POSTMESSAGE(window, WM_USER);
  ws.POSTMESSAGE(window, WM_USER + 1);
  pump();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], "vector index 12");
  EXPECT_NE(errors[1].find("E_MSGS.DBF"), std::string::npos);
  EXPECT_EQ(error_messages, (std::vector<MessageId>{WM_USER, WM_USER + 1}));
}

}  // namespace
}  // namespace ui::platform
