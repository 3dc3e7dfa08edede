// The production index as the table uses it, on copies of the sample tables: orders
// walked and sought through the table, every key recomputed from its record, and every
// tag kept right through appends, key changes, deletions and recalls.

#include <gtest/gtest.h>

#include <random>

#include "cdx_test_support.h"
#include "data/cdx_table_index.h"
#include "data/cdx_table_verify.h"
#include "data/code_page.h"
#include "data/order_seek_date.h"
#include "dbf_test_folder.h"

namespace data {
namespace {

using namespace cdx_test;

class CdxTableFixture : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    const auto fixtures = data::testing::xbase_fixtures();
    if (fixtures.empty()) GTEST_SKIP() << "sample tables not present";
    m_set = fixtures / GetParam();
    data::testing::copy_fixture_set(m_set, m_folder.path());
    std::string upper = GetParam();
    for (char& c : upper) c = static_cast<char>(std::toupper(c));
    TableOpenOptions options;
    options.production_index = cdx_index_opener(m_cache);
    auto table = DbfTable::open(m_folder / (upper + ".DBF"), options);
    ASSERT_TRUE(table) << table.error().text;
    m_table = std::move(*table);
    m_index = dynamic_cast<CdxTableIndex*>(m_table->production_index());
    ASSERT_NE(m_index, nullptr);
  }

  std::vector<std::uint32_t> walk(bool backwards) {
    std::vector<std::uint32_t> recnos;
    EXPECT_TRUE(backwards ? m_table->go_bottom() : m_table->go_top());
    while (!m_table->eof() && !m_table->bof()) {
      recnos.push_back(m_table->rec_no());
      EXPECT_TRUE(m_table->skip(backwards ? -1 : 1));
    }
    if (backwards) std::reverse(recnos.begin(), recnos.end());
    return recnos;
  }

  std::vector<std::string> verify() { return verify_cdx_table(*m_table, *m_index); }

  data::testing::TestFolder m_folder;
  std::filesystem::path m_set;
  CdxPageCache m_cache;
  std::unique_ptr<DbfTable> m_table;
  CdxTableIndex* m_index = nullptr;
};

TEST_P(CdxTableFixture, EveryKeyMatchesItsRecord) {
  const auto problems = verify();
  EXPECT_TRUE(problems.empty()) << problems.size() << " problems, first: " << problems.front();
}

TEST_P(CdxTableFixture, NavigatesEveryOrderThroughTheTable) {
  for (const ExpectedTag& t : read_expected_tags(m_set)) {
    SCOPED_TRACE(t.name);
    ASSERT_TRUE(m_table->set_order(t.name));
    const auto visible = read_walk(m_set / "expected" / ("walk-" + t.name + ".txt"));
    const auto all = read_walk(m_set / "expected" / ("walk-" + t.name + "-all.txt"));
    m_table->set_deleted_rows(DeletedRows::Hidden);
    EXPECT_EQ(walk(false), visible);
    EXPECT_EQ(walk(true), visible);
    m_table->set_deleted_rows(DeletedRows::Shown);
    EXPECT_EQ(walk(false), all);
  }
  ASSERT_TRUE(m_table->set_order(""));  // Blank: natural order.
  EXPECT_EQ(m_table->controlling_order(), nullptr);
  EXPECT_FALSE(m_table->set_order("NOSUCHTAG"));
}

TEST_P(CdxTableFixture, AnswersEveryRecordedSeekThroughTheTable) {
  const auto lines = read_lines(m_set / "expected" / "seeks.tsv");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto p = split(lines[i]);
    SCOPED_TRACE(lines[i]);
    ASSERT_TRUE(m_table->set_order(p[0]));
    m_table->set_deleted_rows(p[5] == "hidden" ? DeletedRows::Hidden : DeletedRows::Shown);
    Value key;
    if (p[1] == "N") {
      key = Value(std::stod(p[2]));
    } else if (p[1] == "D") {
      key = Value(p[2].empty() ? Date{} : STOD(p[2].substr(0, 4) + p[2].substr(5, 2) + p[2].substr(8, 2)));
    } else {
      // The seek hands over these exact bytes; as text they are their Windows-1252 reading.
      key = Value(decode_text(CodePage::Windows1252, from_hex(p[3])));
    }
    auto found = m_table->seek(key, p[4] == "soft" ? SeekMode::Soft : SeekMode::Exact);
    ASSERT_TRUE(found) << found.error().text;
    const std::string got =
        m_table->eof() ? "EOF" : (*found ? "FOUND " : "SOFT ") + std::to_string(m_table->rec_no());
    EXPECT_EQ(got, p[6]);
    EXPECT_EQ(m_table->found(), *found);
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, CdxTableFixture, ::testing::Values("small", "large", "special", "appended"));

