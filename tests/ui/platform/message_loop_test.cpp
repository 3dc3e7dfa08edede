#include <gtest/gtest.h>

#include "ui/platform/multitask.h"
#include "window_system_fixture.h"

namespace ui::platform {
namespace {

using MessageLoop = WindowSystemTest;

TEST_F(MessageLoop, PostedMessagesComeInOrderWithTheirRecordAndTheQuitLast) {
  const Handle window = make_window();
  clock.set(Millis{4242});
  ws.POSTMESSAGE(window, WM_USER + 1, 10, 20);
  ws.POSTQUITMESSAGE(3);
  ws.POSTMESSAGE(window, WM_USER + 2, 30, 40);
  Message message;
  ASSERT_TRUE(ws.GETMESSAGE(message, 0, 0, 0));
  EXPECT_EQ(message.window, window);
  EXPECT_EQ(message.message, WM_USER + 1);
  EXPECT_EQ(message.wParam.number(), 10);
  EXPECT_EQ(message.lParam.number(), 20);
  EXPECT_EQ(message.time, 4242);
  ASSERT_TRUE(ws.GETMESSAGE(message, 0, 0, 0));
  EXPECT_EQ(message.message, WM_USER + 2);
  EXPECT_FALSE(ws.GETMESSAGE(message, 0, 0, 0));
  EXPECT_EQ(message.message, WM_QUIT);
  EXPECT_EQ(message.wParam.number(), 3);
}

TEST_F(MessageLoop, FiltersSelectByWindowAndRange) {
  const Handle a = make_window("a");
  const Handle b = make_window("b");
  ws.POSTMESSAGE(a, WM_USER + 1);
  ws.POSTMESSAGE(b, WM_USER + 2);
  ws.POSTMESSAGE(b, WM_USER + 3);
  Message message;
  ASSERT_TRUE(ws.PEEKMESSAGE(message, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER + 2);
  ASSERT_TRUE(ws.PEEKMESSAGE(message, 0, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(message.window, b);
  ASSERT_TRUE(ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.window, a);
}

TEST_F(MessageLoop, BadHandlesAndDestroyedWindowsNeverCrash) {
  const Handle window = make_window();
  ws.POSTMESSAGE(window, WM_USER);
  ASSERT_TRUE(ws.DESTROYWINDOW(window));
  EXPECT_EQ(ws.queued_messages(), 0u);  // Messages for the window went with it.
  const Handle never_issued = 0x7FFFFFF1;
  for (const Handle target : {window, never_issued}) {
    EXPECT_EQ(ws.SENDMESSAGE(target, WM_GETTEXTLENGTH), 0);
    EXPECT_FALSE(ws.POSTMESSAGE(target, WM_USER));
    EXPECT_FALSE(ws.DESTROYWINDOW(target));
    EXPECT_EQ(ws.GETWINDOWTEXT(target), "");
    EXPECT_FALSE(ws.SHOWWINDOW(target, SW_SHOW));
    EXPECT_EQ(ws.DISPATCHMESSAGE(Message{target, WM_USER, 1, 2}), 0);
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(MessageLoop, EndlessSendRecursionBecomesARunTimeErrorForTheErrorHandler) {
  const Handle window = make_window();
  int depth = 0;
  ws.SUBCLASSWINDOW(
      window,
      [&](Handle w, MessageId m, const Param& wp, const Param& lp) -> std::int64_t {
        if (m != WM_USER) return ws.CALLWINDOWPROC(1, w, m, wp, lp);
        ++depth;
        return ws.SENDMESSAGE(w, WM_USER);
      },
      MessageFilter::all());
  ws.POSTMESSAGE(window, WM_USER);
  pump();
  EXPECT_EQ(depth, WindowSystem::kMaxNesting);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors.front().find("nests more than 200"), std::string::npos);
  // The window system is still usable afterwards.
  EXPECT_EQ(ws.SENDMESSAGE(window, WM_GETTEXTLENGTH), 5);
}

TEST_F(MessageLoop, RunTimeErrorsOfHandlersGoToTheErrorHandlerAndTheLoopGoesOn) {
  const Handle window = make_window();
  int handled = 0;
  ws.SUBCLASSWINDOW(
      window,
      [&](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
        if (m == WM_USER) throw data::RuntimeError("USE", "DBFCDX", "BASES/E_MSGS.DBF");
        if (m == WM_USER + 1) ++handled;
        return 0;
      },
      MessageFilter::all());
  ws.SETTIMER(window, 1, 10);
  ws.SUBCLASSWINDOW(
      window,
      [](Handle, MessageId, const Param&, const Param&) -> std::int64_t {
        throw data::RuntimeError("DO_MAIL", "MAIL", "timer");
      },
      MessageFilter::only({WM_TIMER}));
  ws.POSTMESSAGE(window, WM_USER);
  ws.POSTMESSAGE(window, WM_USER + 1);
  clock.advance(Millis{10});
  pump();
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(errors, (std::vector<std::string>{"BASES/E_MSGS.DBF", "timer"}));
  EXPECT_EQ(error_messages, (std::vector<MessageId>{WM_USER, WM_TIMER}));
}

TEST_F(MessageLoop, SendMessagePassesTextsByReference) {
  const Handle window = make_window("hello world");
  auto buffer = std::make_shared<std::string>(5, ' ');
  EXPECT_EQ(ws.SENDMESSAGE(window, WM_GETTEXT, 6, Param::by_reference(buffer)), 5);
  EXPECT_EQ(*buffer, "hello");
  EXPECT_EQ(ws.GETWINDOWTEXT(window), "hello world");
}

TEST_F(MessageLoop, MessageQueueLength) {
  struct Case {
    int wanted;
    int expected;
    const char* why;
  };
  const Case cases[] = {{121, -1, "above 120 is refused without asking"},
                        {96, 1, "what the application object asks for"},
                        {120, 1, "the largest request"},
                        {0, 0, "nothing to grant"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(ws.SET_MESSAGEQUEUE(c.wanted), c.expected);
  }
}

TEST_F(MessageLoop, RegisteredMessagesAreStableAndIgnoreCase) {
  const MessageId first = ws.REGISTERWINDOWMESSAGE("QuarveltRefresh");
  EXPECT_GE(first, kFirstRegisteredMessage);
  EXPECT_EQ(ws.REGISTERWINDOWMESSAGE("QUARVELTREFRESH"), first);
  EXPECT_NE(ws.REGISTERWINDOWMESSAGE("Other"), first);
  EXPECT_EQ(ws.REGISTERWINDOWMESSAGE(""), 0u);
}

TEST_F(MessageLoop, CopyDataSendsTheText) {
  const Handle sender = make_window("sender");
  const Handle target = make_window("target");
  std::string received;
  std::int64_t from = 0;
  ws.SUBCLASSWINDOW(
      target,
      [&](Handle, MessageId, const Param& w, const Param& l) -> std::int64_t {
        from = w.number();
        received = l.text();
        return 1;
      },
      MessageFilter::only({WM_COPYDATA}));
  ws.COPYDATA(sender, target, "BLOQUEAD");
  EXPECT_EQ(from, sender);
  EXPECT_EQ(received, "BLOQUEAD");
}

TEST_F(MessageLoop, MultitaskPumpsOnEveryThirdCallUnlessForcedAndNeverNests) {
  const Handle window = make_window();
  int dispatched = 0;
  MultitaskState state;
  ws.SUBCLASSWINDOW(
      window,
      [&](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
        if (m == WM_USER) {
          ++dispatched;
          MULTITASK(ws, state, 1, true);  // Refused: a pump is already running.
        }
        return 0;
      },
      MessageFilter::all());
  const auto post_and_call = [&](bool force) {
    ws.POSTMESSAGE(window, WM_USER);
    MULTITASK(ws, state, 1, force);
  };
  post_and_call(false);
  EXPECT_EQ(dispatched, 0);
  post_and_call(false);
  EXPECT_EQ(dispatched, 0);
  post_and_call(false);  // The third call pumps everything waiting.
  EXPECT_EQ(dispatched, 3);
  EXPECT_EQ(state.counter, 1);
  EXPECT_EQ(state.in_multitask, 0);
  post_and_call(true);
  EXPECT_EQ(dispatched, 4);
  state.every = 0;  // F_SYS MULTITASK 0: every call pumps.
  post_and_call(false);
  EXPECT_EQ(dispatched, 5);
}

TEST_F(MessageLoop, MultitaskRunsDueTimersAndLeavesTheQuitForTheMainLoop) {
  const Handle window = make_window();
  int ticks = 0;
  ws.SUBCLASSWINDOW(
      window,
      [&](Handle, MessageId, const Param&, const Param&) -> std::int64_t {
        ++ticks;
        return 0;
      },
      MessageFilter::only({WM_TIMER}));
  ws.SETTIMER(window, 1, 100);
  clock.advance(Millis{100});
  MultitaskState state{3, 3, 0};
  ws.POSTQUITMESSAGE(0);
  MULTITASK(ws, state);
  Message message;
  EXPECT_FALSE(ws.GETMESSAGE(message, 0, 0, 0));
  MULTITASK(ws, state, 1, true);
  EXPECT_EQ(ticks, 1);
}

TEST_F(MessageLoop, KeyboardRelayTellsRegisteredWindowsOfKeysGoingDown) {
  const Handle frame = make_window();
  const Handle status_bar = make_window("status");
  std::vector<std::int64_t> keys;
  ws.SUBCLASSWINDOW(
      status_bar,
      [&](Handle, MessageId, const Param& w, const Param&) -> std::int64_t {
        keys.push_back(w.number());
        return 0;
      },
      MessageFilter::only({2024}));
  const Handle hook = ws.SBKEYBHOOK(status_bar, 2024);
  EXPECT_NE(hook, 0u);
  ws.POSTMESSAGE(frame, WM_KEYDOWN, 0x2D, 1);                 // Insert.
  ws.POSTMESSAGE(frame, WM_KEYDOWN, 0x2D, 1 | kKeyWasDown);   // Auto-repeat: not relayed.
  ws.POSTMESSAGE(frame, WM_KEYUP, 0x2D, 0xC0000001LL);        // Key up: not relayed.
  ws.POSTMESSAGE(frame, WM_KEYDOWN, 0x90, 1);                 // Num Lock.
  pump();
  EXPECT_EQ(keys, (std::vector<std::int64_t>{0x2D, 0x90}));
  EXPECT_TRUE(ws.SBUNHOOKKEYB(status_bar));
  ws.POSTMESSAGE(frame, WM_KEYDOWN, 0x14, 1);
  pump();
  EXPECT_EQ(keys.size(), 2u);
}

TEST_F(MessageLoop, TranslateTurnsKeysIntoCharactersAheadOfOtherMessages) {
  const Handle window = make_window();
  ws.POSTMESSAGE(window, WM_KEYDOWN, 'A', 1);
  ws.POSTMESSAGE(window, WM_USER);
  Message message;
  ASSERT_TRUE(ws.GETMESSAGE(message, 0, 0, 0));
  EXPECT_TRUE(ws.TRANSLATEMESSAGE(message));
  ASSERT_TRUE(ws.GETMESSAGE(message, 0, 0, 0));
  EXPECT_EQ(message.message, WM_CHAR);
  EXPECT_EQ(message.wParam.number(), 'a');
}

}  // namespace
}  // namespace ui::platform
