#include "ui/wblistbox.h"

#include <gtest/gtest.h>

#include "grid_test_support.h"
#include "startup/settings.h"
#include "ui/add2browse.h"
#include "ui/browse_messages.h"
#include "ui/grid_export_table.h"
#include "ui/platform/qt/grid_rows.h"
#include "ui/platform/headless/headless_backend.h"

namespace ui {
namespace {

using platform::Handle;
using platform::Millis;
using platform::Param;

constexpr long kRows = 2000;
constexpr std::int64_t kListId = 700;

constexpr std::string_view kScript = R"(
GRID_TEST DIALOGEX 0, 0, 300, 200
STYLE DS_SETFONT | WS_POPUP | WS_CAPTION
CAPTION "Grid"
FONT 8, "MS Shell Dlg", 400, 0, 0x1
BEGIN
    CONTROL "", 700, "ListBox", LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 5, 5, 290, 170
    PUSHBUTTON "Salir", 2, 240, 180, 50, 14
END
)";

// A business dialog's grid: a headless window system with the dialog, and the GRID table.
class GridDialog : public ::testing::Test, public ADD2BROWSE {
 protected:
  GridDialog() : backend(clock, [this](std::string_view line) { log.emplace_back(line); }), ws(clock, backend) {
    ws.set_error_handler([this](const data::RuntimeError& error, const platform::Message&) {
      errors.push_back(error.what());
    });
  }
  void SetUp() override {
    startup::reset_settings();
    testing::write_grid_table(site.folder / "BASES", kRows);
    auto script = platform::ResourceScript::parse(kScript, "grid_test.rc");
    ASSERT_TRUE(script) << script.error().text;
    ws.add_resources(*script);
    ws.REGISTERCLASS("Frame");
    frame = ws.CREATEWINDOW("Frame", "frame", platform::WS_OVERLAPPED | platform::WS_VISIBLE, 0, 0, 800, 600, 0, 0);
    ws.set_main_frame(frame);
    dialog = ws.CREATEDIALOGEX("GRID_TEST", frame, [](Handle, platform::MessageId, const Param&, const Param&) -> std::int64_t { return 0; });
    ASSERT_NE(dialog, 0u);
    table = site.use("GRID", "CODE");
  }
  void TearDown() override { startup::reset_settings(); }

  WBLISTBOX& bound_grid(BrowMarksOptions options = {}) {
    WBLISTBOX& grid = WBLISTBOX_INIT(ws, dialog, kListId, *table, "GRID_TEST");
    AGREGARCOL(grid, *table, "Código", "CODE");
    AGREGARCOL(grid, *table, "Grupo", "GRUPO");
    AGREGARCOL(grid, *table, "Nombre", "NAME");
    AGREGARCOL(grid, *table, "Importe", "AMOUNT");
    AGREGARCOL(grid, *table, "Activo", "ACTIVO");
    if (options.pairs.empty()) options.pairs = {{1, "CODE"}, {3, "NAME"}};
    BrowMarks(grid, std::move(options));
    return grid;
  }
  std::vector<std::string> items() { return ws.describe(list())->items; }
  Handle list() { return ws.GETDLGITEM(dialog, kListId); }
  int pump() {
    int count = 0;
    platform::Message message;
    while (ws.PEEKMESSAGE(message, 0, 0, 0, platform::PM_REMOVE)) {
      ws.DISPATCHMESSAGE(message);
      ++count;
    }
    return count;
  }
  std::string current_code() { return table->FieldGet("CODE").text(); }

  bool browse_dialog_is_active() const override { return is_active; }
  data::TableSession* browse_session() const override { return &const_cast<testing::GridSite&>(site).session; }
  bool browse_command(WBLISTBOX&, std::int64_t command) override {
    commands.push_back(command);
    return command == kChooseFont;
  }

