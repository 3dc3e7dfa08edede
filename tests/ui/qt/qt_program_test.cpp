#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

#include "shell/frame_test_support.h"
#include "ui/qt/qt_fixture.h"
#include "data/use_table.h"
#include "shell/main_resources.h"

namespace ui::platform {
namespace {

// The program itself on the demo site, shown on the desktop: the frame the shell builds,
// its menus, and every dialog the start-up opens, pictured for reviewers.
class QtProgramTest : public testing::Test {
 protected:
  QtProgramTest() : backend((test_application(), clock), nullptr), ws(clock, backend) {}

  void SetUp() override {
    shell_test::make_demo_site(folder.path());
    if (HasFatalFailure()) return;
    std::ostringstream errors;
    ASSERT_GT(shell::load_resources(ws, std::filesystem::path(QV_SOURCE_DIR) / "resources", errors), 0)
        << errors.str();
    app = std::make_unique<shell::Application>(ws, folder.path());
    ASSERT_TRUE(app->start());
    pump();
  }

  void pump() {
    backend.process_events();
    Message message;
    while (ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      ws.TRANSLATEMESSAGE(message);
      ws.DISPATCHMESSAGE(message);
      backend.process_events();
    }
  }

  void screenshot(QWidget* widget, const std::string& name) {
    backend.process_events();
    const std::filesystem::path shots = std::filesystem::path(QV_BINARY_DIR) / "screenshots";
    std::filesystem::create_directories(shots);
    EXPECT_TRUE(widget->grab().save(QString::fromStdString((shots / (name + ".png")).string())));
  }

  test_support::TempFolder folder{"qt_program"};
  ManualClock clock{Millis{1'000'000}};
  QtBackend backend;
  WindowSystem ws;
  std::unique_ptr<shell::Application> app;
};

TEST_F(QtProgramTest, FrameOnTheDemoSiteShowsItsMenusAndDialogs) {
  const Handle frame = app->frame().hwnd;
  auto* window = qobject_cast<QMainWindow*>(backend.outer_widget(frame));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "MailServer Quarvelt");
  QStringList menus;
  for (QAction* action : window->menuBar()->actions()) menus << action->text();
  EXPECT_EQ(menus, (QStringList{"Editar", "Controles", "Ventanas", "Acerca de"}));
  // The start-up command minimises the frame.
  EXPECT_TRUE(window->isMinimized());
  screenshot(window, "program_frame");

  auto* area = qobject_cast<QMdiArea*>(backend.widget(app->frame().hMDIClient));
  ASSERT_NE(area, nullptr);
  for (QMdiSubWindow* sub_window : area->subWindowList()) {
    screenshot(sub_window->widget(), "program_dialog_" + sub_window->windowTitle().toStdString());
  }
}

TEST_F(QtProgramTest, TheCenterShowsItsStateAndAClickOnASwitchRewritesDefmail) {
  Handle center = 0;
  for (const Handle child : ws.children(app->frame().hMDIClient)) {
    if (ws.GETWINDOWTEXT(child) == "QUARVELT Notification Center") center = child;
  }
  ASSERT_NE(center, 0);
  const auto field = [&](int id) { return qobject_cast<QLineEdit*>(backend.widget(ws.GETDLGITEM(center, id))); };
  const auto switch_box = [&](int id) { return qobject_cast<QCheckBox*>(backend.widget(ws.GETDLGITEM(center, id))); };
  ASSERT_NE(field(502), nullptr);
  EXPECT_FALSE(field(502)->text().trimmed().isEmpty());  // Up: the date and time it opened.
  EXPECT_EQ(field(502)->text().toStdString(), ws.GETDLGITEMTEXT(center, 502));
  // The counters and the status the first cycle left (the demo's SMTP port has no server here).
  for (const int id : {500, 501, 503, 504}) {
    ASSERT_NE(field(id), nullptr) << id;
    EXPECT_EQ(field(id)->text().toStdString(), ws.GETDLGITEMTEXT(center, id)) << id;
  }

  std::unique_ptr<data::WDBTable> defmail = data::USE(app->tables(), {}, "DEFMAIL", "DEFMAIL");
  ASSERT_NE(defmail, nullptr);
  const auto flag = [&](int kind) {
    defmail->GoTop();
    return static_cast<int>(defmail->get("NOTIFICA" + std::to_string(kind)).number());
  };
  for (int kind = 1; kind <= 7; ++kind) {
    ASSERT_NE(switch_box(1000 + kind), nullptr) << kind;
    EXPECT_EQ(switch_box(1000 + kind)->isChecked(), flag(kind) == 1) << kind;
  }

  const int before = flag(4);
  backend.outer_widget(app->frame().hwnd)->showNormal();
  QTest::mouseClick(switch_box(1004), Qt::LeftButton);
  pump();
  EXPECT_EQ(flag(4), before == 1 ? 0 : 1);
  EXPECT_EQ(switch_box(1004)->isChecked(), flag(4) == 1);
  screenshot(backend.widget(center), "program_center_after_click");
}

}  // namespace
}  // namespace ui::platform
