#include <gtest/gtest.h>

#include "data/private_profile.h"
#include "dialog_fixture.h"
#include "support/temp_folder.h"
#include "ui/wedit.h"
#include "data/runtime_error.h"

namespace ui {
namespace {

using namespace platform;

class PlainDialog : public WDIAG {
 public:
  explicit PlainDialog(const DialogOwner& owner, const DialogOptions& options = {}) {
    if (Init(owner, "DLG_TEST", options)) CREATE("DLG_TEST");
  }
  std::vector<std::int64_t> date_keys;
  Answer HandleMessage(MessageId message, const Param& wParam, const Param&) override {
    if (message == kDateFieldKey) date_keys.push_back(wParam.number());
    return {};
  }
};

using Wdialog = DialogTest;

TEST_F(Wdialog, SiteTextsAndTheDialogFontApplyToEveryDialog) {
  startup::settings().XTRADUCT = {
      data::Value(data::ValueList{data::Value("Nombre"), data::Value("Name"), data::Value(0)})};
  startup::settings().XGLOBAL_FONT_NAME = "Arial";
  PlainDialog dialog(host);
  EXPECT_EQ(dialog.item_text(100), "Nombre:");  // Not embedded and no blank after it.
  EXPECT_EQ(dialog.item_text(101), "Name del cliente");
}

// A dialog built but not yet hooked by CREATE.
class BuiltDialog : public WDIAG {
 public:
  BuiltDialog(const DialogOwner& owner, std::string_view name, const DialogOptions& options = {}) {
    Init(owner, name, options);
  }
};

TEST_F(Wdialog, ResizableAndInvisibleDialogs) {
  DialogOptions options;
  options.is_resizable = true;
  options.is_visible = false;
  BuiltDialog dialog(host, "DLG_TEST", options);
  ASSERT_NE(dialog.hWnd(), 0u);
  EXPECT_TRUE(ws.GETWINDOWLONG(dialog.hWnd(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_FALSE(ws.ISWINDOWVISIBLE(dialog.hWnd()));
  dialog.CREATE("DLG_TEST");  // CREATE shows it.
  EXPECT_TRUE(ws.ISWINDOWVISIBLE(dialog.hWnd()));
}

TEST_F(Wdialog, AWindowThatCannotBeCreatedIsReported) {
  BuiltDialog dialog(host, "DLG_BROKEN");
  EXPECT_EQ(dialog.hWnd(), 0u);
  bool told = false;
  for (const std::string& line : log) told |= line.find("Error creating dialog: DLG_BROKEN") != std::string::npos;
  EXPECT_TRUE(told);
  EXPECT_TRUE(host.aDlgWnd().empty());
}

TEST_F(Wdialog, WithoutAClientWindowDialogsArePopUpsOfTheFrame) {
  host.set_windows(frame, 0);
  BuiltDialog dialog(host, "DLG_SMALL");
  ASSERT_NE(dialog.hWnd(), 0u);
  EXPECT_FALSE(ws.GETWINDOWLONG(dialog.hWnd(), GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(ws.GETWINDOW(dialog.hWnd(), GW_OWNER), frame);
}

TEST_F(Wdialog, ResizeAnchorsFollowTheDialogsSize) {
  DialogOptions options;
  options.is_resizable = true;
  PlainDialog dialog(host, options);
  const auto client_rect = [&](std::int64_t id) {
    const Rect screen = ws.GETWINDOWRECT(dialog.item(id));
    const Point at = ws.SCREENTOCLIENT(dialog.hWnd(), Point{screen.left, screen.top});
    return Rect{at.x, at.y, at.x + screen.width(), at.y + screen.height()};
  };
  const Rect ok = client_rect(IDOK);
  const Rect list = client_rect(600);
  const Rect name = client_rect(501);
  const Rect cancel = client_rect(IDCANCEL);
  dialog.FIX_OBJ(IDOK, 3);     // Keeps both distances by moving.
  dialog.FIX_OBJ(600, 6);      // Keeps both distances by growing.
  dialog.FIX_OBJ(501, 4);      // Grows to the right only.
  dialog.FIX_OBJ(IDCANCEL, 10, IDOK);  // Stays beside OK.
  EXPECT_THROW(dialog.FIX_OBJ(9999, 1), data::RuntimeError);
  const Rect before = ws.GETWINDOWRECT(dialog.hWnd());
  ws.SETWINPOS(dialog.hWnd(), 0, 0, 0, before.width() + 40, before.height() + 30, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(client_rect(IDOK), (Rect{ok.left + 40, ok.top + 30, ok.right + 40, ok.bottom + 30}));
  EXPECT_EQ(client_rect(600), (Rect{list.left, list.top, list.right + 40, list.bottom + 30}));
  EXPECT_EQ(client_rect(501), (Rect{name.left, name.top, name.right + 40, name.bottom}));
  EXPECT_EQ(client_rect(IDCANCEL), (Rect{cancel.left + 40, cancel.top + 30, cancel.right + 40, cancel.bottom + 30}));
}

TEST_F(Wdialog, DialogsArePinnedToTheCornerWhenTheSiteAsksForIt) {
  PlainDialog dialog(host);
  const auto position = [&] {
    const Rect rect = ws.GETWINDOWRECT(dialog.hWnd());
    return ws.SCREENTOCLIENT(client, Point{rect.left, rect.top});
  };
  ws.SETWINPOS(dialog.hWnd(), 0, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(position(), (Point{50, 60}));
  startup::settings().XWIN_ATRIB[1] = data::Value(1);
  ws.SETWINPOS(dialog.hWnd(), 0, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(position(), (Point{0, 0}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(Wdialog, ObjectsPlacedOnTheDialogSeeItsMessages) {
  struct Placed : DialogListener {
    std::int64_t answer = 0;
    std::vector<MessageId> seen;
    std::int64_t on_dialog_message(MessageId message, const Param&, const Param&) override {
      seen.push_back(message);
      return answer;
    }
  };
  PlainDialog dialog(host);
  Placed grid, button;
  grid.answer = 5;
  dialog.aBrowseObj.push_back(&grid);
  dialog.aButtons.push_back(&button);
  // Drawing stops at the first object that takes it; timers reach every object.
  EXPECT_EQ(ws.SENDMESSAGE(dialog.hWnd(), WM_DRAWITEM, 800), 5);
  ws.SENDMESSAGE(dialog.hWnd(), WM_TIMER, 3);
  EXPECT_EQ(grid.seen, (std::vector<MessageId>{WM_DRAWITEM, WM_TIMER}));
  EXPECT_EQ(button.seen, std::vector<MessageId>{WM_TIMER});
}

TEST_F(Wdialog, ControlsCanMakeTheirOwnWindow) {
  PlainDialog dialog(host);
  WEdit own;
  own.Init(dialog, 0, std::string("propio"), true);
  EXPECT_EQ(own.nId(), 30001);  // The first automatic identifier.
  EXPECT_EQ(ws.GETCLASSNAME(own.hWnd()), "Edit");
  EXPECT_EQ(ws.GETPARENT(own.hWnd()), dialog.hWnd());
  EXPECT_EQ(own.Text(), "propio");
  const Handle window = own.hWnd();
  own.Axit();
  EXPECT_FALSE(ws.ISWINDOW(window));
  EXPECT_EQ(own.hWnd(), 0u);
}

TEST_F(Wdialog, DateFieldsStepByDayWithPlusAndMinus) {
  PlainDialog dialog(host);
  const Handle date = dialog.item(502);
  const auto type = [&](int character) { ws.SENDMESSAGE(date, WM_CHAR, character, 1); };
  struct Case {
    const char* text;
    int key;
    const char* expected;
  };
  const Case cases[] = {
      {"28/02/26", '+', "01/03/26"},   // Across the month end.
      {"01/03/26", '-', "28/02/26"},
      {"31/12/25", 161, "01/01/26"},   // The Spanish keyboard's "+" key.
      {"01/01/26", 39, "31/12/25"},    // Its "-" key.
      {"abc", '+', "abc+"},            // Not a date: the character is typed.
      {"", '-', "-"},
      {"99/99/99", '+', "99/99/99+"},  // Only date characters, but no date.
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ws.SETWINDOWTEXT(date, c.text);
    const auto end = static_cast<std::int64_t>(std::string_view(c.text).size());
    ws.SENDMESSAGE(date, EM_SETSEL, end, end);
    type(c.key);
    EXPECT_EQ(ws.GETWINDOWTEXT(date), c.expected);
  }
  // With text selected the character replaces the selection.
  ws.SETWINDOWTEXT(date, "28/02/26");
  ws.SENDMESSAGE(date, EM_SETSEL, 0, -1);
  type('+');
  EXPECT_EQ(ws.GETWINDOWTEXT(date), "+");
}

TEST_F(Wdialog, DateFieldsOpenTheCalendarAndTakeItsChoice) {
  PlainDialog dialog(host);
  const Handle date = dialog.item(502);
  ws.SETWINDOWTEXT(date, "15/06/26");
  ws.SENDMESSAGE(date, WM_RBUTTONDOWN);
  ASSERT_EQ(host.calendars.size(), 1u);
  EXPECT_EQ(host.calendars[0].first, date);
  EXPECT_EQ(data::DTOS(host.calendars[0].second), "20260615");
  ws.SENDMESSAGE(date, kCalendarDateChosen, 2, Param::text("20260701"));
  EXPECT_EQ(ws.GETWINDOWTEXT(date), "30/06/26");
  ws.SENDMESSAGE(date, WM_KEYDOWN, VK_SPACE, 1);
  pump();
  EXPECT_EQ(dialog.date_keys, std::vector<std::int64_t>{VK_SPACE});
}

TEST_F(Wdialog, DateFieldsAreLeftAloneWhenSwitchedOff) {
  startup::settings().XSEL_DATE = data::Value("NO");
  PlainDialog dialog(host);
  EXPECT_TRUE(dialog.date_fields().empty());
  ws.SETWINDOWTEXT(dialog.item(502), "28/02/26");
  ws.SENDMESSAGE(dialog.item(502), EM_SETSEL, 8, 8);
  ws.SENDMESSAGE(dialog.item(502), WM_CHAR, '+', 1);
  EXPECT_EQ(dialog.item_text(502), "28/02/26+");
}

TEST_F(Wdialog, FrameworkDrawnButtonsKeepPressFocusAndScheme) {
  PlainDialog dialog(host);
  const SpecialButtons& buttons = dialog.Special_Buttons;
  ASSERT_EQ(buttons.buttons().size(), 3u);
  EXPECT_EQ(buttons.scheme(IDOK, true), ButtonScheme::Accept);
  EXPECT_EQ(buttons.scheme(IDCANCEL, true), ButtonScheme::Cancel);
  EXPECT_EQ(buttons.scheme(800, true), ButtonScheme::Other);
  EXPECT_EQ(buttons.scheme(IDOK, false), ButtonScheme::Disabled);
  dialog.Special_Buttons.set_scheme(800, ButtonScheme::Accept);
  EXPECT_EQ(buttons.scheme(800, true), ButtonScheme::Accept);

  const Handle other = dialog.item(800);
  const SpecialButton& state = *buttons.find(800);
  EXPECT_EQ(state.picture_builds, 1);
  const Handle focus = ws.GETFOCUS();
  ws.SENDMESSAGE(other, WM_LBUTTONDOWN, 1, MAKELPARAM(5, 5));
  EXPECT_TRUE(state.is_pressed);
  EXPECT_EQ(buttons.active_button(), 800);
  EXPECT_EQ(startup::settings().XOLD_DLGFOCUS, focus);
  ws.SENDMESSAGE(other, WM_MOUSEMOVE, 1, MAKELPARAM(500, 5));  // Leaving the button shows it up.
  EXPECT_FALSE(state.is_pressed);
  ws.SENDMESSAGE(other, WM_MOUSEMOVE, 1, MAKELPARAM(5, 5));
  EXPECT_TRUE(state.is_pressed);
  ws.SENDMESSAGE(other, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(state.is_pressed);
  EXPECT_GE(pump(), 1);  // The release posted the button's command.

  ws.SETFOCUS(other);
  EXPECT_TRUE(state.has_focus);
  // Pictures are rebuilt only when caption, enabled state or scheme change.
  ws.SENDMESSAGE(other, kButtonRepaint);
  EXPECT_EQ(state.picture_builds, 2);  // The scheme was changed above.
  EXPECT_EQ(state.pictures->scheme, ButtonScheme::Accept);
  ws.SENDMESSAGE(other, kButtonRepaint);
  EXPECT_EQ(state.picture_builds, 2);
  ws.SENDMESSAGE(other, kButtonSetCaption, 0, Param::text("Otro más"));
  EXPECT_EQ(ws.GETWINDOWTEXT(other), "Otro más");
  EXPECT_EQ(state.picture_builds, 3);
  ws.ENABLEWINDOW(other, false);
  EXPECT_EQ(state.picture_builds, 4);
  EXPECT_EQ(state.pictures->scheme, ButtonScheme::Disabled);
}

TEST_F(Wdialog, ButtonStyleZeroKeepsTheSystemsButtons) {
  startup::settings().XBUTTON_STYLE = 0;
  PlainDialog dialog(host);
  const auto style = static_cast<Style>(ws.GETWINDOWLONG(dialog.item(IDCANCEL), GWL_STYLE));
  EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_TRUE(style & 0x2000);  // BS_MULTILINE.
}

TEST_F(Wdialog, PlacementIsStoredOnlyWhenASettingsFileIsNamed) {
  test_support::TempFolder folder;
  const std::string file = (folder / "DIALOGS.INI").string();
  {
    PlainDialog dialog(host);
    person.click(dialog.item(IDOK));
    pump();
  }
  EXPECT_FALSE(std::filesystem::exists(file));

  host.DLGSETINIFILENAME(file);
  DialogOptions resizable;
  resizable.is_resizable = true;
  PlainDialog dialog(host, resizable);
  ws.SETWINPOS(dialog.hWnd(), 0, 30, 40, 200, 100, SWP_NOZORDER);
  person.click(dialog.item(IDOK));
  pump();
  EXPECT_EQ(data::GETPVPROFSTRING("Fenster", "DLG_TEST", "", file), std::to_string(30 + (40 << 16)));
  EXPECT_EQ(data::GETPVPROFSTRING("Fenster", "DLG_TEST_SIZE", "", file), std::to_string(200 + (100 << 16)));

  // Not resizable, but a size was stored: "0".
  PlainDialog fixed(host);
  person.click(fixed.item(IDOK));
  pump();
  EXPECT_EQ(data::GETPVPROFSTRING("Fenster", "DLG_TEST_SIZE", "", file), "0");
}

}  // namespace
}  // namespace ui
