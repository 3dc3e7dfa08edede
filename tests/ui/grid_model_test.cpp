#include "ui/grid_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "grid_test_support.h"
#include "ui/browse_messages.h"
#include "ui/grid_key_positions.h"
#include "ui/wbrowse.h"

namespace ui {
namespace {

using testing::bytes_read_by_process;
using testing::grid_code;
using testing::GridSite;

constexpr long kRows = 100000;
constexpr long kDeleted = kRows / 1000;  // Every 1000th row is deleted.

// One 100,000-row table shared by the tests of this suite: writing it is the slow part.
class BigGrid : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_site = std::make_unique<GridSite>();
    testing::write_grid_table(s_site->folder / "BASES", kRows);
  }
  static void TearDownTestSuite() { s_site.reset(); }

  void SetUp() override { m_table = s_site->use("GRID", "CODE"); }

  GridModel make_model(int page_rows = 20) {
    GridModel model(*m_table);
    model.set_page_rows(page_rows);
    WBCOLUMN code;
    code.HEADING = "Code";
    code.CARGO = "CODE";
    code.BLOCK = [t = m_table.get()] { return t->FieldGet("CODE"); };
    model.add_column(code);
    return model;
  }
  // The code of each shown line, as numbers.
  static std::vector<long> shown_codes(const GridModel& model) {
    std::vector<long> out;
    for (const GridRow& row : model.visible_rows()) out.push_back(std::stol(row.cells.at(0)));
    return out;
  }
  long current_code() const { return std::stol(m_table->FieldGet("CODE").text()); }
  long long dbf_size() const { return static_cast<long long>(std::filesystem::file_size(s_site->folder / "BASES/GRID.DBF")); }

  static std::unique_ptr<GridSite> s_site;
  std::unique_ptr<data::WDBTable> m_table;
};

std::unique_ptr<GridSite> BigGrid::s_site;

TEST_F(BigGrid, KeyPositionsEstimateTheTagFromItsPages) {
  auto& order = dynamic_cast<data::CdxTableOrder&>(*m_table->table().controlling_order());
  KeyPositions positions(order.tag());
  const double entries = *positions.estimated_entries();
  EXPECT_NEAR(entries, kRows, kRows * 0.03);
  // Fractions rise with the key and sit near the true share.
  double previous = -1;
  for (long code : {1L, 10000L, 25000L, 50000L, 75000L, 99999L}) {
    SCOPED_TRACE(code);
    const double f = *positions.fraction_before(grid_code(code), static_cast<std::uint32_t>(code));
    EXPECT_GT(f, previous);
    EXPECT_NEAR(f, static_cast<double>(code - 1) / kRows, 0.03);
    previous = f;
    auto at = positions.entry_at(f);
    ASSERT_TRUE(at && at->valid());
    EXPECT_NEAR(std::stol(std::string(at->key())), code, kRows * 0.03);
  }
}

TEST_F(BigGrid, ScrollsAndJumpsWithoutReadingTheTable) {
  GridModel model = make_model();
  const long long before = bytes_read_by_process();
  model.refresh_all();
  model.go_top();
  EXPECT_NEAR(model.NMAXREC, kRows, kRows * 0.03);
  EXPECT_EQ(model.NCURREC, 1);
  EXPECT_EQ(shown_codes(model).front(), 1);
  EXPECT_EQ(shown_codes(model).size(), 20u);
  // Line by line inside the window, then a page, then past the window's reach.
  model.skip(3);
  EXPECT_EQ(current_code(), 4);
  EXPECT_EQ(model.ROWPOS, 4);
  model.page_down();
  EXPECT_EQ(current_code(), 24);
  EXPECT_EQ(model.NCURREC, 24);
  model.skip(1000);  // Longer than the window: a key-position jump.
  EXPECT_NEAR(current_code(), 1024, kRows * 0.03);
  model.go_to_position(kRows / 2);
  EXPECT_NEAR(current_code(), kRows / 2, kRows * 0.03);
  EXPECT_EQ(m_table->RecNo(), model.NCRECNO);  // The dialog reads the current row from its handle.
  model.go_bottom();
  EXPECT_EQ(current_code(), kRows - 1);  // 100000 is deleted.
  EXPECT_EQ(model.NCURREC, model.NMAXREC);
  EXPECT_EQ(shown_codes(model).back(), kRows - 1);
  EXPECT_EQ(model.ROWPOS, 20);
  model.skip(1);
  EXPECT_TRUE(model.HITBOTTOM);
  EXPECT_EQ(current_code(), kRows - 1);
  model.go_top();
  model.skip(-1);
  EXPECT_TRUE(model.HITTOP);

  const long long read = bytes_read_by_process() - before;
  EXPECT_LT(read, dbf_size() / 20) << "the grid read " << read << " bytes";
  EXPECT_LT(model.cursor().rows_read(), 500u);
}

TEST_F(BigGrid, DeletedRowsAreNotShown) {
  GridModel model = make_model();
  model.refresh_all();
  model.go_to_record(999);
  model.skip(1);
  EXPECT_EQ(current_code(), 1001);
  EXPECT_FALSE(model.go_to_record(1000));
  EXPECT_EQ(current_code(), 1001);
}

