#include <gtest/gtest.h>

#include "window_system_fixture.h"

namespace ui::platform {
namespace {

class Windows : public WindowSystemTest {
 protected:
  // Records destruction messages of every window it is installed on as "name:message".
  void watch(Handle window, std::string name) {
    ws.SUBCLASSWINDOW(
        window,
        [this, name](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
          if (m == WM_DESTROY) events.push_back(name + ":destroy");
          if (m == WM_NCDESTROY) events.push_back(name + ":ncdestroy");
          return 0;
        },
        MessageFilter::only({WM_DESTROY, WM_NCDESTROY}));
  }
  std::vector<std::string> events;
};

TEST_F(Windows, DestructionSendsDestroyDownTheTreeAndNcDestroyUpIt) {
  const Handle frame = make_window();
  const Handle child = ws.CREATEWINDOW("Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame, 100);
  const Handle grandchild = ws.CREATEWINDOW("Button", "", WS_CHILD, 0, 0, 10, 10, child, 101);
  const Handle owned = ws.CREATEWINDOW("TestWindow", "owned", WS_POPUP, 0, 0, 10, 10, frame, 0);
  watch(frame, "frame");
  watch(child, "child");
  watch(grandchild, "grandchild");
  watch(owned, "owned");
  ws.SETTIMER(grandchild, 1, 10);
  ASSERT_TRUE(ws.DESTROYWINDOW(frame));
  EXPECT_EQ(events, (std::vector<std::string>{"owned:destroy", "owned:ncdestroy", "frame:destroy", "child:destroy",
                                               "grandchild:destroy", "grandchild:ncdestroy", "child:ncdestroy",
                                               "frame:ncdestroy"}));
  for (Handle gone : {frame, child, grandchild, owned}) EXPECT_FALSE(ws.ISWINDOW(gone));
  clock.advance(Millis{10});
  EXPECT_EQ(pump(), 0);
}

TEST_F(Windows, DestroyingFromInsideWmDestroyIsRefusedAndATableStaysWhole) {
  const Handle frame = make_window();
  const Handle child = ws.CREATEWINDOW("Static", "", WS_CHILD, 0, 0, 10, 10, frame, 100);
  bool nested_result = true;
  ws.SUBCLASSWINDOW(
      frame,
      [&](Handle w, MessageId m, const Param&, const Param&) -> std::int64_t {
        if (m == WM_DESTROY) {
          nested_result = ws.DESTROYWINDOW(w);
          throw data::RuntimeError("CerrarBases", "WINDOWS", "closing failed");
        }
        return 0;
      },
      MessageFilter::all());
  EXPECT_THROW(ws.DESTROYWINDOW(frame), data::RuntimeError);
  EXPECT_FALSE(nested_result);
  EXPECT_FALSE(ws.ISWINDOW(frame));
  EXPECT_FALSE(ws.ISWINDOW(child));
}

TEST_F(Windows, FocusAndActivationMessages) {
  const Handle first = make_window("first");
  const Handle second = make_window("second");
  EXPECT_EQ(ws.GETACTIVEWINDOW(), second);
  const Handle edit = ws.CREATEWINDOW("Edit", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 10, first, 500);
  std::vector<std::string> seen;
  const auto record = [&](std::string name) {
    return [&seen, name](Handle, MessageId m, const Param& w, const Param&) -> std::int64_t {
      if (m == WM_ACTIVATE) seen.push_back(name + (w.number() ? ":activate" : ":deactivate"));
      if (m == WM_SETFOCUS) seen.push_back(name + ":setfocus");
      if (m == WM_KILLFOCUS) seen.push_back(name + ":killfocus");
      return 0;
    };
  };
  ws.SUBCLASSWINDOW(first, record("first"), MessageFilter::all());
  ws.SUBCLASSWINDOW(second, record("second"), MessageFilter::all());
  ws.SUBCLASSWINDOW(edit, record("edit"), MessageFilter::all());
  ws.SETFOCUS(second);
  seen.clear();
  EXPECT_EQ(ws.SETFOCUS(edit), second);
  EXPECT_EQ(seen, (std::vector<std::string>{"second:deactivate", "first:activate", "second:killfocus",
                                             "edit:setfocus"}));
  EXPECT_EQ(ws.GETFOCUS(), edit);
  EXPECT_EQ(ws.GETACTIVEWINDOW(), first);
  ws.DESTROYWINDOW(edit);
  EXPECT_EQ(ws.GETFOCUS(), 0u);
}

TEST_F(Windows, StateTextLongsAndRelations) {
  const Handle frame = make_window();
  ws.REGISTERCLASS("WithSlots", 8);
  const Handle slots = ws.CREATEWINDOW("withslots", "x", WS_CHILD, 5, 6, 20, 30, frame, 42);
  EXPECT_EQ(ws.GETCLASSNAME(slots), "WithSlots");
  EXPECT_EQ(ws.GETPARENT(slots), frame);
  EXPECT_EQ(ws.GETDLGCTRLID(slots), 42);
  EXPECT_EQ(ws.GETWINDOW(frame, GW_CHILD), slots);
  EXPECT_EQ(ws.SETWINDOWLONG(slots, GWL_USERDATA, 77), 0);
  EXPECT_EQ(ws.GETWINDOWLONG(slots, GWL_USERDATA), 77);
  EXPECT_EQ(ws.SETWINDOWLONG(slots, 4, 9), 0);
  EXPECT_EQ(ws.GETWINDOWLONG(slots, 4), 9);
  EXPECT_EQ(ws.SETWINDOWLONG(slots, 8, 9), 0);  // Beyond the extra bytes: nothing kept.
  EXPECT_EQ(ws.GETWINDOWLONG(slots, 8), 0);
  EXPECT_EQ(ws.GETWINDOWRECT(slots), (Rect{15, 16, 35, 46}));
  EXPECT_EQ(ws.GETCLIENTRECT(slots), (Rect{0, 0, 20, 30}));
  EXPECT_FALSE(ws.ISWINDOWVISIBLE(slots));
  ws.SHOWWINDOW(slots, SW_SHOW);
  EXPECT_TRUE(ws.ISWINDOWVISIBLE(slots));
  ws.SHOWWINDOW(frame, SW_HIDE);
  EXPECT_FALSE(ws.ISWINDOWVISIBLE(slots));  // A child of a hidden window is hidden.
  EXPECT_FALSE(ws.ENABLEWINDOW(slots, false));
  EXPECT_TRUE(ws.ENABLEWINDOW(slots, true));
  EXPECT_FALSE(ws.REGISTERCLASS("WITHSLOTS"));
  EXPECT_FALSE(ws.UNREGISTERCLASS("WithSlots"));  // Still in use.
  EXPECT_EQ(ws.CREATEWINDOW("NoSuchClass", "", 0, 0, 0, 1, 1, 0, 0), 0u);
  EXPECT_EQ(ws.CREATEWINDOW("Static", "", WS_CHILD, 0, 0, 1, 1, 0, 0), 0u);  // A child needs a parent.
  EXPECT_EQ(ws.FINDWINDOW("TestWindow", "frame"), frame);
}

TEST_F(Windows, MinimiseAndMaximiseChangeTheRectangleAndSendSize) {
  const Handle frame = make_window();
  std::vector<std::int64_t> sizes;
  ws.SUBCLASSWINDOW(
      frame,
      [&](Handle, MessageId, const Param& w, const Param&) -> std::int64_t {
        sizes.push_back(w.number());
        return 0;
      },
      MessageFilter::only({WM_SIZE}));
  ws.SHOWWINDOW(frame, SW_SHOWMAXIMIZED);
  EXPECT_EQ(ws.GETWINDOWRECT(frame), ws.monitors().front().work_area);
  ws.SHOWWINDOW(frame, SW_SHOWMINIMIZED);
  EXPECT_TRUE(ws.ISICONIC(frame));
  ws.SHOWWINDOW(frame, SW_RESTORE);
  EXPECT_EQ(ws.GETWINDOWRECT(frame), (Rect{10, 10, 310, 210}));
  EXPECT_EQ(sizes, (std::vector<std::int64_t>{SIZE_MAXIMIZED, SIZE_MINIMIZED, SIZE_RESTORED}));
}

TEST_F(Windows, PlacementKeepsTheNormalRectangleOfAMaximisedWindow) {
  const Handle frame = make_window();
  ws.SHOWWINDOW(frame, SW_SHOWMAXIMIZED);
  const std::array<int, 11> placement = ws.GETWINDOWPLACEMENT(frame);
  EXPECT_EQ(placement[2], SW_SHOWMAXIMIZED);
  EXPECT_EQ((std::array<int, 4>{placement[7], placement[8], placement[9], placement[10]}),
            (std::array<int, 4>{10, 10, 310, 210}));
  std::array<int, 11> restored = placement;
  restored[2] = SW_SHOWNORMAL;
  restored[9] = 410;
  EXPECT_TRUE(ws.SETWINDOWPLACEMENT(frame, restored));
  EXPECT_EQ(ws.GETWINDOWRECT(frame), (Rect{10, 10, 410, 210}));
  EXPECT_FALSE(ws.SETWINDOWPLACEMENT(0x7FFFFFF0, restored));
  EXPECT_EQ(ws.GETWINDOWPLACEMENT(0x7FFFFFF0)[0], 0);
}

}  // namespace
}  // namespace ui::platform
