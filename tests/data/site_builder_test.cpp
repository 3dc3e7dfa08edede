#include "data/site_builder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "data/demo_site.h"
#include "data/text.h"
#include "data/use_table.h"
#include "wtable_test_support.h"

namespace data {
namespace {

using testing::SessionFixture;
namespace fs = std::filesystem;

TEST(SiteBuilder, CreatesEveryCataloguedTableInItsFolderEmpty) {
  SessionFixture f;
  const SiteBuilder builder(testing::source_catalogue(), cdx_index_creator(f.session.page_cache()));
  Result<std::vector<fs::path>> made = builder.create_empty_site(f.folder.path());
  ASSERT_TRUE(made) << made.error().text;
  for (const char* folder : kSiteFolders) EXPECT_TRUE(fs::is_directory(f.folder / folder)) << folder;
  std::size_t expected = 0;
  for (const SchemaTable& table : builder.catalogue().tables()) {
    SCOPED_TRACE(table.name);
    expected += (table.is_bases ? 1 : 0) + (table.is_profile ? 1 : 0);
    const fs::path file = f.folder / (table.is_bases ? "BASES" : "PROFILE") / (table.name + ".DBF");
    Result<std::unique_ptr<DbfTable>> opened = DbfTable::open(file);
    ASSERT_TRUE(opened) << opened.error().text;
    EXPECT_EQ((*opened)->last_rec(), 0u);
    EXPECT_EQ((*opened)->code_page(), table.code_page);
    EXPECT_EQ((*opened)->field_count(), static_cast<int>(table.fields.size()));
    EXPECT_EQ((*opened)->has_memo_file(), table.has_memo);
    for (const SchemaTag& tag : table.tags) {
      if (!(*opened)->production_index()) break;
      EXPECT_NE((*opened)->production_index()->find_order(tag.name), nullptr) << tag.name;
    }
  }
  EXPECT_EQ(made->size(), expected);
}

TEST(SiteBuilder, RefusesAFolderThatHoldsATableAlreadyAndTouchesNothing) {
  SessionFixture f;
  fs::create_directories(f.folder / "BASES");
  std::ofstream(f.folder / "BASES/e_msgs.dbf") << "not ours";
  const SiteBuilder builder(testing::source_catalogue(), nullptr);
  Result<std::vector<fs::path>> made = builder.create_empty_site(f.folder.path());
  ASSERT_FALSE(made);
  EXPECT_NE(made.error().text.find("e_msgs.dbf"), std::string::npos) << made.error().text;
  EXPECT_EQ(std::distance(fs::directory_iterator(f.folder / "BASES"), fs::directory_iterator()), 1);
  EXPECT_FALSE(fs::exists(f.folder / "PROFILE"));
}

TEST(DemoSite, HasABusinessMailSettingsForTheSandboxAndReadyOutboxRows) {
  SessionFixture f;
  const SiteBuilder builder(testing::source_catalogue(), cdx_index_creator(f.session.page_cache()));
  const ManualClock clock(Date::from_ymd(2026, 12, 9), "10:30:00");
  DemoMailSandbox sandbox;
  sandbox.smtp_port = 40025;
  sandbox.pop3_port = 40110;
  ASSERT_TRUE(create_demo_site(builder, f.session, f.folder.path(), sandbox, clock));

  auto defmail = USE(f.session, {}, "DEFMAIL");
  defmail->GoTop();
  EXPECT_EQ(ALLTRIM(defmail->get("HOST").text()), "127.0.0.1");
  EXPECT_EQ(defmail->get("SMTP_PORT").number(), 40025);
  EXPECT_EQ(defmail->get("POP3_PORT").number(), 40110);

  auto msgs = USE(f.session, {}, "E_MSGS");
  ASSERT_EQ(msgs->LastRec(), 2u);
  int html_rows = 0;
  for (msgs->GoTop(); !msgs->Eof(); msgs->Skip(1)) {
    EXPECT_EQ(msgs->get("LISTO").number(), 1);
    EXPECT_EQ(msgs->get("ENVIADO").number(), 0);
    if (msgs->get("HTML").number() == 1) {
      ++html_rows;
      EXPECT_TRUE(fs::exists(f.folder / "MAIL/SEND" / ALLTRIM(msgs->get("HTML_FILE").text())));
      EXPECT_TRUE(fs::exists(f.folder / "HTML" / ALLTRIM(msgs->get("HTML_EMBED").text())));
    } else {
      EXPECT_FALSE(ALLTRIM(msgs->get("BODY").text()).empty());
    }
  }
  EXPECT_EQ(html_rows, 1);
  // Running it again on the same folder fails and keeps the rows.
  EXPECT_FALSE(create_demo_site(builder, f.session, f.folder.path(), sandbox, clock));
  EXPECT_EQ(USE(f.session, {}, "E_MSGS")->LastRec(), 2u);
}

}  // namespace
}  // namespace data
