#include "data/heartbeat.h"

#include <gtest/gtest.h>
#include <fstream>

#include "support/temp_folder.h"

namespace data {
namespace {

namespace fs = std::filesystem;

using test_support::TempFolder;

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const Date kToday = Date::from_ymd(2026, 12, 9);
constexpr std::int64_t kNow = 65150231400;  // 09/12/26 14:30:00.

TEST(Heartbeat, WritesOneRightAlignedLine) {
  EXPECT_EQ(heartbeat_line(kToday, "14:30:00"), "         65150231400\r\n");
  EXPECT_EQ(heartbeat_line(kToday, "14:30:00").size(), 22u);
}

TEST(Heartbeat, FirstBeatCreatesTheFolderAndProbe) {
  TempFolder temp;
  const ProgramFolder folder(temp.path());
  HEARTBEAT(folder, kMailServerBeat, kToday, "14:30:00");
  EXPECT_EQ(contents(temp.path() / "HBEAT" / "MAILSERV.HBT"), "         65150231400\r\n");
  HEARTBEAT(folder, kMailServerBeat, kToday, "14:31:00");  // The probe file YES now succeeds and stays.
  EXPECT_TRUE(fs::exists(temp.path() / "HBEAT" / "YES"));
  EXPECT_EQ(contents(temp.path() / "HBEAT" / "MAILSERV.HBT"), "         65150231460\r\n");
  // Only YES and the beat remain: no temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.path() / "HBEAT"), fs::directory_iterator()), 2);
}

TEST(Heartbeat, RewritesTheSpellingFoundOnTheShare) {
  TempFolder temp;
  fs::create_directories(temp.path() / "hbeat");
  std::ofstream(temp.path() / "hbeat" / "mailserv.hbt") << "old";
  HEARTBEAT(ProgramFolder(temp.path()), "MAILSERV", kToday, "14:30:00");
  EXPECT_EQ(contents(temp.path() / "hbeat" / "mailserv.hbt"), "         65150231400\r\n");
  EXPECT_FALSE(fs::exists(temp.path() / "HBEAT"));
}

TEST(Heartbeat, FailsSilentlyWhenNothingCanBeWritten) {
  TempFolder temp;
  std::ofstream(temp.path() / "HBEAT") << "a file where the folder should be";
  HEARTBEAT(ProgramFolder(temp.path()), "MAILSERV", kToday, "14:30:00");
  EXPECT_EQ(contents(temp.path() / "HBEAT"), "a file where the folder should be");
}

TEST(Heartbeat, AgeFollowsTheFileRules) {
  struct Case {
    std::string name;
    std::optional<std::string> file;  // Nothing: no file at all.
    std::int64_t age;
    bool is_alive;
  };
  const Case kCases[] = {
      {"299 ago", heartbeat_line(kToday, "14:25:01"), 299, true},
      {"300 ago", heartbeat_line(kToday, "14:25:00"), 300, true},
      {"301 ago", heartbeat_line(kToday, "14:24:59"), 301, false},
      {"missing", std::nullopt, kNow + 1, false},
      {"empty", "", -1, true},                        // Met just after truncation: alive.
      {"truncated", "         651502314", -1, true},  // No CR yet: no line at all.
      {"LF only", "65150231400\n", -1, true},         // LF is dropped, so still no line.
      {"CR only", "65150231400\r", 0, true},
      {"blank line", "\r\n", kNow, false},
      {"non-numeric", "ALIVE\r\n", kNow, false},
      {"number then junk", "  65150231400xyz\r\n", 0, true},
      {"huge number", "99999999999999999999999\r\n", kNow, false},  // Junk never reads as alive.
      {"huge negative", "-99999999999999999999999\r\n", kNow, false},
      {"beat from the future", heartbeat_line(kToday, "14:31:00"), -60, true},
      {"long file", std::string(5000, ' ') + "65150231400\r\n", -1, true},  // Only 1000 bytes are read.
      {"second line ignored", "65150231400\r\n1\r\n", 0, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    if (c.file) {
      fs::create_directories(temp.path() / "HBEAT");
      std::ofstream(temp.path() / "HBEAT" / "MAILSERV.HBT", std::ios::binary) << *c.file;
    }
    const ManualClock clock(kToday, "14:30:00");
    const std::int64_t age = GET_HEARTBEAT(ProgramFolder(temp.path()), kMailServerBeat, clock);
    EXPECT_EQ(age, c.age);
    EXPECT_EQ(is_alive_beat(age), c.is_alive);
  }
}

TEST(Heartbeat, ReadsWhatItWrote) {
  TempFolder temp;
  const ProgramFolder folder(temp.path());
  ManualClock clock(kToday, "23:59:50");
  HEARTBEAT(folder, "MAILSERV", clock.today(), clock.time_of_day());
  clock.advance_seconds(20);  // Past midnight, within the month.
  EXPECT_EQ(GET_HEARTBEAT(folder, "mailserv", clock), 20);
}

}  // namespace
}  // namespace data
