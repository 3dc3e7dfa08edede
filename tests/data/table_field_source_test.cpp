#include "data/table_field_source.h"

#include <gtest/gtest.h>

#include "data/expr_expression.h"
#include "dbf_test_folder.h"

namespace data {
namespace {

TEST(TableFieldSource, EvaluatesKeysOnTheCurrentRecordAndOnGivenBytes) {
  testing::TestFolder folder;
  Result<std::unique_ptr<DbfTable>> created =
      DbfTable::create(folder / "K.DBF", {{"NOMBRE", 'C', 6, 0}, {"MONTO", 'N', 6, 1}, {"FECHA", 'D', 8, 0}});
  ASSERT_TRUE(created) << created.error().text;
  DbfTable& table = **created;
  ASSERT_TRUE(table.append());
  ASSERT_TRUE(table.put("NOMBRE", "peña"));
  ASSERT_TRUE(table.put("MONTO", 2.5));
  ASSERT_TRUE(table.put("FECHA", Date::from_ymd(2026, 1, 2)));
  ASSERT_TRUE(table.commit());
  const std::vector<std::byte> first(table.record_bytes().begin(), table.record_bytes().end());
  ASSERT_TRUE(table.append());
  ASSERT_TRUE(table.put("NOMBRE", "zeta"));
  ASSERT_TRUE(table.delete_record());

  TableFieldSource fields(table, "K0000001");
  Result<Expression> key = Expression::compile("UPPER(NOMBRE)+STR(MONTO,6,1)+DTOS(K0000001->FECHA)", fields);
  ASSERT_TRUE(key) << key.error().text;
  std::string bytes;
  key->key(fields, bytes);  // The current record, changes not yet written included.
  EXPECT_EQ(bytes, std::string("ZETA  ") + "   0.0" + "        ");  // A blank number keys as 0.
  EXPECT_TRUE(fields.deleted());
  EXPECT_EQ(fields.recno(), 2u);

  fields.set_record(first, 1);
  key->key(fields, bytes);
  EXPECT_EQ(bytes, std::string("PE\xD1" "A  ") + "   2.5" + "20260102");  // Windows-1252 key bytes.
  EXPECT_FALSE(fields.deleted());
  EXPECT_EQ(fields.recno(), 1u);
  EXPECT_EQ(fields.field_index("OTRA", "NOMBRE"), -1);
  EXPECT_EQ(fields.field_index("", "NO_HAY"), -1);
}

}  // namespace
}  // namespace data
