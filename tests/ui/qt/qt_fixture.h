#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>
#include <QWidget>

#include "ui/platform/clock.h"
#include "ui/platform/qt/qt_backend.h"
#include "ui/platform/resource_script.h"
#include "ui/platform/window_system.h"

namespace ui::platform {

// The process's QApplication (offscreen in the test command). It has to end before
// Qt's own globals do at exit, or their destructors run on a dead application; so a
// test environment owns it and ends it when the last test has run.
class QtApplicationEnvironment : public testing::Environment {
 public:
  void SetUp() override { m_application = std::make_unique<QApplication>(m_argc, m_argv); }
  void TearDown() override { m_application.reset(); }
  QApplication& application() { return *m_application; }

 private:
  int m_argc = 1;
  char m_name[12] = "ui_qt_tests";
  char* m_argv[2] = {m_name, nullptr};
  std::unique_ptr<QApplication> m_application;
};

// GoogleTest owns registered environments.
inline QtApplicationEnvironment* const qt_application_environment = static_cast<QtApplicationEnvironment*>(
    testing::AddGlobalTestEnvironment(new QtApplicationEnvironment));

inline QApplication& test_application() { return qt_application_environment->application(); }

// A window system on a manual clock shown by the Qt back end, with a frame like the
// program's: a menu bar, a multiple-document client and a status bar.
class QtBackendTest : public testing::Test {
 protected:
  QtBackendTest() : application((test_application(), nullptr)), backend(clock, nullptr), ws(clock, backend) {
    auto script = ResourceScript::load(std::filesystem::path(QV_QT_TEST_DATA) / "qt_dialogs.rc");
    EXPECT_TRUE(script.has_value());
    if (script) ws.add_resources(*script);
  }

  void build_frame() {
    ws.REGISTERCLASS("QUARVELT32");
    ws.REGISTERCLASS("msctls_statusbar32");
    frame = ws.CREATEWINDOW("QUARVELT32", "MailServer Quarvelt", 0x02CF0000 | WS_VISIBLE, 0, 0, 640, 480, 0, 0);
    ws.set_main_frame(frame);
    client = ws.CREATEWINDOW("MdiClient", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 2, 2, 636, 454, frame, 0);
    status = ws.CREATEWINDOW("msctls_statusbar32", "Ready\tINS\tNUM\tCAPS", WS_CHILD | WS_VISIBLE, 0, 458, 640,
                             22, frame, 0);
    MenuTable& menus = ws.menus();
    const Handle bar = menus.CREATE_MENUE();
    const Handle edit = menus.CREATEPOPUPMENU();
    menus.APPEND_MENU(edit, MF_STRING | MF_GRAYED, 30001, "No hay operaciones asociadas");
    const Handle controls = menus.CREATEPOPUPMENU();
    menus.APPEND_MENU(controls, MF_STRING, 2984, "Servidor e-Mails");
    menus.APPEND_MENU(controls, MF_SEPARATOR, 0, "");
    menus.APPEND_MENU(controls, MF_STRING, 4687, "Casilleros Programables");
    menus.APPEND_MENU(bar, MF_POPUP, edit, "Editar");
    menus.APPEND_MENU(bar, MF_POPUP, controls, "Controles");
    ws.SET_MENU(frame, bar);
  }

  // A modeless dialog of the test script inside the client, shown.
  Handle open_dialog(std::string_view name) {
    const DialogTemplate* dialog = ws.resources().dialog(name);
    EXPECT_NE(dialog, nullptr);
    const Handle handle = ws.WDCREATEDIALOGINDIRECT(*dialog, client, [](Handle, MessageId, const Param&, const Param&) {
      return std::int64_t{0};
    });
    ws.SHOWWINDOW(handle, SW_SHOW);
    return handle;
  }

  QWidget* item_widget(Handle dialog, int id) { return backend.widget(ws.GETDLGITEM(dialog, id)); }

  // Takes everything waiting in the queue, in order.
  std::vector<Message> take_messages() {
    backend.process_events();
    std::vector<Message> taken;
    Message message;
    while (ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE)) taken.push_back(message);
    return taken;
  }

  // Saves a picture of the widget under <build>/screenshots/<name>.png; answers the path.
  std::filesystem::path screenshot(QWidget* widget, const std::string& name) {
    backend.process_events();  // Pending layouts and paints.
    const std::filesystem::path folder = std::filesystem::path(QV_BINARY_DIR) / "screenshots";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / (name + ".png");
    widget->grab().save(QString::fromStdString(file.string()));
    return file;
  }

  std::nullptr_t application;
  ManualClock clock{Millis{1'000'000}};
  QtBackend backend;
  WindowSystem ws;
  Handle frame = 0;
  Handle client = 0;
  Handle status = 0;
};

}  // namespace ui::platform
