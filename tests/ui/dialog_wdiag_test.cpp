#include <gtest/gtest.h>

#include "data/runtime_error.h"
#include "dialog_fixture.h"
#include "ui/dialog_box.h"
#include "ui/wcheckbox.h"
#include "ui/wedit.h"
#include "ui/wpushbutton.h"

namespace ui {
namespace {

using namespace platform;

// A business dialog as the program writes them: Init, bind and register controls, CREATE.
class TestDialog : public WDIAG {
 public:
  explicit TestDialog(const DialogOwner& owner, std::string_view name = "DLG_TEST") {
    if (!Init(owner, name)) return;
    name_field.Init(*this, 501);
    other_button.Init(*this, 800);
    Add(name_field, [this](WDIALOG&, WControlWindow& control, int code) -> std::int64_t {
      if (code == EN_CHANGE) typed.push_back(control.Text());
      return 1;
    });
    Add(other_button, [this](WDIALOG& dialog, WControlWindow& control, int code) -> std::int64_t {
      EXPECT_EQ(&dialog, this);
      EXPECT_EQ(&control, &other_button);
      clicks.push_back(code);
      return 7;
    });
    CREATE(name);
  }
  void HIDE_MENU() override { ++menus_hidden; }
  Answer OnNCDESTROY(const Param&, const Param&) override {
    ++tables_closed;
    return {};
  }
  Answer OnCOMMAND(const Param& wParam, const Param&) override {
    commands_seen.push_back(C4W_LOWORD(wParam.number()));
    return {};
  }

  WEdit name_field;
  WPushButton other_button;
  std::vector<std::string> typed;
  std::vector<std::int64_t> clicks;
  std::vector<std::int64_t> commands_seen;
  int tables_closed = 0;
  int menus_hidden = 0;
};

// A mix-in in the way the grid binding is one: it takes the dialog, and once the window exists it
// binds a control of its own and registers it with the dialog's Add.
class ListMixin {
 public:
  explicit ListMixin(WDIALOG& dialog) : m_dialog(dialog) {}
  void bind_list(std::int64_t id) {
    m_list.Init(m_dialog, id);
    m_dialog.Add(m_list, [this](WDIALOG&, WControlWindow&, int code) -> std::int64_t {
      codes.push_back(code);
      return 1;
    });
  }
  std::vector<int> codes;

