#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window_system_fixture.h"

namespace ui::platform {
namespace {

constexpr MessageId kProbe = WM_USER + 7;

class HandlerChain : public WindowSystemTest {
 protected:
  // A block that records its name and passes the message on to its level.
  Handler passing(std::string name, int* level) {
    return [this, name, level](Handle w, MessageId m, const Param& wp, const Param& lp) {
      seen.push_back(name + ":" + std::to_string(m));
      return ws.CALLWINDOWPROC(*level, w, m, wp, lp);
    };
  }
  std::vector<std::string> seen;
};

TEST_F(HandlerChain, LevelsCountFromOneAndUnknownWindowsGetZero) {
  const Handle window = make_window();
  int level = 0;
  EXPECT_EQ(ws.SUBCLASSWINDOW(window, passing("a", &level), MessageFilter::all()), 1);
  EXPECT_EQ(ws.SUBCLASSWINDOW(window, passing("b", &level), MessageFilter::all()), 2);
  EXPECT_EQ(ws.SUBCLASSWINDOW(0x7FFFFFF0, passing("c", &level), MessageFilter::all()), 0);
}

TEST_F(HandlerChain, NewestRunsFirstAndAFilteredBlockSeesOnlyItsMessages) {
  const Handle window = make_window();
  int first_level = 0, second_level = 0, timer_level = 0;
  first_level = ws.SUBCLASSWINDOW(window, passing("first", &first_level), MessageFilter::all());
  second_level = ws.SUBCLASSWINDOW(window, passing("second", &second_level), MessageFilter::all());
  timer_level = ws.SUBCLASSWINDOW(window, passing("timer", &timer_level), MessageFilter::only({WM_TIMER}));

  ws.SENDMESSAGE(window, kProbe);
  EXPECT_EQ(seen, (std::vector<std::string>{"second:1031", "first:1031"}));
  seen.clear();
  ws.SENDMESSAGE(window, WM_TIMER, 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"timer:275", "second:275", "first:275"}));
}

TEST_F(HandlerChain, ABlockThatAnswersHidesTheMessageFromOlderHandlersAndTheWindow) {
  const Handle window = make_window("old title");
  int level = 0;
  level = ws.SUBCLASSWINDOW(window, passing("old", &level), MessageFilter::all());
  ws.SUBCLASSWINDOW(
      window, [](Handle, MessageId m, const Param&, const Param&) -> std::int64_t { return m == WM_SETTEXT ? 1 : 0; },
      MessageFilter::only({WM_SETTEXT}));
  EXPECT_TRUE(ws.SETWINDOWTEXT(window, "new title"));
  EXPECT_EQ(ws.describe(window)->text, "old title");  // The class procedure never saw it.
  for (const std::string& entry : seen) EXPECT_NE(entry, "old:12");
}

TEST_F(HandlerChain, CallWindowProcOutsideTheChainAnswersZeroAndCallsNothing) {
  const Handle window = make_window();
  int level = 0;
  level = ws.SUBCLASSWINDOW(window, passing("only", &level), MessageFilter::all());
  seen.clear();
  struct Case {
    int level;
    const char* why;
  };
  const Case cases[] = {{0, "level 0"}, {-1, "negative"}, {2, "the chain's length"}, {99, "far beyond"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ws.CALLWINDOWPROC(c.level, window, WM_GETTEXTLENGTH, 0, 0), 0);
  }
  EXPECT_TRUE(seen.empty());
  // Level 1 reaches the window's own procedure.
  EXPECT_EQ(ws.CALLWINDOWPROC(1, window, WM_GETTEXTLENGTH, 0, 0), 5);
  EXPECT_EQ(ws.CALLWINDOWPROC(1, 0x7FFFFFF0, WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(HandlerChain, ANullBlockIsInstalledAndSkipped) {
  const Handle window = make_window();
  int level = 0;
  level = ws.SUBCLASSWINDOW(window, passing("real", &level), MessageFilter::all());
  EXPECT_EQ(ws.SUBCLASSWINDOW(window, nullptr, MessageFilter::all()), 2);
  ws.SENDMESSAGE(window, kProbe);
  EXPECT_EQ(seen, (std::vector<std::string>{"real:1031"}));
}

TEST_F(HandlerChain, LastParametersAreThoseOfTheNestedMessage) {
  const Handle outer = make_window("outer");
  const Handle inner = make_window("inner");
  std::int64_t read_after_nested = -1;
  ws.SUBCLASSWINDOW(inner, [](Handle, MessageId, const Param&, const Param&) -> std::int64_t { return 0; },
                    MessageFilter::all());
  ws.SUBCLASSWINDOW(
      outer,
      [&](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
        if (m != kProbe) return 0;
        ws.SENDMESSAGE(inner, kProbe, 22, 23);
        read_after_nested = ws.GETLASTWPARAM();
        return 1;
      },
      MessageFilter::all());
  ws.SENDMESSAGE(outer, kProbe, 11, 12);
  EXPECT_EQ(read_after_nested, 22);
  EXPECT_EQ(ws.GETLASTLPARAM(), 23);
}

TEST_F(HandlerChain, HandlersSeeDestroyThenNcDestroyAndAreReleasedAfterIt) {
  const Handle window = make_window();
  auto calls = std::make_shared<int>(0);
  std::vector<MessageId> order;
  ws.SUBCLASSWINDOW(
      window,
      [&order, calls](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
        ++*calls;
        if (m == WM_DESTROY || m == WM_NCDESTROY) order.push_back(m);
        return 0;
      },
      MessageFilter::all());
  // A WM_NCDESTROY sent to a living window releases its record too.
  ws.SENDMESSAGE(window, WM_NCDESTROY);
  const int before = *calls;
  ws.SENDMESSAGE(window, kProbe);
  EXPECT_EQ(*calls, before);
  EXPECT_EQ(order, (std::vector<MessageId>{WM_NCDESTROY}));
}

}  // namespace
}  // namespace ui::platform
