#include "shell/log_diag_window.h"

#include <gtest/gtest.h>

#include "../data/wtable_test_support.h"
#include "data/record_change.h"
#include "data/use_table.h"
#include "startup/settings.h"
#include "ui/dialog_host.h"
#include "ui/platform/clock.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/person_input.h"
#include "ui/platform/resource_script.h"

namespace shell {
namespace {

namespace platform = ui::platform;

// A frame with its client window and the viewer's resource, over a site whose access log holds
// openings of command 2984 by two users of HOTEL1, plus openings that must not show: another
// command and another business.
class LogDiagViewer : public ::testing::Test {
 protected:
  LogDiagViewer() {
    startup::reset_settings();
    startup::settings().XU_COMP = data::Value("HOTEL1");
    auto script = platform::ResourceScript::load(std::string(QV_SOURCE_DIR) + "/resources/log_diag.rc");
    EXPECT_TRUE(script) << script.error().text;
    if (script) ws.add_resources(*script);
    ws.REGISTERCLASS("Frame");
    frame = ws.CREATEWINDOW("Frame", "QUARVELT", platform::WS_OVERLAPPED | platform::WS_VISIBLE, 0, 0, 900, 600, 0, 0);
    ws.set_main_frame(frame);
    client = ws.CREATEWINDOW("MdiClient", "", platform::WS_CHILD | platform::WS_VISIBLE, 0, 0, 900, 560, frame, 0);
    host.set_windows(frame, client);

    data::testing::create_indexed_table(f.session, "LOG_DIAG", f.folder / "BASES");
    data::testing::create_indexed_table(f.session, "USUARIOS", f.folder / "BASES");
    add_opening("HOTEL1", 2984, "JPL", 3);
    add_opening("HOTEL1", 2984, "ADM", 1);
    add_opening("HOTEL1", 100, "ADM", 5);   // Another command.
    add_opening("HOTEL2", 2984, "XYZ", 6);  // Another business.
    add_opening("HOTEL1", 2984, "ADM", 2);
    add_opening("HOTEL1", 2984, "JPL", 4);
    auto users = data::USE(f.session, {}, "USUARIOS");
    data::ADD_NEW_REC(f.session);
    users->put("NEGOCIO", data::Value("HOTEL1"));
    users->put("ABREVIA", data::Value("ADM"));
    users->put("USUARIO", data::Value("Ana Duarte"));
    data::UNLOCK_NEW_REC(f.session);
  }
  ~LogDiagViewer() override { startup::reset_settings(); }

  void add_opening(const char* business, int command, const char* user, int day) {
    auto log = data::USE(f.session, {}, "LOG_DIAG");
    data::ADD_NEW_REC(f.session);
    log->put("NEGOCIO", data::Value(business));
    log->put("ID_DIAG", data::Value(command));
    log->put("USUARIO", data::Value(user));
    log->put("INFO_USER", data::Value(std::string(user) + " / recepcion"));
    log->put("FECHA", data::Value(data::Date::from_ymd(2026, 12, day)));
    log->put("HORA", data::Value("10:00:0" + std::to_string(day)));
    data::UNLOCK_NEW_REC(f.session);
  }
  std::vector<std::string> grid_lines(const LOG_DIAG& viewer) {
    auto info = ws.describe(ws.GETDLGITEM(viewer.hWnd(), LOG_DIAG::kGrid));
    return info ? info->items : std::vector<std::string>{};
  }
  std::vector<std::string> tree_texts(const LOG_DIAG& viewer) {
    std::vector<std::string> texts;
    for (const auto& item : ws.tree_items(ws.GETDLGITEM(viewer.hWnd(), LOG_DIAG::kTree))) texts.push_back(item.text);
    return texts;
  }

  data::testing::SessionFixture f;
  platform::ManualClock clock{platform::Millis{1'000'000}};
  platform::HeadlessBackend backend{clock, [](std::string_view) {}};
  platform::WindowSystem ws{clock, backend};
  ui::DialogHost host{ws, 0, 0};
  platform::Handle frame = 0;
  platform::Handle client = 0;
};

// Whether every line of `lines` holds `text`.
bool all_hold(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.find(text) == std::string::npos) return false;
  }
  return true;
}

TEST_F(LogDiagViewer, ListsTheCommandsUsersOnceInOrderOfFirstAppearanceAndTheirOpenings) {
  LOG_DIAG viewer(host, f.session, "LOG_DIAG", 2984);
  ASSERT_NE(viewer.hWnd(), 0u);
  EXPECT_EQ(ws.GETWINDOWTEXT(viewer.hWnd()), "Accesos Registrados");
  // In the order LOG_DIAG, rows of one command keep the order they were written in.
  EXPECT_EQ(tree_texts(viewer), (std::vector<std::string>{"Usuarios", "JPL", "Ana Duarte"}));
  const auto lines = grid_lines(viewer);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(all_hold(lines, "/ recepcion"));
  EXPECT_EQ(viewer.grid()->columns().size(), 4u);
  EXPECT_FALSE(viewer.grid()->SHOWNUMBERS);
}

TEST_F(LogDiagViewer, ChoosingAUserShowsOnlyTheirOpeningsAndTheRootAllOfThem) {
  LOG_DIAG viewer(host, f.session, "LOG_DIAG", 2984);
  const platform::Handle tree = ws.GETDLGITEM(viewer.hWnd(), LOG_DIAG::kTree);
  const auto items = ws.tree_items(tree);
  ASSERT_EQ(items.size(), 3u);

  // The tree's selection reaches the dialog as a notification.
  ws.SENDMESSAGE(tree, platform::TVM_SELECTITEM, platform::TVGN_CARET, items[2].item);
  ws.SENDMESSAGE(viewer.hWnd(), platform::WM_NOTIFY, LOG_DIAG::kTree, 0);
  auto lines = grid_lines(viewer);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(all_hold(lines, "ADM"));

  viewer.show_node(items[1].item);
  lines = grid_lines(viewer);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(all_hold(lines, "JPL"));

  viewer.show_node(viewer.root_item());
  EXPECT_EQ(grid_lines(viewer).size(), 4u);
}

TEST_F(LogDiagViewer, SalirClosesTheWindowAndTheTable) {
  auto& viewer = host.adopt(std::make_unique<LOG_DIAG>(host, f.session, "LOG_DIAG", 2984));
  const platform::Handle window = viewer.hWnd();
  platform::PersonInput(ws).click(ws.GETDLGITEM(window, 1));
  platform::Message message;
  while (ws.PEEKMESSAGE(message, 0, 0, 0, platform::PM_REMOVE)) ws.DISPATCHMESSAGE(message);
  EXPECT_FALSE(ws.ISWINDOW(window));
  EXPECT_FALSE(viewer.grid()->table().Used());
}

TEST_F(LogDiagViewer, AMissingLogIsARunTimeErrorAndLeavesNoWindow) {
  std::filesystem::remove_all(f.folder / "BASES");
  EXPECT_THROW(LOG_DIAG(host, f.session, "LOG_DIAG", 2984), data::RuntimeError);
  EXPECT_TRUE(ws.children(client).empty());
}

}  // namespace
}  // namespace shell
