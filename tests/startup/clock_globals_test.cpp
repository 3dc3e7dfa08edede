#include "startup/clock_globals.h"

#include <gtest/gtest.h>

#include "data/clock.h"
#include "startup/settings.h"

namespace startup {
namespace {

namespace fs = std::filesystem;

const data::Date kWorkstationDay = data::Date::from_ymd(2026, 12, 9);
const data::Date kServerDay = data::Date::from_ymd(2026, 12, 10);

class ClockGlobals : public testing::Test {
 protected:
  void SetUp() override {
    reset_settings();
    settings().workstation_clock = std::make_shared<data::ManualClock>(kWorkstationDay, "14:30:00");
    settings().server_clock = [this] {
      ++m_server_calls;
      return std::optional<data::ServerClockAnswer>({"10/12/26", "", 3723000});
    };
  }
  void TearDown() override { reset_settings(); }
  int m_server_calls = 0;
};

TEST_F(ClockGlobals, LocalModeNeverAsksTheServer) {
  settings().DEF_RDD = "DBFCDX";
  settings().XADS_MYCONNECTION = true;
  EXPECT_EQ(XDATE(), kWorkstationDay);
  EXPECT_EQ(XTIME(), "14:30:00");
  EXPECT_EQ(m_server_calls, 0);
}

TEST_F(ClockGlobals, ServerModeWithoutConnectionUsesTheWorkstation) {
  settings().DEF_RDD = "ADSCDX";
  for (const std::optional<bool> connection : {std::optional<bool>(), std::optional<bool>(false)}) {
    settings().XADS_MYCONNECTION = connection;
    EXPECT_EQ(XDATE(), kWorkstationDay);
    EXPECT_EQ(XTIME(), "14:30:00");
    EXPECT_EQ(GET_SERVERDATE(), kWorkstationDay);
  }
  EXPECT_EQ(m_server_calls, 0);
}

TEST_F(ClockGlobals, ServerModeReadsTheServerClock) {
  settings().DEF_RDD = "ADSCDX";
  settings().XADS_MYCONNECTION = true;
  EXPECT_EQ(XDATE(), kServerDay);
  EXPECT_EQ(XTIME(), "01:02:03");
  EXPECT_EQ(GET_SERVERTIME(), "01:02:03");
  EXPECT_EQ(m_server_calls, 3);
}

TEST_F(ClockGlobals, HeartbeatUsesTheProgramFolderAndClock) {
  std::string pattern = (fs::path(testing::TempDir()) / "qv_beat_XXXXXX").string();
  const fs::path root = ::mkdtemp(pattern.data());
  settings().program_folder = data::ProgramFolder(root);
  HEARTBEAT("MAILSERV", XDATE(), "14:25:01");
  EXPECT_TRUE(fs::exists(root / "HBEAT" / "MAILSERV.HBT"));
  EXPECT_EQ(GET_HEARTBEAT("MAILSERV"), 299);
  fs::remove_all(root);
}

TEST_F(ClockGlobals, GarbageCountWrapsAtAHundred) {
  for (int i = 0; i < 99; ++i) CLEAR_GARBAGE();
  EXPECT_EQ(settings().XGARBAGECOUNT, 99);
  CLEAR_GARBAGE();
  EXPECT_EQ(settings().XGARBAGECOUNT, 0);
}

}  // namespace
}  // namespace startup
