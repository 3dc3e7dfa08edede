// Reading the sample tables an independent xBase runtime wrote, against its own answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "data/dbf_table.h"
#include "data/table_dump.h"
#include "dbf_test_folder.h"

namespace data {
namespace {

std::vector<std::string> read_lines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(DbfFixture, EverySetDumpsAsTheRuntimeDid) {
  const std::filesystem::path fixtures = testing::xbase_fixtures();
  if (fixtures.empty()) GTEST_SKIP() << "no xBase fixtures on this machine";
  for (const char* set : {"small", "large", "special", "appended"}) {
    SCOPED_TRACE(set);
    std::string upper(set);
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    TableOpenOptions options;
    options.access = Access::ReadOnly;
    Result<std::unique_ptr<DbfTable>> table = DbfTable::open(fixtures / set / (upper + ".DBF"), options);
    ASSERT_TRUE(table) << table.error().text;
    EXPECT_EQ((*table)->open_warning(), "");
    (*table)->set_deleted_rows(DeletedRows::Shown);
    const std::vector<std::string> expected = read_lines(fixtures / set / "expected" / "dump.tsv");
    std::size_t line = 0;
    ASSERT_TRUE((*table)->go_top());
    while (!(*table)->eof()) {
      ASSERT_LT(line, expected.size());
      ASSERT_EQ(dump_line(**table), expected[line]) << "record " << (*table)->rec_no();
      ++line;
      ASSERT_TRUE((*table)->skip());
    }
    EXPECT_EQ(line, expected.size());
    EXPECT_EQ((*table)->last_rec(), expected.size());
  }
}

TEST(DbfFixture, HidesDeletedRowsInBothDirections) {
  const std::filesystem::path fixtures = testing::xbase_fixtures();
  if (fixtures.empty()) GTEST_SKIP() << "no xBase fixtures on this machine";
  TableOpenOptions options;
  options.access = Access::ReadOnly;
  Result<std::unique_ptr<DbfTable>> opened = DbfTable::open(fixtures / "small" / "SMALL.DBF", options);
  ASSERT_TRUE(opened) << opened.error().text;
  DbfTable& table = **opened;
  std::vector<std::uint32_t> forward;
  ASSERT_TRUE(table.go_top());
  while (!table.eof()) {
    forward.push_back(table.rec_no());
    ASSERT_TRUE(table.skip());
  }
  ASSERT_EQ(forward.size(), 900u);  // Every tenth row from record 3 is deleted.
  for (const std::uint32_t recno : forward) EXPECT_NE(recno % 10, 3u);
  std::vector<std::uint32_t> backward;
  ASSERT_TRUE(table.go_bottom());
  while (!table.bof()) {
    backward.push_back(table.rec_no());
    ASSERT_TRUE(table.skip(-1));
  }
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(backward, forward);
}

}  // namespace
}  // namespace data
