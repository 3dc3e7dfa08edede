#include <gtest/gtest.h>

#include "ui/platform/dialog_units.h"
#include "ui/platform/person_input.h"
#include "window_system_fixture.h"

namespace ui::platform {
namespace {

class Dialogs : public WindowSystemTest {
 protected:
  void SetUp() override {
    auto script = ResourceScript::load(std::string(QV_SOURCE_DIR) + "/tests/ui/platform/data/test_dialogs.rc");
    ASSERT_TRUE(script) << script.error().text;
    ws.add_resources(*script);
    frame = make_window();
  }
  Handle frame = 0;
};

TEST_F(Dialogs, ABuiltDialogHasTheTemplatesControlsInPixels) {
  const Handle dialog = ws.CREATEDIALOGEX("mail_test", frame, [](Handle, MessageId, const Param&, const Param&) -> std::int64_t { return 0; });
  ASSERT_NE(dialog, 0u);
  EXPECT_EQ(ws.GETCLASSNAME(dialog), "#32770");
  EXPECT_EQ(ws.GETWINDOWTEXT(dialog), "Buzón programable");
  // 8-point MS Shell Dlg: 6 × 13 pixels per 4 × 8 dialog units; placed from the owner's client area.
  EXPECT_EQ(ws.GETWINDOWRECT(dialog), (Rect{10 + 30, 10 + 16, 10 + 30 + 300, 10 + 16 + 195}));
  const Handle name = ws.GETDLGITEM(dialog, 501);
  ASSERT_NE(name, 0u);
  EXPECT_EQ(ws.GETCLASSNAME(name), "Edit");
  const Rect name_rect = ws.GETWINDOWRECT(name);
  EXPECT_EQ(name_rect.left - 40, 75);  // 50 units × 6 / 4.
  EXPECT_EQ(name_rect.height(), 20);   // 12 units × 13 / 8, rounded.
  const auto style = static_cast<Style>(ws.GETWINDOWLONG(name, GWL_STYLE));
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER), WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER);
  EXPECT_FALSE(ws.GETWINDOWLONG(ws.GETDLGITEM(dialog, 600), GWL_STYLE) & WS_VISIBLE);  // NOT WS_VISIBLE.
  EXPECT_EQ(ws.GETDLGITEM(dialog, 9999), 0u);
}

TEST_F(Dialogs, ControlsOfAScriptDialogAnswerTheirMessages) {
  const Handle dialog = ws.CREATEDIALOGEX("MAIL_TEST", frame, [](Handle, MessageId, const Param&, const Param&) -> std::int64_t { return 0; });
  ASSERT_TRUE(ws.SETDLGITEMTEXT(dialog, 501, "Reservas"));
  EXPECT_EQ(ws.GETDLGITEMTEXT(dialog, 501), "Reservas");
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 502, EM_GETPASSWORDCHAR), '*');
  ws.SENDDLGITEMMESSAGE(dialog, 1001, BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 1001, BM_GETCHECK), BST_CHECKED);
  ws.SENDDLGITEMMESSAGE(dialog, 503, CB_ADDSTRING, 0, Param::text("IMAP"));
  ws.SENDDLGITEMMESSAGE(dialog, 503, CB_SETCURSEL, 0);
  EXPECT_EQ(ws.GETDLGITEMTEXT(dialog, 503), "IMAP");
  ws.SENDDLGITEMMESSAGE(dialog, 1011, BM_CLICK);
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 1010, BM_GETCHECK), BST_UNCHECKED);
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 1011, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(ws.GETDLGITEMTEXT(dialog, 9999), "");
  EXPECT_EQ(ws.SENDDLGITEMMESSAGE(dialog, 9999, BM_GETCHECK), 0);
}

