#include "data/work_areas.h"

#include <gtest/gtest.h>

#include "data/runtime_error.h"
#include "dbf_test_folder.h"

namespace data {
namespace {

TEST(WorkAreas, OpensInTheLowestFreeAreaAndSelectsIt) {
  testing::TestFolder folder;
  for (const char* name : {"E_MSGS.DBF", "MAIL_P.DBF"}) {
    ASSERT_TRUE(DbfTable::create(folder / name, {{"N", 'N', 3, 0}}));
  }
  WorkAreas areas;
  EXPECT_FALSE(areas.used(1));
  EXPECT_THROW((void)areas.current_table(), RuntimeError);
  Result<int> first = areas.open(folder / "E_MSGS.DBF");
  ASSERT_TRUE(first) << first.error().text;
  EXPECT_EQ(*first, 1);
  Result<int> second = areas.open(folder / "MAIL_P.DBF", {}, "mail_p0002");
  ASSERT_TRUE(second);
  EXPECT_EQ(*second, 2);
  EXPECT_EQ(areas.current(), 2);
  EXPECT_EQ(areas.alias(2), "MAIL_P0002");
  EXPECT_EQ(areas.find_alias("e_msgs"), 1);
  EXPECT_EQ(areas.find_alias("NADA"), 0);

  // The same file twice, shared, in two areas: a second alias is needed.
  EXPECT_FALSE(areas.open(folder / "E_MSGS.DBF"));
  Result<int> again = areas.open(folder / "E_MSGS.DBF", {}, "OTRA");
  ASSERT_TRUE(again);
  EXPECT_EQ(*again, 3);

  ASSERT_TRUE(areas.close(1));
  EXPECT_FALSE(areas.used(1));
  EXPECT_EQ(areas.lowest_free(), 1);
  {
    AreaScope scope(areas, 2);
    EXPECT_EQ(areas.current(), 2);
    EXPECT_EQ(areas.current_table().path().filename(), "MAIL_P.DBF");
  }
  EXPECT_EQ(areas.current(), 3);
}

TEST(WorkAreas, ABusyTableLeavesTheAreaFree) {
  testing::TestFolder folder;
  ASSERT_TRUE(DbfTable::create(folder / "T.DBF", {{"N", 'N', 3, 0}}));  // Closed at once.
  WorkAreas areas;
  TableOpenOptions exclusive;
  exclusive.share = Share::Exclusive;
  ASSERT_TRUE(areas.open(folder / "T.DBF", exclusive, "UNO"));
  Result<int> busy = areas.open(folder / "T.DBF", {}, "DOS");
  ASSERT_FALSE(busy);
  EXPECT_TRUE(has_code(busy.error(), TableErrorCode::Busy));
  EXPECT_FALSE(areas.used(2));
  EXPECT_EQ(areas.current(), 1);
}

}  // namespace
}  // namespace data
