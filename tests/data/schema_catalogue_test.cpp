#include "data/schema_catalogue.h"

#include <gtest/gtest.h>

#include "wtable_test_support.h"

namespace data {
namespace {

TEST(SchemaCatalogue, ReadsEveryTableOfTheSourceTree) {
  const SchemaCatalogue& catalogue = testing::source_catalogue();
  EXPECT_GE(catalogue.tables().size(), 100u);
  const SchemaTable* msgs = catalogue.find("e_msgs");
  ASSERT_NE(msgs, nullptr);
  EXPECT_TRUE(msgs->is_bases);
  EXPECT_FALSE(msgs->is_profile);
  EXPECT_TRUE(msgs->has_memo);
  EXPECT_EQ(msgs->code_page, CodePage::Windows1252);
  EXPECT_EQ(msgs->purpose.substr(0, 17), "the shared outbox");
  ASSERT_NE(msgs->find_tag("E_MSGS4"), nullptr);
  EXPECT_EQ(msgs->find_tag("E_MSGS4")->key, "STR(ENVIADO,1)+STR(LISTO,1)+DTOS(FECHA)+HORA");
  const TableStructure structure = msgs->structure();
  ASSERT_FALSE(structure.empty());
  EXPECT_EQ(structure[0].name, "FECHA");
  EXPECT_EQ(structure[0].type, 'D');
  const SchemaTable* f_sys = catalogue.find("F_SYS");
  ASSERT_NE(f_sys, nullptr);
  EXPECT_TRUE(f_sys->fields[1].is_optional);   // T_SIZE
  EXPECT_FALSE(f_sys->fields[0].is_optional);  // T_FONT
  EXPECT_TRUE(catalogue.find("TMP_PTO")->is_profile);
}

TEST(SchemaCatalogue, ParsesTagOptionsAndQuotedLiterals) {
  const std::string text =
      "# T — a test table\n"
      "table T\ncodepage 850\nmemo no\nprofile yes\nbases no\n"
      "field A C 10 0\nfield B N 5 2 optional\n"
      "tag T1 key \"A+\"X\"\" for \"!DELETED()\" descending unique\n";
  Result<SchemaTable> table = SchemaCatalogue::parse(text, "T.tbl");
  ASSERT_TRUE(table) << table.error().text;
  EXPECT_EQ(table->purpose, "a test table");
  EXPECT_EQ(table->code_page, CodePage::Dos850);
  ASSERT_EQ(table->tags.size(), 1u);
  EXPECT_EQ(table->tags[0].key, "A+\"X\"");
  EXPECT_EQ(table->tags[0].for_condition, "!DELETED()");
  EXPECT_TRUE(table->tags[0].is_descending);
  EXPECT_TRUE(table->tags[0].is_unique);
  EXPECT_TRUE(table->fields[1].is_optional);
  EXPECT_EQ(table->fields[1].decimals, 2);
}

TEST(SchemaCatalogue, RejectsMalformedFilesNamingTheLine) {
  const std::string head = "table T\ncodepage 1252\nmemo no\nprofile no\nbases yes\n";
  struct Case {
    std::string text;
    std::string_view says;
  };
  const Case kCases[] = {
      {head + "field A X 10 0\n", "T.tbl:6"},                   // Unknown type.
      {head + "field A C 300 0\n", "bad width"},                // Wider than a field can be.
      {head + "field A C 10 0\ntag T1 \"A\"\n", "needs key"},   // Tag without key.
      {head + "field A C 10 0\nwhat now\n", "unknown line"},    // Unknown keyword.
      {head, "has no field"},                                   // No fields.
      {"table T\nfield A C 10 0\n", "are all needed"},          // Missing header lines.
      {head + "field M M 10 0\n", "disagree"},                  // Memo field but memo no.
      {head + "field TOOLONGNAME1 C 1 0\n", "bad field name"},  // Names have at most 10 characters.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    Result<SchemaTable> table = SchemaCatalogue::parse(c.text, "T.tbl");
    ASSERT_FALSE(table);
    EXPECT_NE(table.error().text.find(c.says), std::string::npos) << table.error().text;
  }
  EXPECT_FALSE(SchemaCatalogue::load("/nonexistent/schema"));
}

}  // namespace
}  // namespace data
