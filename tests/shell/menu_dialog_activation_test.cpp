#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "frame_test_support.h"
#include "shell/frame_messages.h"
#include "startup/settings.h"
#include "ui/dialog_owner.h"
#include "ui/platform/resource_script.h"
#include "ui/wdiag.h"
#include "data/text.h"
#include "data/use_table.h"

namespace shell_test {
namespace {

constexpr std::string_view kTestDialogs = R"(
MAILBOXES_TEST DIALOGEX 0, 0, 200, 100
STYLE DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Casilleros"
FONT 8, "MS Shell Dlg"
BEGIN
    DEFPUSHBUTTON   "Aceptar", 1, 90, 80, 50, 14
    PUSHBUTTON      "Cancelar", 2, 143, 80, 50, 14
END

CENTER_TEST DIALOGEX 0, 0, 200, 100
STYLE DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "QUARVELT Notification Center"
FONT 8, "MS Shell Dlg"
BEGIN
    PUSHBUTTON      "Cancelar", 2, 143, 80, 50, 14
END
)";

// A dialog with its own "Editar" operations, as the programmable mailboxes have.
class MailboxesStandIn : public ui::WDIAG {
 public:
  explicit MailboxesStandIn(const ui::DialogOwner& owner) {
    if (!Init(owner, "MAILBOXES_TEST")) return;
    CREATE("MAILBOXES_TEST");
  }
  void SHOW_MENU() override { host().MenuSet(4687, this, data::Value("HOTEL1")); }
  void HIDE_MENU() override { host().MenuSet(0, this, data::Value("HOTEL1")); }
  std::vector<std::string> calls;
};

// A dialog without operations: the base hooks.
class CenterStandIn : public ui::WDIAG {
 public:
  explicit CenterStandIn(const ui::DialogOwner& owner) {
    if (!Init(owner, "CENTER_TEST")) return;
    CREATE("CENTER_TEST");
  }
};

std::vector<std::string> edit_popup(const WindowSystem& ws, Handle frame) {
  std::vector<std::string> captions;
  const Handle popup = ws.menus().GETSUB_MENU(ws.GET_MENU(frame), 0);
  for (const MenuItem& item : ws.menus().items(popup)) captions.push_back(item.text);
  return captions;
}

using Captions = std::vector<std::string>;
const Captions kInert{"No hay operaciones asociadas"};
const Captions kMailboxOperations{"Agregar", "Modificar", "Borrar"};

class MenuActivationTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    if (HasFatalFailure()) return;
    data::Result<ResourceScript> script = ResourceScript::parse(kTestDialogs, "menu_dialog_activation_test.rc");
    ASSERT_TRUE(script) << script.error().text;
    ws.add_resources(*script);
    app->commands().add(2984, [this](ui::DialogHost& host) {
      center = &host.adopt(std::make_unique<CenterStandIn>(host));
    });
    app->commands().add(4687, [this](ui::DialogHost& host) {
      mailboxes = &host.adopt(std::make_unique<MailboxesStandIn>(host));
    });
    for (std::string_view method : {"ADD_MAIL", "MOD_MAIL", "DEL_MAIL"}) {
      app->commands().add_method(method, [method](ui::WDIAG& dialog) {
        auto& box = dynamic_cast<MailboxesStandIn&>(dialog);
        box.calls.push_back(std::string(method) + " " +
                            std::to_string(static_cast<int>(startup::settings().XID_MENU.number())));
      });
    }
  }

  void command(std::uint32_t id) {
    ws.POSTMESSAGE(frame().hwnd, WM_COMMAND, id, 0);
    pump();
  }

  CenterStandIn* center = nullptr;
  MailboxesStandIn* mailboxes = nullptr;
};

TEST_F(MenuActivationTest, MenuFollowsTheActiveDialog) {
  pump();  // The start-up command opens the Center.
  ASSERT_NE(center, nullptr);
  EXPECT_EQ(frame().ACTIVE_CHILD, center->hWnd());
  EXPECT_EQ(edit_popup(ws, frame().hwnd), kInert);

  command(4687);
  ASSERT_NE(mailboxes, nullptr);
  EXPECT_EQ(frame().ACTIVE_CHILD, mailboxes->hWnd());
  EXPECT_EQ(edit_popup(ws, frame().hwnd), kMailboxOperations);
  EXPECT_EQ(frame().ACT_NEG.text(), "HOTEL1");

  // The operations run on the dialog the menu was built for, with their command in XID_MENU.
  command(4688);
  command(4690);
  EXPECT_EQ(mailboxes->calls, (std::vector<std::string>{"ADD_MAIL 4688", "DEL_MAIL 4690"}));

  // Activating the Center again shows the inert item; the mailboxes' operations come back with them.
  ws.SENDMESSAGE(center->hWnd(), WM_CHILDACTIVATE);
  pump();
  EXPECT_EQ(frame().ACTIVE_CHILD, center->hWnd());
  EXPECT_EQ(edit_popup(ws, frame().hwnd), kInert);
  ws.SENDMESSAGE(mailboxes->hWnd(), WM_CHILDACTIVATE);
  pump();
  EXPECT_EQ(edit_popup(ws, frame().hwnd), kMailboxOperations);

  // Closing the dialog rebuilds the bar without its operations.
  ws.POSTMESSAGE(mailboxes->hWnd(), WM_COMMAND, IDCANCEL, 0);
  pump();
  EXPECT_FALSE(ws.ISWINDOW(mailboxes->hWnd_Public));
  EXPECT_EQ(edit_popup(ws, frame().hwnd), kInert);
  EXPECT_EQ(frame().MENU->GetItem(4688), nullptr);
  EXPECT_EQ(frame().ACTIVE_CHILD, center->hWnd());
  EXPECT_TRUE(backend.boxes().empty());
}

TEST_F(FrameTest, OutboxLogCommandOpensTheOutboxWindow) {
  pump();
  ws.POSTMESSAGE(frame().hwnd, WM_COMMAND, 6282, 0);
  pump();
  const auto& dialogs = frame().aDlgWnd();
  const bool is_open = std::any_of(dialogs.begin(), dialogs.end(), [](const ui::DialogRegistryEntry& entry) {
    return entry.name == "E_MSGS";
  });
  EXPECT_TRUE(is_open);
  EXPECT_EQ(edit_popup(ws, frame().hwnd), kInert);
  EXPECT_TRUE(backend.boxes().empty());
}

TEST_F(MenuActivationTest, DialogOpeningsAreLoggedWithTheirCommand) {
  pump();
  command(4687);
  const std::unique_ptr<data::WDBTable> log = data::USE(app->tables(), {}, "LOG_DIAG");
  std::vector<std::pair<std::string, int>> rows;
  for (log->GoTop(); !log->Eof(); log->Skip()) {
    rows.emplace_back(data::ALLTRIM(log->get("DIALOGO").text()), static_cast<int>(log->get("ID_DIAG").number()));
  }
  EXPECT_NE(std::find(rows.begin(), rows.end(), std::pair<std::string, int>{"CENTER_TEST", 2984}), rows.end());
  EXPECT_NE(std::find(rows.begin(), rows.end(), std::pair<std::string, int>{"MAILBOXES_TEST", 4687}), rows.end());
}

}  // namespace
}  // namespace shell_test
