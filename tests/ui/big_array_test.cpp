#include <gtest/gtest.h>

#include "ui/big_array.h"

namespace ui {
namespace {

BIG_ARRAY numbered(int count) {
  BIG_ARRAY array;
  for (int n = 1; n <= count; ++n) array.BAADD(data::Value(n));
  return array;
}

TEST(BigArray, ChunksHoldAThousandElements) {
  BIG_ARRAY array = numbered(1000);
  EXPECT_EQ(array.XLEN(), 1u);
  array.BAADD(data::Value(1001));
  EXPECT_EQ(array.XLEN(), 2u);
  EXPECT_EQ(array.BLEN(), 1001u);
  EXPECT_EQ(array.GET(1001).number(), 1001);

  // Inserting at the front pushes element 1000 of chunk 1 to the front of chunk 2.
  array.BAINS(1, data::Value("first"));
  EXPECT_EQ(array.chunk(1).size(), 1000u);
  EXPECT_EQ(array.chunk(2).size(), 2u);
  EXPECT_EQ(array.chunk(2).front().number(), 1000);
  EXPECT_EQ(array.GET(1).text(), "first");
  EXPECT_EQ(array.GET(1002).number(), 1001);
}

TEST(BigArray, InsertingRipplesThroughEveryFullChunk) {
  BIG_ARRAY array = numbered(3000);
  array.BAINS(500, data::Value(-1));
  EXPECT_EQ(array.XLEN(), 4u);
  EXPECT_EQ(array.chunk(4).size(), 1u);
  EXPECT_EQ(array.GET(500).number(), -1);
  for (std::size_t n : {1u, 499u, 1000u, 2001u, 3000u}) EXPECT_EQ(array.GET(n + (n >= 500)).number(), n);
}

TEST(BigArray, DeletingPullsElementsBackAndDropsAnEmptyChunk) {
  BIG_ARRAY array = numbered(1001);
  array.BADEL(1);
  EXPECT_EQ(array.XLEN(), 1u);
  EXPECT_EQ(array.BLEN(), 1000u);
  EXPECT_EQ(array.GET(1).number(), 2);
  EXPECT_EQ(array.GET(1000).number(), 1001);
}

TEST(BigArray, PositionsOutsideTheListAreIgnored) {
  BIG_ARRAY array = numbered(3);
  array.BAINS(0, data::Value(9));
  array.BAINS(5, data::Value(9));
  array.BADEL(4);
  array.PUT(7, data::Value(9));
  EXPECT_EQ(array.BLEN(), 3u);
  EXPECT_TRUE(array.GET(4).is_empty());
  array.BAINS(4, data::Value(4));  // Just past the end appends.
  EXPECT_EQ(array.GET(4).number(), 4);
}

TEST(BigArray, SeekFindsTheSameValue) {
  BIG_ARRAY array;
  array.BAADD(data::Value("GARCIA"));
  array.BAADD(data::Value("GAR"));
  array.BAADD(data::Value(2));
  EXPECT_EQ(array.BSEEK(data::Value("GAR")), 2u);  // Exact, not the prefix rule.
  EXPECT_EQ(array.BSEEK(data::Value(2)), 3u);
  EXPECT_EQ(array.BSEEK(data::Value("2")), 0u);
  array.ZAP();
  EXPECT_EQ(array.BLEN(), 0u);
}

}  // namespace
}  // namespace ui
