#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include "ui/qt/qt_fixture.h"
#include "ui/platform/qt/list_window_rows.h"
#include "ui/platform/qt/qt_backend_factory.h"

namespace ui::platform {
namespace {

// A list window answering as the list binding's grid does, over 100,000 made-up rows,
// counting the rows read: a grid over a large scope must read only what it shows.
struct FakeGrid {
  int reads = 0;
  int current = 41;
  std::vector<std::pair<MessageId, std::int64_t>> posted;

  std::int64_t answer(MessageId message, const Param& wParam, const Param& lParam) {
    switch (message) {
      case kGridRowCount: return 100'000;
      case kGridCurrentRow: return current;
      case kGridGetHeadings: *lParam.writable_text() = "Casilla\tEnviados"; return 1;
      case kGridGetRow: {
        ++reads;
        const std::int64_t row = wParam.number();
        *lParam.writable_text() = "casilla" + std::to_string(row) + "\t" + std::to_string(row * 3);
        return row + 1;
      }
      case kGridHeadingClick:
      case kGridScrollTo: posted.emplace_back(message, wParam.number()); return 1;
      default: return 0;
    }
  }
};

TEST_F(QtBackendTest, ListBoxOfAGridShowsEveryRowReadOnDemand) {
  build_frame();
  const Handle dialog = open_dialog("QT_GRID");
  const Handle list = ws.GETDLGITEM(dialog, 700);
  FakeGrid grid;
  const int level = ws.SUBCLASSWINDOW(list, [&](Handle window, MessageId message, const Param& wParam,
                                                const Param& lParam) -> std::int64_t {
    if (message >= kGridHeadingClick && message <= kGridScrollTo) return grid.answer(message, wParam, lParam);
    return ws.CALLWINDOWPROC(1, window, message, wParam, lParam);
  }, MessageFilter::all());
  ASSERT_EQ(level, 1);
  backend.process_events();

  auto* view = qobject_cast<QTableView*>(backend.widget(list));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->model()->rowCount(), 100'000);
  EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Enviados");
  EXPECT_EQ(view->model()->data(view->model()->index(41, 1), Qt::DisplayRole).toString(), "123");
  EXPECT_EQ(view->currentIndex().row(), 41);
  screenshot(backend.widget(dialog), "grid");
  EXPECT_LT(grid.reads, 200);

  // A heading click and a row click go to the grid engine, posted.
  take_messages();
  emit view->horizontalHeader()->sectionClicked(0);
  emit view->clicked(view->model()->index(42, 1));
  for (Message& message : take_messages()) ws.DISPATCHMESSAGE(message);
  ASSERT_EQ(grid.posted.size(), 2u);
  EXPECT_EQ(grid.posted[0], std::make_pair(kGridHeadingClick, std::int64_t{1}));
  EXPECT_EQ(grid.posted[1], std::make_pair(kGridScrollTo, std::int64_t{43}));

  // The binding redraws the list: the view reads the rows and the current row again.
  grid.current = 7;
  ws.SENDMESSAGE(list, LB_RESETCONTENT);
  backend.process_events();
  EXPECT_EQ(view->currentIndex().row(), 7);

  // Navigation keys are the grid engine's.
  QTest::keyClick(view, Qt::Key_Down);
  auto messages = take_messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0].window, list);
  EXPECT_EQ(messages[0].message, WM_KEYDOWN);
  EXPECT_EQ(messages[0].wParam.number(), 0x28);
}

TEST_F(QtBackendTest, PlainListBoxStaysAList) {
  build_frame();
  const Handle dialog = open_dialog("QT_GRID");
  backend.process_events();
  EXPECT_EQ(qobject_cast<QTableView*>(backend.widget(ws.GETDLGITEM(dialog, 700))), nullptr);
}

TEST(QtBackendFactory, ReusesTheProcesssApplication) {
  test_application();
  ManualClock clock;
  int argc = 1;
  char name[] = "x";
  char* argv[] = {name, nullptr};
  std::string error;
  EXPECT_TRUE(display_available());  // The test command sets QT_QPA_PLATFORM.
  auto backend = make_qt_backend(clock, argc, argv, error);
  EXPECT_NE(backend, nullptr) << error;
}

}  // namespace
}  // namespace ui::platform
