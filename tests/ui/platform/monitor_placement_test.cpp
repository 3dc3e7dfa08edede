#include <gtest/gtest.h>

#include "ui/platform/monitor_placement.h"
#include "window_system_fixture.h"

namespace ui::platform {
namespace {

TEST(MonitorPlacement, PullsInsideWithTheDialogMarginOrCentres) {
  const Rect area{0, 0, 1920, 1040};
  struct Case {
    Rect rect;
    Centre centre;
    DialogMargin margin;
    Rect expected;
    const char* why;
  };
  const Case cases[] = {
      {{-50, 100, 250, 300}, Centre::No, DialogMargin::Yes, {1, 100, 301, 300}, "a dialog keeps one pixel"},
      {{-50, 100, 250, 300}, Centre::No, DialogMargin::No, {0, 100, 300, 300}, "an ordinary window touches the edge"},
      {{1800, 1000, 2100, 1200}, Centre::No, DialogMargin::Yes, {1619, 839, 1919, 1039}, "right and bottom edges"},
      {{1800, 1000, 2100, 1200}, Centre::No, DialogMargin::No, {1620, 840, 1920, 1040}, "right and bottom edges"},
      {{-50, 100, 250, 300}, Centre::Yes, DialogMargin::Yes, {810, 420, 1110, 620}, "centred"},
      {{0, 0, 3000, 100}, Centre::No, DialogMargin::No, {0, 0, 3000, 100}, "wider than the area: the size stays"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(place_in_area(c.rect, area, c.centre, c.margin), c.expected);
  }
}

TEST(MonitorPlacement, NearestMonitorIsTheMostOverlappedThenTheClosest) {
  const std::vector<Monitor> monitors{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
                                      {{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}}};
  EXPECT_EQ(nearest_monitor(monitors, {1800, 0, 2400, 100}).area.left, 1920);
  EXPECT_EQ(nearest_monitor(monitors, {5000, 0, 5100, 100}).area.left, 1920);
  EXPECT_EQ(nearest_monitor(monitors, {-900, 0, -800, 100}).area.left, 0);
}

using Placement = WindowSystemTest;

TEST_F(Placement, ClipOrCentreTreatsDialogsAndWindowsAsTheSystemDoes) {
  auto script = ResourceScript::parse("WIDE DIALOGEX 0, 0, 200, 40\nBEGIN\nEND\n", "wide.rc");
  ASSERT_TRUE(script);
  ws.add_resources(*script);
  const Handle dialog = ws.CREATEDIALOGEX("WIDE", 0, nullptr);  // 300 pixels wide.
  ws.REGISTERCLASS("Plain");
  const Handle window = ws.CREATEWINDOW("Plain", "", WS_POPUP, -50, 100, 300, 65, 0, 0);
  for (const Handle h : {dialog, window}) ws.SETWINPOS(h, 0, -50, 100, 300, 65, SWP_NOZORDER);
  ws.CLIPORCENTERWINDOWTOMONITOR(dialog, 2);
  ws.CLIPORCENTERWINDOWTOMONITOR(window, 2);
  EXPECT_EQ(ws.GETWINDOWRECT(dialog).left, 1);
  EXPECT_EQ(ws.GETWINDOWRECT(window).left, 0);
  ws.CLIPORCENTERWINDOWTOMONITOR(dialog);
  ws.CLIPORCENTERWINDOWTOMONITOR(window);
  EXPECT_EQ(ws.GETWINDOWRECT(dialog), (Rect{810, 487, 1110, 552}));
  EXPECT_EQ(ws.GETWINDOWRECT(window), (Rect{810, 487, 1110, 552}));
  // With width and height 0 the window keeps its size and is clipped at (x, y).
  ws.SETMULTIWINCLIPPOS(window, 0, 1800, 5, 0, 0, SWP_NOZORDER);
  EXPECT_EQ(ws.GETWINDOWRECT(window), (Rect{1620, 5, 1920, 70}));
  EXPECT_FALSE(ws.CLIPORCENTERWINDOWTOMONITOR(0x7FFFFFF0));
}

}  // namespace
}  // namespace ui::platform
