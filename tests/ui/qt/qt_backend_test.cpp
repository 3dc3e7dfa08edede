#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "ui/qt/qt_fixture.h"
#include "ui/platform/dialog_units.h"
#include "ui/platform/qt/owner_drawn_button.h"

namespace ui::platform {
namespace {

QStringList menu_titles(QMenuBar* bar) {
  QStringList titles;
  for (QAction* action : bar->actions()) titles << action->text();
  return titles;
}

QStringList status_panes(QMainWindow* window) {
  QStringList panes;
  for (QLabel* label : window->statusBar()->findChildren<QLabel*>()) panes << label->text();
  return panes;
}

TEST_F(QtBackendTest, FrameMirrorsCaptionMenusStatusBarAndClient) {
  build_frame();
  auto* window = qobject_cast<QMainWindow*>(backend.outer_widget(frame));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "MailServer Quarvelt");
  EXPECT_EQ(menu_titles(window->menuBar()), (QStringList{"Editar", "Controles"}));
  EXPECT_EQ(status_panes(window), (QStringList{"Ready", "INS", "NUM", "CAPS"}));
  EXPECT_NE(qobject_cast<QMdiArea*>(backend.widget(client)), nullptr);

  ws.SETWINDOWTEXT(status, "Ready\tOVR\t\tCAPS");
  EXPECT_EQ(status_panes(window), (QStringList{"Ready", "OVR", "", "CAPS"}));

  // A menu changed by the program shows when the person opens it.
  ws.menus().ENABLE_MENUITEM(ws.GET_MENU(frame), 4687, MF_GRAYED);
  QMenu* controls = window->menuBar()->actions().at(1)->menu();
  emit controls->aboutToShow();
  QStringList items;
  bool is_mailbox_enabled = true;
  for (QAction* action : controls->actions()) {
    items << (action->isSeparator() ? "-" : action->text());
    if (action->text() == "Casilleros Programables") is_mailbox_enabled = action->isEnabled();
  }
  EXPECT_EQ(items, (QStringList{"Servidor e-Mails", "-", "Casilleros Programables"}));
  EXPECT_FALSE(is_mailbox_enabled);