 private:
  WDIALOG& m_dialog;
  WControlWindow m_list;
};

class DialogWithList : public WDIAG, public ListMixin {
 public:
  explicit DialogWithList(const DialogOwner& owner) : ListMixin(static_cast<WDIALOG&>(*this)) {
    if (!Init(owner, "DLG_TEST")) return;
    bind_list(600);
    CREATE("DLG_TEST");
  }
};

using Wdiag = DialogTest;

TEST_F(Wdiag, AMixInBindsAndRegistersItsControlThroughTheDialog) {
  DialogWithList dialog(host);
  ws.SENDDLGITEMMESSAGE(dialog.hWnd(), 600, LB_ADDSTRING, 0, Param::text("uno"));
  person.choose_item(dialog.item(600), 0);
  pump();
  EXPECT_EQ(dialog.codes, std::vector<int>{static_cast<int>(LBN_SELCHANGE)});
}

TEST_F(Wdiag, InitBuildsAChildOfTheClientWithTheProgramsStyleAndLogsTheOpening) {
  TestDialog dialog(host);
  const Handle window = dialog.hWnd();
  ASSERT_NE(window, 0u);
  EXPECT_EQ(dialog.hWnd_Public, window);
  EXPECT_EQ(ws.GETPARENT(window), client);
  // The resource asked for a sizing frame and a pop-up; the program's style replaces it.
  const auto style = static_cast<Style>(ws.GETWINDOWLONG(window, GWL_STYLE));
  EXPECT_EQ(style & ~WS_VISIBLE, 0x44CE00C2u & ~WS_THICKFRAME);
  EXPECT_TRUE(ws.ISWINDOWVISIBLE(window));
  EXPECT_EQ(ws.GETWINDOWTEXT(window), "Prueba");
  EXPECT_EQ(host.openings, std::vector<std::string>{"DLG_TEST"});
  ASSERT_EQ(host.aDlgWnd().size(), 1u);
  EXPECT_EQ(host.aDlgWnd()[0].name, "DLG_TEST");
  EXPECT_EQ(host.ACTIVE_CHILD, window);
  EXPECT_EQ(dialog.cnID_aDlg, "DLG_TEST");
  EXPECT_EQ(startup::settings().XDGROUPLIMIT, 3500);
}

TEST_F(Wdiag, AMissingResourceTellsTheOperatorAndMakesNoWindow) {
  TestDialog dialog(host, "NO_SUCH");
  EXPECT_EQ(dialog.hWnd(), 0u);
  EXPECT_TRUE(dialog.is_finished());
  bool told = false;
  for (const std::string& line : log) told |= line.find("NO_SUCH") != std::string::npos;
  EXPECT_TRUE(told);
  EXPECT_TRUE(host.aDlgWnd().empty());
}

TEST_F(Wdiag, CommandsRunTheRegisteredBlockWithTheNotificationCode) {
  TestDialog dialog(host);
  pump();
  person.click(dialog.other_button.hWnd());
  person.edit_text(dialog.name_field.hWnd(), "Reservas");
  pump();
  EXPECT_EQ(dialog.clicks, std::vector<std::int64_t>{BN_CLICKED});
  EXPECT_EQ(dialog.typed, std::vector<std::string>{"Reservas"});
  // Handled commands end at the block; unregistered ones reach the event method.
  EXPECT_TRUE(std::find(dialog.commands_seen.begin(), dialog.commands_seen.end(), 800) == dialog.commands_seen.end());
  person.click(ws.GETDLGITEM(dialog.hWnd(), 1001));
  pump();
  EXPECT_TRUE(std::find(dialog.commands_seen.begin(), dialog.commands_seen.end(), 1001) != dialog.commands_seen.end());
  EXPECT_TRUE(ws.ISWINDOW(dialog.hWnd()));
}

TEST_F(Wdiag, OkCancelEscapeAndTheCloseBoxCloseTheDialog) {
  struct Case {
    const char* how;
    int button;  // 0: close box.
  };
  const Case cases[] = {{"OK", IDOK}, {"Cancel", IDCANCEL}, {"close box", 0}, {"Escape", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    TestDialog dialog(host);
    const Handle window = dialog.hWnd();
    pump();
    if (c.button > 0) {
      person.click(ws.GETDLGITEM(window, c.button));
    } else if (c.button == 0) {
      person.close(window);
    } else {
      EXPECT_EQ(host.hglobal, window);  // The active dialog gets the keyboard navigation.
      person.press_key(dialog.name_field.hWnd(), VK_ESCAPE);
    }
    pump_with_dialogs();
    EXPECT_FALSE(ws.ISWINDOW(window));
    EXPECT_EQ(dialog.tables_closed, 1);
    EXPECT_EQ(dialog.menus_hidden, 1);
    EXPECT_TRUE(dialog.lDestroyed);
    EXPECT_TRUE(dialog.is_finished());
    EXPECT_EQ(dialog.name_field.hWnd(), 0u);  // Controls are released.
    EXPECT_TRUE(host.aDlgWnd().empty());
    EXPECT_EQ(host.ACTIVE_CHILD, 0u);
  }
}

TEST_F(Wdiag, ABlockForButtonTwoReplacesTheDefaultClose) {
  TestDialog dialog(host);
  WPushButton cancel;
  cancel.Init(dialog, IDCANCEL);
  bool may_close = false;
  dialog.Add(cancel, [&](WDIALOG& d, WControlWindow&, int) -> std::int64_t {
    if (may_close) d.ENDDIALOG();
    return 1;
  });
  pump();
  person.click(cancel.hWnd());
  pump();
  EXPECT_TRUE(ws.ISWINDOW(dialog.hWnd()));
  may_close = true;
  person.click(cancel.hWnd());
  pump();
  EXPECT_EQ(dialog.hWnd() == 0 || !ws.ISWINDOW(dialog.hWnd()), true);
  EXPECT_EQ(dialog.tables_closed, 1);
}

TEST_F(Wdiag, NoCancelKeepsTheDialogOpen) {
  TestDialog dialog(host);
  dialog.lNoCancel = true;
  pump();
  person.close(dialog.hWnd());
  person.click(ws.GETDLGITEM(dialog.hWnd(), IDCANCEL));
  pump();
  EXPECT_TRUE(ws.ISWINDOW(dialog.hWnd()));
  EXPECT_EQ(dialog.tables_closed, 0);
}

TEST_F(Wdiag, ABlockDoesNotRunAgainWhileItRuns) {
  TestDialog dialog(host);
  WCheckBox check;
  check.Init(dialog, 1001);
  int runs = 0;
  dialog.Add(check, [&](WDIALOG& d, WControlWindow& control, int) -> std::int64_t {
    ++runs;
    ws.SENDMESSAGE(d.hWnd(), WM_COMMAND, MAKELPARAM(1001, BN_CLICKED), control.hWnd());
    return 1;
  });
  ws.SENDMESSAGE(dialog.hWnd(), WM_COMMAND, MAKELPARAM(1001, BN_CLICKED), check.hWnd());
  EXPECT_EQ(runs, 1);
}

TEST_F(Wdiag, ItemTextsAndCheckStatesByIdentifier) {
  TestDialog dialog(host);
  dialog.set_item_text(502, "28/02/26");
  EXPECT_EQ(dialog.item_text(502), "28/02/26");
  EXPECT_FALSE(dialog.is_checked(1001));
  dialog.set_checked(1001, true);
  EXPECT_TRUE(dialog.is_checked(1001));
  EXPECT_THROW(dialog.item_text(9999), data::RuntimeError);
  WEdit unknown;
  EXPECT_THROW(unknown.Init(dialog, 9999), data::RuntimeError);
}

TEST_F(Wdiag, ActivationMovesBetweenChildrenAndRebuildsTheMenu) {
  TestDialog first(host);
  pump();
  ASSERT_EQ(host.menus.size(), 1u);
  EXPECT_EQ(host.menus.back(), (std::pair<int, WDIAG*>{0, &first}));
  EXPECT_TRUE(first.is_active());

  TestDialog second(host);
  pump();
  EXPECT_EQ(host.ACTIVE_CHILD, second.hWnd());
  EXPECT_FALSE(first.is_active());
  EXPECT_TRUE(second.is_active());
  EXPECT_EQ(host.menus.back().second, &second);
  EXPECT_EQ(host.openings.size(), 2u);  // Two independent openings, two log rows.

  // Closing the active child hands activation to the one below it.
  person.click(ws.GETDLGITEM(second.hWnd(), IDCANCEL));
  pump();
  EXPECT_EQ(host.ACTIVE_CHILD, first.hWnd());
  EXPECT_TRUE(first.is_active());
  EXPECT_EQ(host.menus.back().second, &first);
}

TEST_F(Wdiag, NoMenuRebuildWhileAMenuIsBeingBuilt) {
  startup::settings().XCONSTRUCTINGMENU = 1;
  TestDialog dialog(host);
  pump();
  person.click(ws.GETDLGITEM(dialog.hWnd(), IDOK));
  pump();
  EXPECT_TRUE(host.menus.empty());
  EXPECT_EQ(dialog.menus_hidden, 0);
  EXPECT_EQ(dialog.tables_closed, 1);
}

TEST_F(Wdiag, FontsAreSharedPerFaceSizeAndWeightAndDeletedWithTheDialog) {
  {
    TestDialog dialog(host);
    const Handle bold = dialog.CHANGE_FONT(501, "TIMES ROMAN", 10, true);
    ASSERT_NE(bold, 0u);
    EXPECT_EQ(dialog.CHANGE_FONT(502, "times new roman", 10, true), bold);
    EXPECT_NE(dialog.CHANGE_FONT(700, "Times New Roman", 10, false), bold);
    EXPECT_EQ(dialog.CHANGE_FONT(9999, "Arial", 8), 0u);
    ASSERT_NE(host.font(bold), nullptr);
    EXPECT_EQ(host.font(bold)->face, "Times New Roman");
    EXPECT_EQ(host.font(bold)->height, -13);  // 10 points at 96 pixels per inch.
    EXPECT_EQ(host.font(bold)->weight, 700);
    EXPECT_EQ(ws.SENDMESSAGE(dialog.item(502), WM_GETFONT), bold);
    EXPECT_EQ(host.font_count(), 2u);
    person.click(ws.GETDLGITEM(dialog.hWnd(), IDOK));
    pump();
    EXPECT_EQ(host.font_count(), 0u);
  }
}

TEST_F(Wdiag, ADialogDestroyedBeforeItsWindowTakesTheWindowAlong) {
  Handle window = 0;
  {
    TestDialog dialog(host);
    window = dialog.hWnd();
  }
  EXPECT_FALSE(ws.ISWINDOW(window));
  pump();  // Posted activation messages find no window and no object.
  EXPECT_TRUE(errors.empty());
}

TEST_F(Wdiag, TheHostDeletesAdoptedDialogsOnceTheirWindowIsGone) {
  TestDialog& dialog = host.adopt(std::make_unique<TestDialog>(host));
  host.collect_garbage();
  EXPECT_EQ(host.adopted_count(), 1u);
  person.click(ws.GETDLGITEM(dialog.hWnd(), IDOK));
  pump();
  host.collect_garbage();
  EXPECT_EQ(host.adopted_count(), 0u);
}

TEST_F(Wdiag, DialogBoxAnswersTheResultOfTheBlock) {
  backend.act([&] {
    const Handle dialog = ws.GETACTIVEWINDOW();
    person.edit_text(ws.GETDLGITEM(dialog, 501), "clave");
    person.click(ws.GETDLGITEM(dialog, IDOK));
  });
  std::string typed;
  std::vector<DialogRegistryEntry> registered;
  const std::int64_t result =
      DIALOG_BOX(host, "DLG_SMALL", [&](Handle dialog, MessageId m, const Param& w, const Param&) -> std::int64_t {
        if (m == WM_COMMAND && C4W_LOWORD(w.number()) == IDOK) {
          registered = host.aDlgWnd();
          typed = ws.GETDLGITEMTEXT(dialog, 501);
          ws.ENDDIALOG(dialog, 5);
          return 1;
        }
        return 0;
      });
  EXPECT_EQ(result, 5);
  EXPECT_EQ(typed, "clave");
  ASSERT_EQ(registered.size(), 1u);  // Registered as a modal dialog while open.
  EXPECT_EQ(registered[0].modal, 1);
  EXPECT_TRUE(host.aDlgWnd().empty());
  EXPECT_EQ(DIALOG_BOX(host, "NO_SUCH", nullptr), -1);
}

}  // namespace
}  // namespace ui