  testing::GridSite site;
  platform::ManualClock clock{Millis{1'000'000}};
  std::vector<std::string> log;
  platform::HeadlessBackend backend;
  platform::WindowSystem ws;
  std::vector<std::string> errors;
  Handle frame = 0;
  Handle dialog = 0;
  std::unique_ptr<data::WDBTable> table;
  bool is_active = true;
  std::vector<std::int64_t> commands;
};

TEST_F(GridDialog, TheListHoldsTheShownRowsAndTheScrollPosition) {
  WBLISTBOX& grid = bound_grid();
  const auto shown = items();
  ASSERT_EQ(static_cast<int>(shown.size()), grid.visible_lines());
  EXPECT_EQ(shown.front(), "000001\tA00\t" + testing::grid_name(1, kRows) + std::string(13, ' ') + "\t    0.25\tN");
  EXPECT_EQ(ws.describe(list())->current_item, 0);
  EXPECT_EQ(ws.SENDMESSAGE(list(), platform::LB_GETITEMDATA, 1), 2);
  // Key positions count the index's entries, the two deleted rows among them.
  EXPECT_EQ(ws.GETSCROLLRANGE(list(), platform::SB_VERT).second, kRows);
  // Keys move the grid and the handle together.
  ws.SENDMESSAGE(list(), platform::WM_KEYDOWN, kKeyDown);
  ws.SENDMESSAGE(list(), platform::WM_KEYDOWN, kKeyDown);
  EXPECT_EQ(current_code(), "000003");
  EXPECT_EQ(ws.describe(list())->current_item, 2);
  EXPECT_EQ(ws.GETSCROLLPOS(list(), platform::SB_VERT), 3);
  ws.SENDMESSAGE(list(), platform::WM_KEYDOWN, kKeyEnd);
  EXPECT_EQ(current_code(), "001999");
  EXPECT_EQ(items().back().substr(0, 6), "001999");
  // A click on a line makes it current.
  ws.SENDMESSAGE(list(), platform::LB_SETCURSEL, 0);
  grid.sync_selection();
  EXPECT_EQ(current_code(), items().front().substr(0, 6));
}

TEST_F(GridDialog, HeadingsWithAnOrderSwitchIt) {
  WBLISTBOX& grid = bound_grid();
  EXPECT_EQ(grid.heading_colour(1), kActiveHeadingColour);
  ws.SENDMESSAGE(list(), platform::WM_KEYDOWN, kKeyDown);
  // Column 2 has no order: nothing happens.
  EXPECT_EQ(ws.SENDMESSAGE(list(), kBrowseHeadingClick, 2), 0);
  EXPECT_EQ(table->table().controlling_order()->name(), "CODE");
  // Column 3 switches to NAME, keeps the row and moves the highlight.
  EXPECT_EQ(ws.SENDMESSAGE(list(), kBrowseHeadingClick, 3), 1);
  EXPECT_EQ(table->table().controlling_order()->name(), "NAME");
  EXPECT_EQ(current_code(), "000002");
  EXPECT_EQ(grid.heading_colour(1), 0);
  EXPECT_EQ(grid.heading_colour(3), kActiveHeadingColour);
  // The list now runs in name order.
  const auto shown = items();
  for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_LT(shown[i - 1].substr(11), shown[i].substr(11));
}

TEST_F(GridDialog, ScopeAndIncrementalSearchStayInTheKeyRange) {
  BrowMarksOptions options;
  options.pairs = {{2, "GRUPO"}, {1, "CODE"}};
  options.scope_top = data::Value("A05");
  WBLISTBOX& grid = bound_grid(options);
  EXPECT_EQ(grid.model().NMAXREC, 20);
  EXPECT_EQ(current_code(), "000101");
  // Typing seeks in the active order; a key beyond the scope stops on its last row.
  ws.SENDMESSAGE(list(), platform::WM_CHAR, 'A');
  ws.SENDMESSAGE(list(), platform::WM_CHAR, '0');
  ws.SENDMESSAGE(list(), platform::WM_CHAR, '9');
  EXPECT_EQ(current_code(), "000120");
  SET_SCOPE(grid, data::Value("A07"));
  EXPECT_EQ(current_code(), "000141");
  EXPECT_EQ(static_cast<int>(items().size()), grid.visible_lines());
  SET_SCOPE(grid, data::Value("Z"));
  EXPECT_EQ(grid.model().NMAXREC, 0);
  EXPECT_TRUE(items().empty());
}

TEST_F(GridDialog, TheRefreshTimerRedrawsOnlyTheActiveDialog) {
  startup::settings().XREFRESH_BROWSE = data::Value(1);
  WBLISTBOX& grid = bound_grid();
  // Another program changes the first row.
  {
    auto other = site.use("GRID", "CODE");
    ASSERT_TRUE(other->Seek(data::Value("000001")));
    ASSERT_TRUE(other->RLock());
    other->put("GRUPO", data::Value("ZZZ"));
    other->Unlock();
  }
  struct Case {
    bool is_active;
    int refresh_setting;
    bool redraws;
  };
  const Case kCases[] = {
      {false, 1, false},  // A background dialog leaves its table alone.
      {true, 0, false},   // Refresh switched off in F_SYS.
      {true, 1, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.is_active << c.refresh_setting);
    is_active = c.is_active;
    startup::settings().XREFRESH_BROWSE = data::Value(c.refresh_setting);
    clock.advance(Millis{kBrowseRefreshMilliseconds});
    pump();
    EXPECT_EQ(items().front().substr(7, 3) == "ZZZ", c.redraws);
  }
  (void)grid;
  // Destroying the dialog stops the timer; nothing fires afterwards.
  ws.DESTROYWINDOW(dialog);
  clock.advance(Millis{kBrowseRefreshMilliseconds});
  EXPECT_EQ(pump(), 0);
  EXPECT_TRUE(errors.empty());
}

TEST_F(GridDialog, ContextCommands) {
  WBLISTBOX& grid = bound_grid();
  // Copy the current cell: text cells only.
  grid.current_column = 4;
  ws.SENDMESSAGE(list(), platform::WM_COMMAND, kCopyCell);
  EXPECT_TRUE(grid.copied_text().empty());
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.back().find("El dato debe ser tipo Caracter"), std::string::npos);
  grid.current_column = 1;
  ws.SENDMESSAGE(list(), platform::WM_COMMAND, kCopyCell);
  EXPECT_EQ(grid.copied_text(), "000001");
  EXPECT_EQ(grid.search_list, std::vector<std::string>{"000001"});
  ws.SENDMESSAGE(list(), platform::WM_COMMAND, kClearSearchList);
  EXPECT_TRUE(grid.search_list.empty());
  // The dialog's own choices reach it; the spreadsheet export says it is not there yet.
  ws.SENDMESSAGE(list(), platform::WM_COMMAND, kChooseFont);
  ws.SENDMESSAGE(list(), platform::WM_COMMAND, kExportSpreadsheet);
  EXPECT_EQ(commands, (std::vector<std::int64_t>{kChooseFont, kExportSpreadsheet}));
  EXPECT_NE(log.back().find("hoja de cálculo"), std::string::npos);
}

