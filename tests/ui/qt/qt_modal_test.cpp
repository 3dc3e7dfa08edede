#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "ui/qt/qt_fixture.h"

namespace ui::platform {
namespace {

// Runs `action` once Qt's loop next turns, i.e. while the window system waits.
void when_waiting(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

TEST_F(QtBackendTest, MessageBoxAnswersTheButtonPressed) {
  build_frame();
  struct Case {
    std::uint32_t flags;
    QMessageBox::StandardButton press;
    int answer;
    QMessageBox::Icon icon;
  };
  for (const Case& c : {Case{MB_OK | MB_ICONINFORMATION, QMessageBox::Ok, IDOK, QMessageBox::Information},
                        Case{MB_OKCANCEL | MB_ICONQUESTION, QMessageBox::Cancel, IDCANCEL, QMessageBox::Question},
                        Case{MB_OKCANCEL | MB_ICONQUESTION, QMessageBox::Ok, IDOK, QMessageBox::Question},
                        Case{MB_OK | MB_ICONSTOP, QMessageBox::Ok, IDOK, QMessageBox::Critical}}) {
    QStringList seen;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    when_waiting([&] {
      QMessageBox* box = backend.open_message_box();
      ASSERT_NE(box, nullptr);
      seen << box->windowTitle() << box->text();
      icon = box->icon();
      for (QAbstractButton* button : box->buttons()) seen << button->text();
      screenshot(box, "message_box");
      box->button(c.press)->click();
    });
    EXPECT_EQ(ws.MESSAGE_BOX("¿Desea salir de la aplicación?", "Cierre de Aplicación", c.flags), c.answer);
    EXPECT_EQ(seen.mid(0, 2), (QStringList{"Cierre de Aplicación", "¿Desea salir de la aplicación?"}));
    EXPECT_EQ(seen.size(), (c.flags & MB_TYPEMASK) == MB_OKCANCEL ? 4 : 3);
    EXPECT_EQ(icon, c.icon);
  }
}

TEST_F(QtBackendTest, TimersRunWhileAMessageBoxIsOpen) {
  build_frame();
  ws.SETTIMER(frame, 2, 60000);
  int ticks = 0;
  ws.SUBCLASSWINDOW(frame, [&](Handle, MessageId message, const Param&, const Param&) -> std::int64_t {
    if (message != WM_TIMER) return 0;
    if (++ticks == 2) backend.open_message_box()->button(QMessageBox::Ok)->click();
    return 0;
  }, MessageFilter::only({WM_TIMER}));
  const Millis start = clock.now();
  EXPECT_EQ(ws.MESSAGE_BOX("Espere", "Info", MB_OK), IDOK);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(clock.now() - start, Millis{120000});
}

TEST_F(QtBackendTest, DialogBoxIsModalAndEndsWithTheButtonPressed) {
  build_frame();
  Handle dialog = 0;
  bool was_frame_enabled = true;
  QString caption;
  when_waiting([&] {
    caption = backend.widget(dialog)->windowTitle();
    was_frame_enabled = backend.outer_widget(frame)->isEnabled();
    screenshot(backend.widget(dialog), "dialog_box");
    static_cast<QPushButton*>(backend.widget(ws.GETDLGITEM(dialog, IDOK)))->click();
  });
  const std::int64_t result = ws.DIALOGBOX("QT_MODAL", frame, [&](Handle window, MessageId message, const Param& wParam,
                                                                  const Param&) -> std::int64_t {
    if (message == WM_INITDIALOG) dialog = window;
    if (message == WM_COMMAND && C4W_LOWORD(wParam.number()) == IDOK) {
      ws.ENDDIALOG(window, 7);
      return 1;
    }
    return 0;
  });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(caption, "Casillero");
  EXPECT_FALSE(was_frame_enabled);
  EXPECT_TRUE(backend.outer_widget(frame)->isEnabled());
  EXPECT_EQ(backend.widget(dialog), nullptr);
}

}  // namespace
}  // namespace ui::platform
