#include <gtest/gtest.h>

#include <algorithm>

#include "data/record_change.h"
#include "data/schema_catalogue.h"
#include "data/site_builder.h"
#include "data/use_table.h"
#include "data/wtable_retry.h"
#include "shell/frame_defmail.h"
#include "startup/settings.h"
#include "support/temp_folder.h"

namespace shell_test {
namespace {

// A DEFMAIL of an older site: the catalogue's structure without the fields marked optional, or with
// every field, holding one row.
class DefmailTest : public testing::Test {
 protected:
  DefmailTest() : session(data::TableSettings{folder.path(), "", 0, "", "MLS", "DBFCDX"}, messages, clock) {}

  void make_table(bool with_optional_fields) {
    data::Result<data::SchemaCatalogue> catalogue =
        data::SchemaCatalogue::load(std::filesystem::path(QV_SOURCE_DIR) / "resources" / "schema");
    ASSERT_TRUE(catalogue) << catalogue.error().text;
    data::SchemaTable table = *catalogue->find("DEFMAIL");
    if (!with_optional_fields) {
      std::erase_if(table.fields, [](const data::SchemaField& field) { return field.is_optional; });
    }
    std::filesystem::create_directories(folder / "BASES");
    const data::SiteBuilder builder(*catalogue, data::cdx_index_creator(session.page_cache()));
    ASSERT_TRUE(builder.create_table(table, folder / "BASES"));
    const std::unique_ptr<data::WDBTable> defmail = data::USE(session, {}, "DEFMAIL");
    data::ADD_NEW_REC(session);
    defmail->put("NEGOCIO", data::Value("HOTEL1"));
    if (with_optional_fields) {
      defmail->put("HOST", data::Value("  smtp.example.org  "));
      defmail->put("ID_NAME", data::Value("Hotel Uno"));
      defmail->put("AUTH_USER", data::Value("notifica "));
      defmail->put("SENDMAIL", data::Value(1));
      defmail->put("SMTP_PORT", data::Value(587));
    }
    data::UNLOCK_NEW_REC(session);
  }

  test_support::TempFolder folder{"defmail"};
  data::HeadlessMessageBoxSink messages{std::cerr};
  data::SteadyRetryClock clock;
  data::TableSession session;
  startup::Settings settings;
  transport::MailAccount account;
};

TEST_F(DefmailTest, MissingFieldsGiveNeutralValues) {
  make_table(false);
  account.accept_self_signed = true;
  settings.XEMAILHOST = "old";
  shell::LOAD_DEFMAIL(settings, session, account);
  EXPECT_EQ(settings.XEMAILHOST, "");
  EXPECT_EQ(settings.XEMAIL_ID, "");  // A missing field gives "", not the built-in default.
  EXPECT_EQ(settings.XEMAILSEND, 0);
  EXPECT_TRUE(settings.XEMAIL_SMTP_PORT.is_empty());
  EXPECT_FALSE(account.XEMAIL_SMTP_PORT.has_value());
  EXPECT_TRUE(account.accept_self_signed);  // The site's TLS switches are not the table's.
}

TEST_F(DefmailTest, PresentFieldsAreCopiedAndTrimmed) {
  make_table(true);
  shell::LOAD_DEFMAIL(settings, session, account);
  EXPECT_EQ(settings.XEMAILHOST, "smtp.example.org");
  EXPECT_EQ(settings.XEMAIL_ID, "Hotel Uno");
  EXPECT_EQ(settings.XEMAILSEND, 1);
  EXPECT_EQ(settings.XEMAIL_SMTP_PORT.number(), 587);
  EXPECT_TRUE(settings.XEMAIL_POP3_PORT.is_number());  // A blank number field reads 0.
  EXPECT_EQ(account.XEMAILHOST, "smtp.example.org");
  EXPECT_EQ(account.XEMAIL_SMTP_PORT, 587);
  EXPECT_EQ(account.XEMAIL_AU.substr(0, 9), "notifica ");  // Trimmed by the senders at use.
}

}  // namespace
}  // namespace shell_test
