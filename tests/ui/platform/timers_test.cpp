#include <gtest/gtest.h>

#include "window_system_fixture.h"

namespace ui::platform {
namespace {

class Timers : public WindowSystemTest {
 protected:
  // The WM_TIMER identifiers waiting now, taken off the queue.
  std::vector<std::int64_t> due_timers() {
    std::vector<std::int64_t> ids;
    Message message;
    while (ws.PEEKMESSAGE(message, 0, WM_TIMER, WM_TIMER, PM_REMOVE)) ids.push_back(message.wParam.number());
    return ids;
  }
};

TEST_F(Timers, FireWhenTheClockReachesThemAndNeverQueueTwice) {
  const Handle window = make_window();
  EXPECT_EQ(ws.SETTIMER(window, 1, 1000), 1u);
  clock.advance(Millis{999});
  EXPECT_TRUE(due_timers().empty());
  clock.advance(Millis{1});
  EXPECT_EQ(due_timers(), std::vector<std::int64_t>{1});
  EXPECT_TRUE(due_timers().empty());
  // However late the loop is, one WM_TIMER waits.
  clock.advance(Millis{5000});
  EXPECT_EQ(due_timers(), std::vector<std::int64_t>{1});
  EXPECT_TRUE(due_timers().empty());
}

TEST_F(Timers, PeekingWithoutRemovingLeavesTheTimerDue) {
  const Handle window = make_window();
  ws.SETTIMER(window, 7, 50);
  clock.advance(Millis{50});
  Message message;
  EXPECT_TRUE(ws.PEEKMESSAGE(message, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(message.message, WM_TIMER);
  EXPECT_EQ(due_timers(), std::vector<std::int64_t>{7});
}

TEST_F(Timers, EarliestFirstAndPostedMessagesBeforeTimers) {
  const Handle window = make_window();
  ws.SETTIMER(window, 2, 300);
  ws.SETTIMER(window, 1, 100);
  clock.advance(Millis{300});
  ws.POSTMESSAGE(window, WM_USER, 0, 0);
  Message message;
  ASSERT_TRUE(ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER);
  EXPECT_EQ(due_timers(), (std::vector<std::int64_t>{1, 2}));
}

TEST_F(Timers, KilledAndDestroyedTimersStop) {
  const Handle window = make_window();
  ws.SETTIMER(window, 1, 100);
  ws.SETTIMER(window, 2, 100);
  EXPECT_TRUE(ws.KILLTIMER(window, 1));
  EXPECT_FALSE(ws.KILLTIMER(window, 1));
  clock.advance(Millis{100});
  EXPECT_EQ(due_timers(), std::vector<std::int64_t>{2});
  ws.DESTROYWINDOW(window);
  clock.advance(Millis{100});
  EXPECT_TRUE(due_timers().empty());
  EXPECT_EQ(ws.SETTIMER(window, 3, 100), 0u);  // A destroyed window gets no timer.
}

TEST_F(Timers, GetMessageWaitsOnTheClockUntilTheTimerIsDueAndDispatchesThroughTheChain) {
  const Handle window = make_window();
  std::vector<std::int64_t> fired;
  ws.SUBCLASSWINDOW(
      window,
      [&](Handle, MessageId, const Param& w, const Param&) -> std::int64_t {
        fired.push_back(w.number());
        if (fired.size() == 3) ws.POSTQUITMESSAGE(5);
        return 0;
      },
      MessageFilter::only({WM_TIMER}));
  ws.SETTIMER(window, 9, 60'000);
  const Millis start = clock.now();
  Message message;
  while (ws.GETMESSAGE(message, 0, 0, 0)) ws.DISPATCHMESSAGE(message);
  EXPECT_EQ(message.wParam.number(), 5);
  EXPECT_EQ(fired, (std::vector<std::int64_t>{9, 9, 9}));
  EXPECT_EQ(clock.now() - start, Millis{180'000});
}

TEST_F(Timers, TickCountIsSigned32BitsAndGoesNegativeAfter25Days) {
  struct Case {
    std::int64_t uptime_ms;
    std::int32_t expected;
    const char* why;
  };
  const Case cases[] = {
      {1000, 1000, "a fresh system"},
      {2'147'483'647, 2'147'483'647, "the last positive count"},
      {25LL * 24 * 3600 * 1000, static_cast<std::int32_t>(25LL * 24 * 3600 * 1000 - 4'294'967'296LL), "25 days"},
      {4'294'967'296LL + 5, 5, "wrapped after 2^32 ms"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    clock.set(Millis{c.uptime_ms});
    EXPECT_EQ(ws.GETTICKCOUNT(), c.expected);
  }
  clock.set(Millis{25LL * 24 * 3600 * 1000});
  EXPECT_LT(ws.GETTICKCOUNT(), 0);
}

}  // namespace
}  // namespace ui::platform
