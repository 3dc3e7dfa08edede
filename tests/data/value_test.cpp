#include "data/value.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(Value, AccessorsGiveTheNeutralValueOfAnotherKind) {
  const Value empty;
  EXPECT_TRUE(empty.is_empty());
  EXPECT_EQ(empty.text(), "");
  EXPECT_EQ(empty.number(), 0.0);
  EXPECT_FALSE(empty.logical());
  EXPECT_TRUE(empty.date().is_blank());
  EXPECT_TRUE(empty.list().empty());
  EXPECT_TRUE(empty.call().is_empty());

  const Value text{"NEGOCIO"};
  EXPECT_TRUE(text.is_text());
  EXPECT_EQ(text.number(), 0.0);
}

TEST(Value, ListsAndBlocksAreSharedOnCopy) {
  const Value list{ValueList{Value{1}, Value{"dos"}, Value{true}}};
  const Value copy = list;
  EXPECT_EQ(&copy.list(), &list.list());
  ASSERT_EQ(copy.list().size(), 3u);
  EXPECT_EQ(copy.list()[1].text(), "dos");

  const Value add{CodeBlock{[](std::span<const Value> a) { return Value{a[0].number() + a[1].number()}; }}};
  const Value args[] = {Value{2}, Value{3}};
  EXPECT_EQ(add.call(args).number(), 5.0);
}

}  // namespace
}  // namespace data