TEST_F(Dialogs, AModelessDialogSeesInitDialogExactlyOnceWithZeroParameters) {
  std::vector<std::pair<std::int64_t, std::int64_t>> inits;
  std::vector<MessageId> before_init;
  const Handle dialog = ws.CREATEDIALOGEX("MAIL_TEST", frame, [&](Handle, MessageId m, const Param& w, const Param& l) -> std::int64_t {
    if (m == WM_INITDIALOG) inits.emplace_back(w.number(), l.number());
    if (inits.empty()) before_init.push_back(m);
    return 0;
  });
  ASSERT_NE(dialog, 0u);
  EXPECT_EQ(inits, (std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 0}}));
  EXPECT_TRUE(before_init.empty());  // Creation messages never reached the block.
  ws.POSTMESSAGE(dialog, WM_USER);
  pump();
  EXPECT_EQ(inits.size(), 1u);
}

TEST_F(Dialogs, WdCreateDialogIndirectBuildsAnEditedTemplate) {
  DialogTemplate edited = *ws.resources().dialog("MAIL_TEST");
  edited.style = 0x44CE00C2 & ~WS_THICKFRAME;
  edited.items.at(0).text = "Name:";
  int inits = 0;
  const Handle dialog = ws.WDCREATEDIALOGINDIRECT(edited, frame, [&](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
    inits += m == WM_INITDIALOG;
    return 0;
  });
  ASSERT_NE(dialog, 0u);
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(ws.GETPARENT(dialog), frame);  // WS_CHILD: a child of the frame.
  EXPECT_EQ(ws.GETWINDOWTEXT(ws.GETWINDOW(dialog, GW_CHILD)), "Name:");

  DialogTemplate broken = edited;
  broken.items.push_back(DialogItem{700, "NoSuchControl", "", WS_CHILD, 0, 0, 0, 10, 10, 0});
  EXPECT_EQ(ws.WDCREATEDIALOGINDIRECT(broken, frame, nullptr), 0u);
}

TEST_F(Dialogs, MissingTemplatesMakeNoWindow) {
  const std::size_t before = ws.top_level_windows().size();
  EXPECT_EQ(ws.CREATEDIALOGEX("NO_SUCH_DIALOG", frame, nullptr), 0u);
  EXPECT_EQ(ws.DIALOGBOX("NO_SUCH_DIALOG", frame, nullptr), -1);
  EXPECT_EQ(ws.top_level_windows().size(), before);
}

TEST_F(Dialogs, AModalDialogBlockSeesEveryMessageAndReturnsTheEndDialogValue) {
  PersonInput person(ws);
  std::vector<MessageId> seen;
  backend.act([&] {
    const Handle dialog = ws.GETACTIVEWINDOW();
    person.edit_text(ws.GETDLGITEM(dialog, 501), "Compras");
    person.click(ws.GETDLGITEM(dialog, IDOK));
  });
  std::string typed;
  const std::int64_t result = ws.DIALOGBOX("MAIL_TEST", frame, [&](Handle dialog, MessageId m, const Param& w, const Param&) -> std::int64_t {
    seen.push_back(m);
    if (m == WM_COMMAND && C4W_LOWORD(w.number()) == IDOK) {
      typed = ws.GETDLGITEMTEXT(dialog, 501);
      ws.ENDDIALOG(dialog, 7);
      return 1;
    }
    return 0;
  });
  EXPECT_EQ(result, 7);
  EXPECT_EQ(typed, "Compras");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), WM_NCCREATE);  // From the very first message on.
  EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_INITDIALOG), 1);
  EXPECT_TRUE(ws.ISWINDOWENABLED(frame));  // The owner is enabled again.
  EXPECT_EQ(ws.FINDWINDOW("#32770", ""), 0u);
}

