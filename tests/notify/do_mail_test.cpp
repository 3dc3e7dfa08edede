// One cycle of the Center: the fixed order of its steps, the switches read from DEFMAIL at each
// cycle, the re-entrancy flag, and the mail settings reloaded from DEFMAIL.
#include "notify/do_mail.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "data/dbf_table.h"
#include "data/record_change.h"
#include "data/runtime_error.h"
#include "data/use_table.h"
#include "data/wtable_test_support.h"  // tests/data/

namespace notify {
namespace {

using data::Value;
using Steps = std::vector<std::string>;

// Records the steps a cycle runs; a step may be given something to do.
class RecordingSteps final : public CycleSteps {
 public:
  void RESPONDER(int mode) override { ran("RESPONDER(" + std::to_string(mode) + ")"); }
  void CHECK_REQS() override { ran("CHECK_REQS"); }
  void DO_CHECK() override { ran("DO_CHECK"); }
  void CHECK_COMPRAS() override { ran("CHECK_COMPRAS"); }
  void DO_MIN_MAX() override { ran("DO_MIN_MAX"); }
  void CHECK_ACCIONES() override { ran("CHECK_ACCIONES"); }
  void DO_CHECK_TOURS() override { ran("DO_CHECK_TOURS"); }
  void LOAD_MENUS_TOURS() override { ran("LOAD_MENUS_TOURS"); }
  void FOLLOWUP() override { ran("FOLLOWUP"); }
  void CHECK_E_FTP() override { ran("CHECK_E_FTP"); }
  void dispatch_outbox() override { ran("dispatch"); }

  Steps steps;
  std::function<void(const std::string&)> on_step;

 private:
  void ran(const std::string& step) {
    steps.push_back(step);
    if (on_step) on_step(step);
  }
};

// A program folder whose DEFMAIL holds one row.
class DoMailTest : public testing::Test {
 protected:
  DoMailTest() {
    data::testing::create_indexed_table(site.session, "DEFMAIL", site.folder / "BASES");
    defmail = data::USE(site.session, {}, "DEFMAIL", "DEFMAIL");
    data::ADD_NEW_REC(site.session);
    defmail->put("NEGOCIO", Value("HOTEL1"));
    defmail->put("HOST", Value("  smtp.hotel.test  "));
    defmail->put("USERNAME", Value("Notificaciones"));
    defmail->put("USERADDR", Value("notifica@hotel.test"));
    defmail->put("ID_NAME", Value("HOTEL1"));
    defmail->put("DESTINO", Value("admin@hotel.test"));
    defmail->put("SENDMAIL", Value(1));
    defmail->put("AUTORIZA", Value(1));
    defmail->put("AUTH_USER", Value("usuario"));
    defmail->put("AUTH_PASS", Value("clave"));
    data::UNLOCK_NEW_REC(site.session);
    startup::reset_settings();
  }

  void set_switches(const std::array<int, 7>& values) {
    defmail->GoTop();
    data::LOCK_FOR_MODIFY(site.session);
    for (std::size_t i = 0; i < values.size(); ++i) {
      defmail->put(kNotificationKinds[i].flag, Value(values[i]));
    }
    data::UNLOCK_FOR_MODIFY(site.session);
  }

  void run_cycle() { DO_MAIL(steps, *defmail, startup::settings(), in_sending); }