  ws.SHOWWINDOW(frame, SW_SHOWMINIMIZED);
  EXPECT_TRUE(window->isMinimized());
  ws.SHOWWINDOW(frame, SW_RESTORE);
  EXPECT_FALSE(window->isMinimized());
}

TEST_F(QtBackendTest, DialogIsASubWindowWithControlsAtTheirPixelRectangles) {
  build_frame();
  const Handle dialog = open_dialog("QT_CONTROLS");
  auto* sub_window = qobject_cast<QMdiSubWindow*>(backend.outer_widget(dialog));
  ASSERT_NE(sub_window, nullptr);
  EXPECT_EQ(sub_window->mdiArea(), backend.widget(client));
  EXPECT_EQ(sub_window->windowTitle(), "Controles de prueba");
  const DialogBaseUnits units = dialog_base_units(DialogFont{});
  const Rect size = dialog_units_to_pixels(0, 0, 230, 190, units);
  EXPECT_EQ(backend.widget(dialog)->size(), QSize(size.width(), size.height()));
  // Not resizable: the client area keeps its size.
  EXPECT_EQ(backend.widget(dialog)->minimumSize(), backend.widget(dialog)->maximumSize());

  struct Case {
    int id;
    int x, y, width, height;
  };
  for (const Case& c : {Case{501, 50, 7, 170, 12}, Case{1001, 115, 71, 60, 10}, Case{600, 7, 130, 100, 32},
                        Case{IDCANCEL, 62, 168, 50, 14}}) {
    const Rect expected = dialog_units_to_pixels(c.x, c.y, c.width, c.height, units);
    EXPECT_EQ(item_widget(dialog, c.id)->geometry(),
              QRect(expected.left, expected.top, expected.width(), expected.height()))
        << "control " << c.id;
  }
  const auto frame_shot = screenshot(backend.outer_widget(frame), "frame_with_dialog");
  const auto dialog_shot = screenshot(backend.widget(dialog), "dialog_controls");
  EXPECT_GT(std::filesystem::file_size(frame_shot), 1000u);
  EXPECT_GT(std::filesystem::file_size(dialog_shot), 1000u);
}

TEST_F(QtBackendTest, WidgetsShowWhatTheProgramSet) {
  build_frame();
  const Handle dialog = open_dialog("QT_CONTROLS");
  ws.SETDLGITEMTEXT(dialog, 501, "Recepción");
  ws.SETDLGITEMTEXT(dialog, 502, "secreto");
  ws.SETDLGITEMTEXT(dialog, 504, "solo lectura");
  ws.SETDLGITEMTEXT(dialog, 505, "línea 1\r\nlínea 2");
  ws.SENDDLGITEMMESSAGE(dialog, 1002, BM_SETCHECK, BST_CHECKED);
  for (const char* item : {"POP3", "IMAP", "SMTP"}) ws.SENDDLGITEMMESSAGE(dialog, 506, CB_ADDSTRING, 0, Param::text(item));
  ws.SENDDLGITEMMESSAGE(dialog, 506, CB_SETCURSEL, 1);
  for (const char* item : {"uno", "dos", "tres"}) ws.SENDDLGITEMMESSAGE(dialog, 600, LB_ADDSTRING, 0, Param::text(item));
  ws.SENDDLGITEMMESSAGE(dialog, 600, LB_SETCURSEL, 2);
  ws.CHECKRADIOBUTTON(dialog, 1010, 1011, 1011);
  const Handle tree = ws.GETDLGITEM(dialog, 601);
  const std::int64_t root = ws.tree_insert(tree, 0, "MAILSERVER");
  ws.tree_insert(tree, root, "2026-12-11 ADMIN");
  ws.ENABLEWINDOW(ws.GETDLGITEM(dialog, 3), false);

  EXPECT_EQ(static_cast<QLineEdit*>(item_widget(dialog, 501))->text(), "Recepción");
  auto* password = static_cast<QLineEdit*>(item_widget(dialog, 502));
  EXPECT_EQ(password->text(), "secreto");
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(static_cast<QLineEdit*>(item_widget(dialog, 504))->isReadOnly());
  EXPECT_EQ(static_cast<QPlainTextEdit*>(item_widget(dialog, 505))->toPlainText(), "línea 1\nlínea 2");
  EXPECT_FALSE(static_cast<QCheckBox*>(item_widget(dialog, 1001))->isChecked());
  EXPECT_TRUE(static_cast<QCheckBox*>(item_widget(dialog, 1002))->isChecked());
  auto* combo = static_cast<QComboBox*>(item_widget(dialog, 506));
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->currentText(), "IMAP");
  auto* list = static_cast<QListWidget*>(item_widget(dialog, 600));
  EXPECT_EQ(list->count(), 3);
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_FALSE(static_cast<QRadioButton*>(item_widget(dialog, 1010))->isChecked());
  EXPECT_TRUE(static_cast<QRadioButton*>(item_widget(dialog, 1011))->isChecked());
  auto* tree_widget = static_cast<QTreeWidget*>(item_widget(dialog, 601));
  ASSERT_EQ(tree_widget->topLevelItemCount(), 1);
  EXPECT_EQ(tree_widget->topLevelItem(0)->text(0), "MAILSERVER");
  EXPECT_EQ(tree_widget->topLevelItem(0)->child(0)->text(0), "2026-12-11 ADMIN");

  // The owner-drawn buttons tell accept, cancel, other and disabled apart.
  using Scheme = OwnerDrawnButton::Scheme;
  EXPECT_EQ(static_cast<OwnerDrawnButton*>(item_widget(dialog, IDOK))->scheme(), Scheme::accept);
  EXPECT_EQ(static_cast<OwnerDrawnButton*>(item_widget(dialog, IDCANCEL))->scheme(), Scheme::cancel);
  EXPECT_EQ(static_cast<OwnerDrawnButton*>(item_widget(dialog, 3))->scheme(), Scheme::disabled);
  EXPECT_EQ(static_cast<OwnerDrawnButton*>(item_widget(dialog, 4))->scheme(), Scheme::disabled);
  ws.ENABLEWINDOW(ws.GETDLGITEM(dialog, 3), true);
  EXPECT_EQ(static_cast<OwnerDrawnButton*>(item_widget(dialog, 3))->scheme(), Scheme::other);
  static_cast<QPushButton*>(item_widget(dialog, 3))->setDown(true);
  screenshot(backend.widget(dialog), "dialog_state");
  static_cast<QPushButton*>(item_widget(dialog, 3))->setDown(false);