TEST_F(Dialogs, KeyboardNavigationTabEnterAndEscape) {
  std::vector<std::int64_t> commands;
  const Handle dialog = ws.CREATEDIALOGEX("MAIL_TEST", frame, [&](Handle, MessageId m, const Param& w, const Param&) -> std::int64_t {
    if (m == WM_COMMAND && C4W_HIWORD(w.number()) == BN_CLICKED) commands.push_back(C4W_LOWORD(w.number()));
    return 0;
  });
  const Handle name = ws.GETDLGITEM(dialog, 501);
  ws.SETFOCUS(name);
  // Keys come through the queue, as the loop takes them, so the shift state is known.
  const auto key = [&](Handle target, MessageId message, int vk) {
    ws.POSTMESSAGE(target, message, vk, message == WM_KEYUP ? 0xC0000001LL : 1);
    Message taken;
    ASSERT_TRUE(ws.GETMESSAGE(taken, 0, 0, 0));
    EXPECT_TRUE(ws.ISDIALOGMESSAGE(dialog, taken));
  };
  key(name, WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(ws.GETFOCUS(), ws.GETDLGITEM(dialog, 502));
  key(ws.GETFOCUS(), WM_KEYDOWN, VK_SHIFT);
  key(ws.GETFOCUS(), WM_KEYDOWN, VK_TAB);
  EXPECT_EQ(ws.GETFOCUS(), name);  // Shift+Tab goes back.
  key(name, WM_KEYUP, VK_SHIFT);
  key(name, WM_KEYDOWN, VK_RETURN);
  key(name, WM_KEYDOWN, VK_ESCAPE);
  key(ws.GETDLGITEM(dialog, IDCANCEL), WM_KEYDOWN, VK_RETURN);  // Enter on a push button presses that button.
  EXPECT_EQ(commands, (std::vector<std::int64_t>{IDOK, IDCANCEL, IDCANCEL}));
  EXPECT_FALSE(ws.ISDIALOGMESSAGE(dialog, Message{frame, WM_KEYDOWN, VK_RETURN, 1}));
}

TEST_F(Dialogs, ClosingADialogAsksForCancel) {
  std::vector<std::int64_t> commands;
  const Handle dialog = ws.CREATEDIALOGEX("MAIL_TEST", frame, [&](Handle, MessageId m, const Param& w, const Param&) -> std::int64_t {
    if (m == WM_COMMAND) commands.push_back(C4W_LOWORD(w.number()));
    return 0;
  });
  PersonInput(ws).close(dialog);
  pump();
  EXPECT_TRUE(ws.ISWINDOW(dialog));
  EXPECT_EQ(commands, std::vector<std::int64_t>{IDCANCEL});
}

TEST_F(Dialogs, AHookOnADialogRunsBeforeItsBlockAndCanPassMessagesOn) {
  std::vector<std::string> order;
  const Handle dialog = ws.CREATEDIALOGEX("MAIL_TEST", frame, [&](Handle, MessageId m, const Param&, const Param&) -> std::int64_t {
    if (m == WM_USER + 5) order.push_back("block");
    return m == WM_USER + 5 ? 9 : 0;
  });
  int level = 0;
  level = ws.SUBCLASSWINDOW(
      dialog,
      [&](Handle w, MessageId m, const Param& wp, const Param& lp) -> std::int64_t {
        if (m == WM_USER + 5) order.push_back("hook");
        return ws.CALLWINDOWPROC(level, w, m, wp, lp);
      },
      MessageFilter::only({WM_USER + 5, WM_NCDESTROY}));
  EXPECT_EQ(level, 1);
  EXPECT_EQ(ws.SENDMESSAGE(dialog, WM_USER + 5), 9);  // The hook passed it on to the dialog's own block.
  EXPECT_EQ(order, (std::vector<std::string>{"hook", "block"}));
  EXPECT_TRUE(ws.DESTROYWINDOW(dialog));
}

TEST(DialogUnits, BaseUnitsOfTheDialogFonts) {
  struct Case {
    DialogFont font;
    DialogBaseUnits expected;
  };
  const Case cases[] = {
      {{8, 400, false, "MS Shell Dlg"}, {6, 13}},
      {{8, 400, false, "Tahoma"}, {6, 13}},
      {{9, 400, false, "Segoe UI"}, {7, 15}},
      {{8, 400, false, "Unknown Face"}, {6, 13}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.font.face);
    const DialogBaseUnits units = dialog_base_units(c.font);
    EXPECT_EQ(units.width, c.expected.width);
    EXPECT_EQ(units.height, c.expected.height);
  }
  EXPECT_EQ(dialog_units_to_pixels(7, 9, 40, 8, DialogBaseUnits{6, 13}), (Rect{11, 15, 71, 28}));
}

}  // namespace
}  // namespace ui::platform
