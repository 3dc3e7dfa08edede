#include "startup/log_diag.h"

#include <gtest/gtest.h>

#include "../data/wtable_test_support.h"
#include "data/record_change.h"
#include "data/text.h"
#include "data/use_table.h"

namespace startup {
namespace {

using data::testing::SessionFixture;

// A program folder with LOG_DIAG and FONTS, and the settings of a logged-in user.
struct LogSite {
  LogSite() {
    data::testing::create_indexed_table(f.session, "LOG_DIAG", f.folder / "BASES");
    data::testing::create_indexed_table(f.session, "FONTS", f.folder / "BASES");
    settings.XU_COMP = data::Value("HOTEL1");
    settings.XUSER_ABREVIA = "ADM";
    settings.EXT_MODULO = "MLS";
    settings.XID_MENU = data::Value(2984);
  }
  // One old row dated `days` before today.
  void add_row_aged(int days) {
    auto log = data::USE(f.session, {}, "LOG_DIAG");
    data::ADD_NEW_REC(f.session);
    log->put("DIALOGO", data::Value("VIEJO"));
    log->put("FECHA", data::Value(clock.today() - days));
    data::UNLOCK_NEW_REC(f.session);
  }
  std::unique_ptr<data::WDBTable> log() { return data::USE(f.session, {}, "LOG_DIAG", "LOG_DIA2"); }

  SessionFixture f;
  Settings settings;
  data::ManualClock clock{data::Date::from_ymd(2026, 12, 9), "09:15:00"};
};

class LogDiag : public ::testing::Test, protected LogSite {};

TEST(NewLogDiag, ReusesTheOldestRowOnlyWhenItIsOlderThan240Days) {
  struct Case { int age_days; std::uint32_t rows_after; };
  constexpr Case kCases[] = {{241, 1}, {240, 2}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.age_days);
    LogSite site;
    site.add_row_aged(c.age_days);
    NEW_LOG_DIAG(site.settings, site.f.session, site.clock, {}, "MAILSERVER");
    auto table = site.log();
    EXPECT_EQ(table->LastRec(), c.rows_after);
    table->GoBottom();  // The newest row: the one just written.
    EXPECT_EQ(data::ALLTRIM(table->get("DIALOGO").text()), "MAILSERVER");
    EXPECT_EQ(data::ALLTRIM(table->get("NEGOCIO").text()), "HOTEL1");
    EXPECT_EQ(table->get("ID_DIAG").number(), 2984);
    EXPECT_EQ(data::ALLTRIM(table->get("USUARIO").text()), "ADM");
    EXPECT_EQ(data::ALLTRIM(table->get("MODULO").text()), "MLS");
    EXPECT_EQ(data::ALLTRIM(table->get("HORA").text()), "09:15:00");
    EXPECT_NE(table->get("INFO_USER").text().find(" / "), std::string::npos);
    EXPECT_EQ(site.settings.XID_MENU.number(), 0);  // Consumed.
  }
}

TEST_F(LogDiag, SkipsHelperDialogsAndLeavesTheCurrentAreaAlone) {
  auto fonts = data::USE(f.session, {}, "FONTS");
  for (const char* name : {"XLOGINUSR", "CHECK_DB2", "obsearch1", "Wait_x", "PREVIEW800A", "while_print"}) {
    NEW_LOG_DIAG(settings, f.session, clock, {}, name);
  }
  EXPECT_EQ(log()->LastRec(), 0u);
  f.session.areas().select(fonts->Area);
  NEW_LOG_DIAG(settings, f.session, clock, {}, "xloginusr");  // Only the upper-case spelling is skipped.
  EXPECT_EQ(f.session.areas().current(), fonts->Area);
  EXPECT_EQ(log()->LastRec(), 1u);
}

TEST_F(LogDiag, PasswordChangesAreLoggedOnlyWhenTheUsersTableAsksForIt) {
  data::testing::create_indexed_table(f.session, "ADASIPA", f.folder / "BASES");
  data::testing::create_indexed_table(f.session, "USUARIOS", f.folder / "BASES");
  auto users = data::USE(f.session, {}, "USUARIOS");
  data::ADD_NEW_REC(f.session);
  users->put("NOMBRE", data::Value("ANA"));
  data::UNLOCK_NEW_REC(f.session);
  LOG_PASSWORD(settings, f.session, clock, {}, "old", "new", *users, 2);
  auto adasipa = data::USE(f.session, {}, "ADASIPA");
  ASSERT_EQ(adasipa->LastRec(), 1u);
  adasipa->GoTop();
  EXPECT_EQ(data::ALLTRIM(adasipa->get("NOMBRE").text()), "ANA");
  EXPECT_EQ(data::ALLTRIM(adasipa->get("P2").text()), "new");
  EXPECT_EQ(adasipa->get("ORIGEN").number(), 2);
}

}  // namespace
}  // namespace startup