TEST_F(BigGrid, ScopeHoldsItsRowsOnly) {
  GridModel model = make_model();
  m_table->set_order("GRUPO");
  GridModel grouped(*m_table);
  grouped.columns() = model.columns();
  grouped.set_page_rows(20);
  const long long before = bytes_read_by_process();

  // One group: 1000 keys, one of them deleted; exact, as it is within reach of both ends.
  grouped.set_scope(data::Value("A17"), data::Value());
  EXPECT_EQ(grouped.NMAXREC, 1000);
  EXPECT_EQ(shown_codes(grouped).front(), 17001);
  grouped.go_bottom();
  EXPECT_EQ(current_code(), 17999);  // 18000 is deleted.
  grouped.skip(5);
  EXPECT_EQ(current_code(), 17999);
  EXPECT_TRUE(grouped.HITBOTTOM);

  // Ten groups: an estimate, with exact ends.
  grouped.set_scope(data::Value("A10"), data::Value("A19"));
  EXPECT_NEAR(grouped.NMAXREC, 10000, 300);
  EXPECT_EQ(current_code(), 10001);
  grouped.go_to_position(5000);
  EXPECT_NEAR(current_code(), 15000, 300);
  grouped.go_bottom();
  EXPECT_EQ(current_code(), 19999);  // 20000, the last key of A19, is deleted.
  grouped.skip(-15);
  EXPECT_EQ(current_code(), 19984);

  // Keys that match no row.
  grouped.set_scope(data::Value("B"), data::Value("B9"));
  EXPECT_EQ(grouped.NMAXREC, 0);
  EXPECT_TRUE(grouped.visible_rows().empty());
  EXPECT_EQ(grouped.NCRECNO, 0u);

  grouped.clear_scope();
  EXPECT_NEAR(grouped.NMAXREC, kRows, kRows * 0.03);
  EXPECT_LT(bytes_read_by_process() - before, dbf_size() / 20);
}

TEST_F(BigGrid, SwitchingOrdersKeepsTheCurrentRow) {
  GridModel model = make_model();
  model.refresh_all();
  model.go_to_record(4321);
  model.set_order("NAME");
  EXPECT_EQ(current_code(), 4321);
  EXPECT_EQ(model.NCRECNO, 4321u);
  model.skip(1);
  EXPECT_GT(m_table->FieldGet("NAME").text(), testing::grid_name(4321, kRows));
  // A descending order starts at the greatest key.
  model.set_order("CODED");
  model.go_top();
  EXPECT_EQ(current_code(), kRows - 1);
  model.skip(2);
  EXPECT_EQ(current_code(), kRows - 3);
  model.go_bottom();
  EXPECT_EQ(current_code(), 1);
  EXPECT_EQ(model.NCURREC, model.NMAXREC);
}

TEST_F(BigGrid, HeadingClicksSwitchOrdersWithoutReadingTheTable) {
  WBROWSE grid(*m_table);
  grid.model().set_page_rows(20);
  grid.columns() = make_model().columns();
  grid.CARGO.pairs = {{1, "CODE"}, {2, "NAME"}};
  ASSERT_TRUE(grid.apply_pair(1));
  grid.model().go_to_position(kRows / 3);
  const long long before = bytes_read_by_process();
  const std::uint32_t recno = grid.model().NCRECNO;

  EXPECT_FALSE(grid.click_heading(3));  // No order behind this heading.
  EXPECT_EQ(m_table->table().controlling_order()->name(), "CODE");
  ASSERT_TRUE(grid.click_heading(2));
  EXPECT_EQ(m_table->table().controlling_order()->name(), "NAME");
  EXPECT_EQ(grid.model().NCRECNO, recno);  // The current row stays.
  EXPECT_EQ(grid.heading_colour(2), kActiveHeadingColour);
  grid.model().page_down();
  ASSERT_TRUE(grid.click_heading(1));
  EXPECT_EQ(m_table->table().controlling_order()->name(), "CODE");
  EXPECT_LT(bytes_read_by_process() - before, dbf_size() / 20);
}

TEST_F(BigGrid, RowsOnDemandReadNeighboursBySkipping) {
  GridModel model = make_model();
  model.refresh_all();
  model.go_top();
  GridRows& rows = model;
  EXPECT_EQ(rows.headings(), std::vector<std::string>{"Code"});
  EXPECT_EQ(rows.row(0).cells.at(0), grid_code(1));
  EXPECT_EQ(rows.row(5).cells.at(0), grid_code(6));
  // Far rows come by key position; their neighbours then follow exactly.
  const GridRow middle = rows.row(50000);
  ASSERT_NE(middle.recno, 0u);
  const long code = std::stol(middle.cells.at(0));
  EXPECT_NEAR(code, 50001, kRows * 0.03);
  EXPECT_EQ(rows.row(50001).cells.at(0), grid_code(code + 1));
  EXPECT_EQ(rows.row(rows.row_count()).recno, 0u);
  EXPECT_EQ(current_code(), 1);  // Reading rows leaves the handle on the current row.
}

TEST(WBCOLUMN, CellsFollowTheValueKind) {
  struct Case {
    data::Value value;
    std::string picture;
    int field_width;
    std::string cell;
  };
  const Case kCases[] = {
      {data::Value(true), "", 0, "S"},                                // Logicals show S or N.
      {data::Value(false), "", 0, "N"},
      {data::Value(data::Date::from_ymd(2026, 2, 28)), "", 0, "28/02/26"},  // Dates as DTOC.
      {data::Value(2.0), "", 6, "     2"},                             // Numbers take the field's width.
      {data::Value(1234.5), "999,999.99", 0, "  1,234.50"},             // Or the picture.
      {data::Value("juan@hotel.example"), "XXXXXX", 0, "juan@h"},       // A text picture cuts.
      {data::Value("Año"), "XXXXX", 0, "Año  "},                        // And pads, in characters.
      {data::Value(), "", 0, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.cell);
    WBCOLUMN column;
    column.BLOCK = [v = c.value] { return v; };
    column.PICTURE = c.picture;
    column.field_width = c.field_width;
    EXPECT_EQ(column.cell_text(), c.cell);
  }
}

}  // namespace
}  // namespace ui
