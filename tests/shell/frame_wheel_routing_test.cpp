#include <gtest/gtest.h>

#include <string>

#include "shell/frame_wheel_routing.h"
#include "ui/platform/clock.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/window_system.h"

namespace shell_test {
namespace {

using namespace ui::platform;

constexpr std::int64_t kWheelUp = 120;
constexpr std::int64_t kWheelDown = -120;

// A dialog with a date field, a plain edit and a browse list, and a window outside it.
class WheelTest : public testing::Test {
 protected:
  WheelTest() {
    ws.REGISTERCLASS("TestDialog");
    dialog = ws.CREATEWINDOW("TestDialog", "dialog", WS_VISIBLE, 0, 0, 600, 400, 0, 0);
    date = ws.CREATEWINDOW("Edit", "28/02/26", WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, dialog, 501);
    list = ws.CREATEWINDOW("ListBox", "", WS_CHILD | WS_VISIBLE, 10, 100, 300, 200, dialog, 600);
    browse = ws.CREATEWINDOW("TestDialog", "browse", WS_CHILD, 0, 0, 1, 1, dialog, 601);
    ws.SETWINDOWTEXT(list, "B\xC3\xA4" + std::to_string(browse) + "\xC3\xA4" + "7");
    other = ws.CREATEWINDOW("TestDialog", "other", WS_VISIBLE, 700, 0, 200, 200, 0, 0);
    other_edit = ws.CREATEWINDOW("Edit", "01/03/26", WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, other, 501);
  }

  Message wheel(std::int64_t delta, Point at) {
    return Message{0, WM_MOUSEWHEEL, MAKELPARAM(0, delta), MAKELPARAM(at.x, at.y), 0, at.x, at.y};
  }

  // Screen point inside a control.
  Point inside(Handle control) {
    const Rect rect = ws.GETWINDOWRECT(control);
    return Point{rect.left + 2, rect.top + 2};
  }

  ManualClock clock{Millis{1000}};
  HeadlessBackend backend{clock, [](std::string_view) {}};
  WindowSystem ws{clock, backend};
  Handle dialog, date, list, browse, other, other_edit;
};

TEST_F(WheelTest, DateFieldMovesADay) {
  EXPECT_EQ(shell::route_wheel(ws, wheel(kWheelDown, inside(date)), dialog), 0u);
  EXPECT_EQ(ws.GETWINDOWTEXT(date), "01/03/26");
  shell::route_wheel(ws, wheel(kWheelUp, inside(date)), dialog);
  shell::route_wheel(ws, wheel(kWheelUp, inside(date)), dialog);
  EXPECT_EQ(ws.GETWINDOWTEXT(date), "27/02/26");
}

TEST_F(WheelTest, OnlyTheActiveChildIsServed) {
  shell::route_wheel(ws, wheel(kWheelDown, inside(other_edit)), dialog);
  EXPECT_EQ(ws.GETWINDOWTEXT(other_edit), "01/03/26");
  shell::route_wheel(ws, wheel(kWheelDown, inside(date)), 0);
  EXPECT_EQ(ws.GETWINDOWTEXT(date), "28/02/26");
}

TEST_F(WheelTest, BrowseListScrollsItsGridAndEndsAtTheNextTimer) {
  EXPECT_EQ(shell::route_wheel(ws, wheel(kWheelDown, inside(list)), dialog), list);
  Message posted;
  ASSERT_TRUE(ws.PEEKMESSAGE(posted, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(posted.window, browse);
  EXPECT_EQ(posted.message, WM_VSCROLL);
  EXPECT_EQ(posted.wParam.number(), 1);  // SB_LINEDOWN.

  shell::end_browse_scroll(ws, list);
  ASSERT_TRUE(ws.PEEKMESSAGE(posted, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(posted.window, browse);
  EXPECT_EQ(posted.wParam.number(), 8);  // SB_ENDSCROLL.
  EXPECT_EQ(posted.lParam.number(), 7);
}

}  // namespace
}  // namespace shell_test