// Random appends, key changes, deletions and recalls on the small sample table, with the
// whole index checked against the table after each batch.
TEST(CdxTableMaintenance, EveryTagStaysRightThroughAppendsChangesAndDeletions) {
  const auto fixtures = data::testing::xbase_fixtures();
  if (fixtures.empty()) GTEST_SKIP() << "sample tables not present";
  data::testing::TestFolder folder;
  data::testing::copy_fixture_set(fixtures / "small", folder.path());
  CdxPageCache cache;
  TableOpenOptions options;
  options.production_index = cdx_index_opener(cache);
  auto opened = DbfTable::open(folder / "SMALL.DBF", options);
  ASSERT_TRUE(opened) << opened.error().text;
  DbfTable& table = **opened;
  auto* index = dynamic_cast<CdxTableIndex*>(table.production_index());
  ASSERT_NE(index, nullptr);

  std::mt19937 rng(11);
  const char* businesses[] = {"ALFA", "BETA", "CAFÉ", "café", "ÑANDÚ", "ZETA", ""};
  auto random_fields = [&] {
    const std::string codigo = "COD" + std::to_string(10000 + rng() % 90000);
    ASSERT_TRUE(table.put("NEGOCIO", Value(businesses[rng() % std::size(businesses)])));
    ASSERT_TRUE(table.put("CODIGO", Value(rng() % 3 ? codigo : std::string("cod") + codigo.substr(3))));
    ASSERT_TRUE(table.put("FECHA", Value(rng() % 10 ? Date::from_ymd(2020 + rng() % 8, 1 + rng() % 12, 1 + rng() % 28)
                                                    : Date{})));
    ASSERT_TRUE(table.put("MONTO", Value((static_cast<double>(rng() % 200000) - 100000) / 100.0)));
  };
  for (int batch = 0; batch < 4; ++batch) {
    SCOPED_TRACE("batch " + std::to_string(batch));
    for (int i = 0; i < 150; ++i) {
      ASSERT_TRUE(table.append());
      random_fields();
      ASSERT_TRUE(table.unlock());
    }
    for (int i = 0; i < 100; ++i) {
      ASSERT_TRUE(table.go_to(1 + rng() % table.last_rec()));
      ASSERT_TRUE(table.lock_current());
      const unsigned what = rng() % 4;
      if (what == 0) {
        ASSERT_TRUE(table.deleted() ? table.recall() : table.delete_record());
      } else if (what == 1) {
        ASSERT_TRUE(table.put("CODIGO", Value("COD" + std::to_string(rng() % 100000))));
      } else {
        random_fields();
      }
      ASSERT_TRUE(table.unlock());
    }
    const auto problems = verify_cdx_table(table, *index);
    ASSERT_TRUE(problems.empty()) << problems.size() << " problems, first: " << problems.front();
  }
  // Navigation in a changed order: T4 is descending, so the walk starts at the greatest key.
  ASSERT_TRUE(table.set_order("T4"));
  ASSERT_TRUE(table.go_top());
  std::string previous = table.text(table.field_pos("CODIGO"));
  std::size_t steps = 0;
  while (!table.eof()) {
    ASSERT_TRUE(table.skip(1));
    if (table.eof()) break;
    ++steps;
  }
  EXPECT_GT(steps, 1000u);
  ASSERT_TRUE(table.close());
}

}  // namespace
}  // namespace data

namespace data {
namespace {

// SEEK_DATE on NEGOCIO+DTOS(FECHA): the first visible row of the business on or after
// the date, computed here from the table's dump.
TEST(SeekDate, StopsOnTheFirstKeyOnOrAfterTheDate) {
  const auto fixtures = data::testing::xbase_fixtures();
  if (fixtures.empty()) GTEST_SKIP() << "sample tables not present";
  data::testing::TestFolder folder;
  data::testing::copy_fixture_set(fixtures / "small", folder.path());
  CdxPageCache cache;
  TableOpenOptions options;
  options.production_index = cdx_index_opener(cache);
  auto table = DbfTable::open(folder / "SMALL.DBF", options);
  ASSERT_TRUE(table);
  ASSERT_TRUE((*table)->set_order("T2"));
  // Visible rows as (key bytes, recno), in tag order.
  std::vector<std::pair<std::string, std::uint32_t>> keys;
  for (const std::string& line : cdx_test::read_lines(fixtures / "small" / "expected" / "dump.tsv")) {
    const auto p = cdx_test::split(line);
    if (p[1] == "*") continue;
    std::string key = encode_text(CodePage::Windows1252, p[2]);
    key.resize(15, ' ');
    key += p[4].empty() ? std::string(8, ' ') : p[4].substr(0, 4) + p[4].substr(5, 2) + p[4].substr(8, 2);
    keys.emplace_back(key, static_cast<std::uint32_t>(std::stoul(p[0])));
  }
  std::sort(keys.begin(), keys.end());
  struct Case {
    const char* business;
    Date date;
  };
  const Case cases[] = {
      {"ALFA", Date::from_ymd(2024, 6, 1)},     // Between two keys: the next later one.
      {"ALFA", Date::from_ymd(1990, 1, 1)},     // Before all: the business's first row.
      {"ALFA", Date::from_ymd(2099, 1, 1)},     // After the business: the next business.
      {"\xC3\xB1" "and\xC3\xBA", Date::from_ymd(2099, 1, 1)},  // After the last key: EOF.
      {"CAF\xC3\x89", Date::from_ymd(2024, 3, 15)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.business) + " " + DTOS(c.date));
    // The business padded to its field width, counted in stored bytes.
    const std::string stored = encode_text(CodePage::Windows1252, c.business);
    const std::string padded = c.business + std::string(15 - stored.size(), ' ');
    const std::string sought = stored + std::string(15 - stored.size(), ' ') + DTOS(c.date);
    const auto it = std::lower_bound(keys.begin(), keys.end(), std::make_pair(sought, std::uint32_t{0}));
    ASSERT_TRUE(SEEK_DATE(**table, padded, c.date));
    if (it == keys.end()) {
      EXPECT_TRUE((*table)->eof());
    } else {
      EXPECT_EQ((*table)->rec_no(), it->second);
    }
  }
}

}  // namespace
}  // namespace data