  ws.SHOWWINDOW(ws.GETDLGITEM(dialog, 600), SW_HIDE);
  EXPECT_TRUE(list->isHidden());
  ws.DESTROYWINDOW(dialog);
  backend.process_events();
  EXPECT_EQ(backend.widget(dialog), nullptr);
}

TEST_F(QtBackendTest, PersonActionsArriveAsTheControlsMessages) {
  build_frame();
  const Handle dialog = open_dialog("QT_CONTROLS");
  backend.outer_widget(frame)->show();

  QTest::mouseClick(item_widget(dialog, 1001), Qt::LeftButton);
  auto messages = take_messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].window, dialog);
  EXPECT_EQ(messages[0].message, WM_COMMAND);
  EXPECT_EQ(messages[0].wParam.number(), MAKELPARAM(1001, BN_CLICKED));
  EXPECT_EQ(messages[0].lParam.number(), ws.GETDLGITEM(dialog, 1001));
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 1001, BM_GETCHECK), BST_CHECKED);
  EXPECT_TRUE(static_cast<QCheckBox*>(item_widget(dialog, 1001))->isChecked());

  QTest::keyClicks(item_widget(dialog, 501), "Ana");
  messages = take_messages();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2].wParam.number(), MAKELPARAM(501, EN_CHANGE));
  EXPECT_EQ(ws.GETDLGITEMTEXT(dialog, 501), "Ana");

  QTest::keyClicks(item_widget(dialog, 503), "smtp");
  take_messages();
  EXPECT_EQ(ws.GETDLGITEMTEXT(dialog, 503), "SMTP");
  EXPECT_EQ(static_cast<QLineEdit*>(item_widget(dialog, 503))->text(), "SMTP");

  for (const char* item : {"POP3", "IMAP"}) ws.SENDDLGITEMMESSAGE(dialog, 506, CB_ADDSTRING, 0, Param::text(item));
  emit static_cast<QComboBox*>(item_widget(dialog, 506))->activated(1);
  messages = take_messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].wParam.number(), MAKELPARAM(506, CBN_SELCHANGE));
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 506, CB_GETCURSEL), 1);

  QTest::mouseClick(item_widget(dialog, 1011), Qt::LeftButton);
  take_messages();
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 1011, BM_GETCHECK), BST_CHECKED);
  QTest::mouseClick(item_widget(dialog, 1010), Qt::LeftButton);
  take_messages();
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 1011, BM_GETCHECK), BST_UNCHECKED);
  EXPECT_FALSE(static_cast<QRadioButton*>(item_widget(dialog, 1011))->isChecked());

  // Keys the dialog manager answers go to the window system, not to Qt.
  QTest::keyClick(item_widget(dialog, 501), Qt::Key_Escape);
  messages = take_messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].message, WM_KEYDOWN);
  EXPECT_EQ(messages[0].window, ws.GETDLGITEM(dialog, 501));
  EXPECT_EQ(messages[0].wParam.number(), VK_ESCAPE);
  EXPECT_EQ(messages[1].message, WM_KEYUP);

  QTest::keyClick(item_widget(dialog, 501), Qt::Key_Plus);
  messages = take_messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].message, EM_SETSEL);
  EXPECT_EQ(messages[1].message, WM_CHAR);
  EXPECT_EQ(messages[1].wParam.number(), '+');

  auto* window = qobject_cast<QMainWindow*>(backend.outer_widget(frame));
  QMenu* controls = window->menuBar()->actions().at(1)->menu();
  controls->actions().at(0)->trigger();
  messages = take_messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].window, frame);
  EXPECT_EQ(messages[0].wParam.number(), MAKELPARAM(2984, 0));

  backend.outer_widget(dialog)->close();
  messages = take_messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].window, dialog);
  EXPECT_EQ(messages[0].message, WM_SYSCOMMAND);
  EXPECT_EQ(messages[0].wParam.number(), SC_CLOSE);
  EXPECT_TRUE(ws.ISWINDOW(dialog));
}

}  // namespace
}  // namespace ui::platform