TEST_F(GridDialog, ExportAsATableWritesTheScopeAsShown) {
  BrowMarksOptions options;
  options.pairs = {{2, "GRUPO"}};
  options.scope_top = data::Value("A03");
  WBLISTBOX& grid = bound_grid(options);
  ws.SENDMESSAGE(list(), platform::WM_KEYDOWN, kKeyDown);
  ws.SENDMESSAGE(list(), platform::WM_COMMAND, kExportTable);
  EXPECT_EQ(current_code(), "000062");  // The grid stays where it was.
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.back().find("Se exportaron 20 filas"), std::string::npos) << log.back();
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(site.folder / "TEMP")) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  auto exported = data::DbfTable::open(files.front());
  ASSERT_TRUE(exported) << exported.error().text;
  EXPECT_EQ((*exported)->last_rec(), 20u);
  EXPECT_EQ((*exported)->field(1).name, "CDIGO");  // Letters and digits of "Código".
  ASSERT_TRUE((*exported)->go_top());
  EXPECT_EQ((*exported)->text(1), "000061");
  EXPECT_EQ((*exported)->text(5).substr(0, 1), "N");
  (void)grid;
}

TEST(ExportFieldNames, AreValidAndUnique) {
  EXPECT_EQ(export_field_names({"Fecha", "Fecha E.", "Hora E.", "Error Text", "CC1", "1er", "Destinatario largo", ""}),
            (std::vector<std::string>{"FECHA", "FECHAE", "HORAE", "ERRORTEXT", "CC1", "C1ER", "DESTINATAR", "C"}));
  EXPECT_EQ(export_field_names({"Fecha", "Fecha", "Fecha"}), (std::vector<std::string>{"FECHA", "FECHA2", "FECHA3"}));
}

TEST_F(GridDialog, RowsOnDemandThroughTheListWindow) {
  bound_grid();
  // Rows are key positions, so a far row counts the deleted row 1000 before it.
  EXPECT_EQ(ws.SENDMESSAGE(list(), kBrowseRowCount), kRows);
  auto text = std::make_shared<std::string>();
  EXPECT_EQ(ws.SENDMESSAGE(list(), kBrowseGetRow, 1500, Param::by_reference(text)), 1501);
  EXPECT_EQ(text->substr(0, 6), "001501");
  // Its neighbour is reached by skipping, which steps over deleted rows.
  EXPECT_EQ(ws.SENDMESSAGE(list(), kBrowseGetRow, 1501, Param::by_reference(text)), 1502);
  ws.SENDMESSAGE(list(), kBrowseGetHeadings, 0, Param::by_reference(text));
  EXPECT_EQ(*text, "Código\tGrupo\tNombre\tImporte\tActivo");
  EXPECT_EQ(current_code(), "000001");
}