  data::testing::SessionFixture site;
  std::unique_ptr<data::WDBTable> defmail;
  RecordingSteps steps;
  int in_sending = 0;
};

TEST_F(DoMailTest, RunsTheSwitchedOnKindsInTheirFixedOrderBetweenThePollAndTheDispatch) {
  struct Case {
    std::array<int, 7> switches;
    Steps kinds;
  };
  const Case kCases[] = {
      // Every kind, in the fixed order.
      {{1, 1, 1, 1, 1, 1, 1},
       {"CHECK_REQS", "DO_CHECK", "CHECK_COMPRAS", "DO_MIN_MAX", "CHECK_ACCIONES", "DO_CHECK_TOURS",
        "LOAD_MENUS_TOURS"}},
      // All off: the poll, the follow-up, the FTP queue and the dispatch still run.
      {{0, 0, 0, 0, 0, 0, 0}, {}},
      // A few: their relative order holds.
      {{0, 1, 0, 0, 0, 1, 0}, {"DO_CHECK", "DO_CHECK_TOURS"}},
      {{1, 0, 0, 0, 0, 0, 1}, {"CHECK_REQS", "LOAD_MENUS_TOURS"}},
      // Only exactly 1 switches a kind on.
      {{2, 9, 1, 0, 0, 0, 0}, {"CHECK_COMPRAS"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.switches));
    set_switches(c.switches);
    steps.steps.clear();
    run_cycle();
    Steps expected{"RESPONDER(1)"};
    expected.insert(expected.end(), c.kinds.begin(), c.kinds.end());
    expected.insert(expected.end(), {"FOLLOWUP", "CHECK_E_FTP", "dispatch"});
    EXPECT_EQ(steps.steps, expected);
    EXPECT_EQ(in_sending, 0);
  }
}

TEST_F(DoMailTest, ReadsTheSwitchesAfterThePollSoAChangeMadeDuringItCounts) {
  set_switches({0, 0, 0, 0, 0, 0, 0});
  steps.on_step = [&](const std::string& step) {
    if (step == "RESPONDER(1)") set_switches({0, 0, 1, 0, 0, 0, 0});
  };
  run_cycle();
  EXPECT_EQ(steps.steps, (Steps{"RESPONDER(1)", "CHECK_COMPRAS", "FOLLOWUP", "CHECK_E_FTP", "dispatch"}));
}

TEST_F(DoMailTest, ACycleAlreadyRunningIsNotStartedAgain) {
  set_switches({0, 0, 0, 0, 0, 0, 0});
  // From outside: a cycle further up the stack holds the flag.
  in_sending = 1;
  run_cycle();
  EXPECT_TRUE(steps.steps.empty());
  EXPECT_EQ(in_sending, 1);

  // From inside: a step that pumps messages lets a timer try a second cycle.
  in_sending = 0;
  int nested_flag = -1;
  steps.on_step = [&](const std::string& step) {
    if (step != "FOLLOWUP") return;
    run_cycle();
    nested_flag = in_sending;
  };
  run_cycle();
  EXPECT_EQ(steps.steps, (Steps{"RESPONDER(1)", "FOLLOWUP", "CHECK_E_FTP", "dispatch"}));
  EXPECT_EQ(nested_flag, 1);
  EXPECT_EQ(in_sending, 0);
}

TEST_F(DoMailTest, AStepThatFailsEndsTheCycleAndLeavesTheNextOneFree) {
  set_switches({1, 0, 0, 0, 0, 0, 0});
  steps.on_step = [](const std::string& step) {
    if (step == "CHECK_REQS") throw data::RuntimeError("DO_MAIL", "notify", "ENC_REQ missing");
  };
  EXPECT_THROW(run_cycle(), data::RuntimeError);
  EXPECT_EQ(steps.steps, (Steps{"RESPONDER(1)", "CHECK_REQS"}));
  // A flag left at 1 would silence the Center for good.
  EXPECT_EQ(in_sending, 0);
  steps.on_step = nullptr;
  steps.steps.clear();
  run_cycle();
  EXPECT_EQ(steps.steps.back(), "dispatch");
}

TEST_F(DoMailTest, ReloadsTheMailSettingsFromTheFirstRow) {
  set_switches({0, 0, 0, 0, 0, 0, 0});
  startup::Settings& settings = startup::settings();
  settings.XEMAILHOST = "old.host";
  defmail->GoBottom();
  defmail->Skip(1);  // Off the end: the cycle goes back to the first row itself.
  run_cycle();
  EXPECT_EQ(settings.XEMAILHOST, "smtp.hotel.test");
  EXPECT_EQ(settings.XEMAILNAME, "Notificaciones");
  EXPECT_EQ(settings.XEMAILADDR, "notifica@hotel.test");
  EXPECT_EQ(settings.XEMAIL_ID, "HOTEL1");
  EXPECT_EQ(settings.XEMAILDEST, "admin@hotel.test");
  EXPECT_EQ(settings.XEMAILSEND, 1);
  EXPECT_EQ(settings.XEMAILAUTH, 1);
  // Stored as the field holds them, padding included.
  EXPECT_EQ(settings.XEMAIL_AU, std::string("usuario").append(53, ' '));
  EXPECT_EQ(settings.XEMAIL_AP, std::string("clave").append(25, ' '));
}

TEST(LoadMailSettings, FieldsAnOlderTableLacksGiveTheirDefaults) {
  data::testing::SessionFixture site;
  // An older site's DEFMAIL: the switches and the cycle period, no mail fields.
  data::TableStructure structure{{"NEGOCIO", 'C', 15, 0}, {"NEGOCIO_H", 'C', 15, 0}, {"MAX_WAIT2", 'N', 5, 0}};
  for (const NotificationKind& kind : kNotificationKinds) structure.push_back({std::string(kind.flag), 'N', 1, 0});
  std::filesystem::create_directories(site.folder / "BASES");
  auto made = data::DbfTable::create(site.folder / "BASES" / "DEFMAIL.DBF", structure);
  ASSERT_TRUE(made);
  ASSERT_TRUE((*made)->close());
  auto defmail = data::USE(site.session, {}, "DEFMAIL");
  data::ADD_NEW_REC(site.session);
  data::UNLOCK_NEW_REC(site.session);

  startup::reset_settings();
  startup::Settings& settings = startup::settings();
  settings.XEMAILHOST = "old.host";
  settings.XEMAILSEND = 1;
  settings.XEMAIL_AU = "old";
  defmail->GoTop();
  load_mail_settings(*defmail, settings);
  EXPECT_EQ(settings.XEMAILHOST, "");
  EXPECT_EQ(settings.XEMAIL_ID, "");
  EXPECT_EQ(settings.XEMAILSEND, 0);
  EXPECT_EQ(settings.XEMAIL_AU, "");
}

TEST(ScheduleClock, OnlyTheFirstScheduledKindAfterMidnightSkipsItsTurn) {
  struct Case {
    std::int64_t last_time, now;
    bool evaluates;
  };
  constexpr Case kCases[] = {
      {36000, 36060, true},   // Later the same day.
      {36000, 36000, true},   // The same second: a second kind in the same cycle.
      {86390, 5, false},      // Past midnight: reset only.
      {0, 0, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.last_time << " -> " << c.now);
    std::int64_t last_time = c.last_time;
    EXPECT_EQ(passes_schedule_clock(last_time, c.now), c.evaluates);
    EXPECT_EQ(last_time, c.now);
  }
  // The cycle after midnight: the first scheduled kind resets, the next one evaluates.
  std::int64_t last_time = 86390;
  EXPECT_FALSE(passes_schedule_clock(last_time, 5));
  EXPECT_TRUE(passes_schedule_clock(last_time, 5));
}

TEST(ScheduleClock, ReadsTheTimeOfDayByPosition) {
  EXPECT_EQ(seconds_of_day("00:00:00"), 0);
  EXPECT_EQ(seconds_of_day("10:30:15"), 37815);
  EXPECT_EQ(seconds_of_day("23:59:59"), 86399);
  EXPECT_EQ(seconds_of_day("10:3x:15"), 36015);
  EXPECT_EQ(seconds_of_day(""), 0);
}

}  // namespace
}  // namespace notify
