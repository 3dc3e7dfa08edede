#include <QHeaderView>
#include <QTableView>

#include "ui/qt/qt_fixture.h"
#include "ui/platform/qt/grid_mirror.h"
#include "ui/platform/qt/qt_backend_factory.h"

namespace ui::platform {
namespace {

// Rows made up on demand, counting how many were read: a grid over a large scope must
// read only what it shows.
class CountedRows final : public GridRows {
 public:
  int column_count() const override { return 2; }
  std::string heading(int column) const override { return column == 0 ? "Casilla" : "Enviados"; }
  int column_width(int column) const override { return column == 0 ? 150 : 80; }
  bool is_right_aligned(int column) const override { return column == 1; }
  bool is_order_heading(int column) const override { return column == 0; }
  int active_heading() const override { return 0; }
  int row_count() const override { return 100'000; }
  std::vector<std::string> row(int position) const override {
    ++reads;
    return {"casilla" + std::to_string(position), std::to_string(position * 3)};
  }
  int current_row() const override { return current; }
  int top_row() const override { return top; }

  mutable int reads = 0;
  int current = 0;
  int top = 0;
};

class QtGridTest : public QtBackendTest {
 protected:
  void TearDown() override {
    if (list) grid_registry().unbind(list);
  }
  Handle list = 0;
};

TEST_F(QtGridTest, ListBoxBoundToRowsShowsAGridReadOnDemand) {
  build_frame();
  const Handle dialog = open_dialog("QT_GRID");
  list = ws.GETDLGITEM(dialog, 700);
  auto rows = std::make_shared<CountedRows>();
  rows->current = 41;
  rows->top = 40;
  grid_registry().bind(list, rows);

  auto* view = qobject_cast<QTableView*>(backend.widget(list));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->model()->rowCount(), 100'000);
  EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Casilla");
  EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(),
            QColor(0xC2, 0xCF, 0xD1));
  EXPECT_EQ(view->model()->data(view->model()->index(41, 1), Qt::DisplayRole).toString(), "123");
  EXPECT_EQ(view->currentIndex().row(), 41);
  screenshot(backend.widget(dialog), "grid");
  EXPECT_LT(rows->reads, 200);

  // A click on the ordering heading and on a row reach the list window as the grid
  // engine's mouse messages.
  take_messages();
  emit view->horizontalHeader()->sectionClicked(0);
  emit view->horizontalHeader()->sectionClicked(1);  // Not an ordering heading: nothing.
  auto messages = take_messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].window, list);
  EXPECT_EQ(messages[0].message, WM_LBUTTONDOWN);
  EXPECT_EQ(messages[0].lParam.number(), MAKELPARAM(75, 9));
  EXPECT_EQ(messages[1].message, WM_LBUTTONUP);

  emit view->clicked(view->model()->index(42, 1));
  messages = take_messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].lParam.number(), MAKELPARAM(150 + 40, 18 + 2 * 16 + 8));

  // A redraw by the binding reads the rows again; unbinding gives the plain list back.
  rows->current = 7;
  grid_registry().changed(list);
  EXPECT_EQ(view->currentIndex().row(), 7);
  grid_registry().unbind(list);
  backend.process_events();
  EXPECT_EQ(qobject_cast<QTableView*>(backend.widget(list)), nullptr);
  EXPECT_NE(backend.widget(list), nullptr);
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