TEST_F(GridDialog, PressesAndScrollRequestsMoveTheGrid) {
  WBLISTBOX& grid = bound_grid();
  const auto pixels = [&](int column) {
    return grid.columns()[static_cast<std::size_t>(column)].width() * kBrowseCharPixels + kBrowseCellPadding;
  };
  // A row pressed at its middle.
  const int line_y = kBrowseHeadingPixels + 2 * kBrowseLinePixels + kBrowseLinePixels / 2;
  ws.SENDMESSAGE(list(), platform::WM_LBUTTONDOWN, 1, platform::MAKELPARAM(10, line_y));
  EXPECT_EQ(current_code(), "000003");
  EXPECT_EQ(ws.SENDMESSAGE(list(), kBrowseCurrentRow), -1 + 3);
  // Scroll requests, and a position chosen on the display's scroll bar.
  ws.SENDMESSAGE(list(), platform::WM_VSCROLL, platform::MAKELPARAM(kScrollLineDown, 0));
  EXPECT_EQ(current_code(), "000004");
  ws.SENDMESSAGE(list(), platform::WM_VSCROLL, platform::MAKELPARAM(kScrollThumbPosition, 1499));
  EXPECT_EQ(current_code(), "001500");
  ws.SENDMESSAGE(list(), kBrowseScrollTo, 20);
  EXPECT_EQ(current_code(), "000020");
  ws.SENDMESSAGE(list(), platform::WM_VSCROLL, platform::MAKELPARAM(kScrollTop, 0));
  EXPECT_EQ(current_code(), "000001");
  // A press on the third heading switches to its order.
  ws.SENDMESSAGE(list(), platform::WM_LBUTTONDOWN, 1, platform::MAKELPARAM(pixels(0) + pixels(1) + 3, 5));
  EXPECT_EQ(table->table().controlling_order()->name(), "NAME");
  EXPECT_EQ(grid.heading_colour(3), kActiveHeadingColour);
}

TEST_F(GridDialog, TheDisplayReadsRowsFromTheGridRegistry) {
  WBLISTBOX& grid = bound_grid();
  const auto rows = platform::grid_registry().rows(list());
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rows->column_count(), 5);
  EXPECT_EQ(rows->heading(2), "Nombre");
  EXPECT_EQ(rows->column_width(0), grid.columns()[0].width() * kBrowseCharPixels + kBrowseCellPadding);
  EXPECT_TRUE(rows->is_order_heading(0));
  EXPECT_FALSE(rows->is_order_heading(1));
  EXPECT_EQ(rows->active_heading(), 0);
  EXPECT_EQ(rows->row_count(), kRows);
  EXPECT_EQ(rows->row(4).front(), "000005");
  ws.SENDMESSAGE(list(), platform::WM_VSCROLL, platform::MAKELPARAM(kScrollThumbPosition, 1499));
  EXPECT_EQ(rows->current_row(), 1499);
  EXPECT_EQ(rows->top_row() + grid.model().ROWPOS - 1, rows->current_row());
  EXPECT_EQ(current_code(), "001500");  // Reading rows left the handle on the current row.
  // Once the dialog is gone, the display finds no rows over the list.
  const Handle gone = list();
  ws.DESTROYWINDOW(dialog);
  EXPECT_EQ(platform::grid_registry().rows(gone), nullptr);
}

TEST_F(GridDialog, TheUsersFontComesFromFBrowse) {
  testing::write_catalogued_table(site.session, "F_BROWSE", site.folder / "BASES");
  BrowseFontKey key{"", "GRID_TEST", 1, static_cast<int>(kListId)};
  store_browse_font(site.session, key, BrowseFont{"Tahoma", 9, true, false});
  WBLISTBOX& grid = bound_grid();
  ASSERT_TRUE(grid.font.has_value());
  EXPECT_EQ(grid.font->face, "Tahoma");
  EXPECT_EQ(grid.font->size, 9);
  EXPECT_TRUE(grid.font->is_bold);
  EXPECT_FALSE(grid.font->is_italic);
}

TEST_F(GridDialog, AListTheDialogLacksIsARunTimeError) {
  EXPECT_THROW(WBLISTBOX_INIT(ws, dialog, 999, *table, "GRID_TEST"), data::RuntimeError);
}

}  // namespace
}  // namespace ui
