#include "data/clock.h"

#include <cmath>
#include <gtest/gtest.h>

namespace data {
namespace {

Date ymd(int year, int month, int day) { return Date::from_ymd(year, month, day); }

TEST(Clock, PseudoSecondsCountEveryMonthAsThirtyOneDays) {
  struct Case {
    Date date;
    std::string_view time;
    std::int64_t expected;
  };
  const Case kCases[] = {
      {ymd(2026, 12, 9), "14:30:00", 65150231400},  // 2026 × 32140800 + 12 × 2678400 + 9 × 86400 + 52200.
      {ymd(2026, 4, 30), "23:59:59", 2026LL * 32140800 + 4 * 2678400 + 30 * 86400 + 86399},
      {Date{}, "01:00:00", 3600},                                            // A blank date counts no days.
      {ymd(2026, 1, 1), "10", 2026LL * 32140800 + 2678400 + 86400 + 36000},  // Missing minutes and seconds.
      {ymd(2026, 1, 1), "xx:yy:zz", 2026LL * 32140800 + 2678400 + 86400},    // Non-numeric parts count 0.
      {ymd(2026, 1, 1), " 9: 5: 7", 2026LL * 32140800 + 2678400 + 86400 + 9 * 3600 + 5 * 60 + 7},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(DTOS(c.date) + " " + std::string(c.time));
    EXPECT_EQ(N_DATETIME(c.date, c.time), c.expected);
  }
}

TEST(Clock, DifferencesAreExactWithinAMonthOnly) {
  EXPECT_EQ(N_DT_DIFF(ymd(2026, 3, 10), "23:59:50", ymd(2026, 3, 11), "00:00:10"), 20);
  EXPECT_EQ(N_DT_DIFF(ymd(2026, 4, 30), "23:59:59", ymd(2026, 5, 1), "00:00:00"), 86401);  // One month end.
  EXPECT_EQ(N_DT_DIFF(ymd(2026, 3, 11), "00:00:10", ymd(2026, 3, 10), "23:59:50"), -20);
}

TEST(Clock, ManualClockMovesAcrossMidnight) {
  ManualClock clock(ymd(2026, 12, 31), "23:59:30");
  clock.advance_seconds(45);
  EXPECT_EQ(clock.today(), ymd(2027, 1, 1));
  EXPECT_EQ(clock.time_of_day(), "00:00:15");
  clock.advance_seconds(-30);
  EXPECT_EQ(clock.today(), ymd(2026, 12, 31));
  EXPECT_EQ(clock.time_of_day(), "23:59:45");
}

TEST(Clock, WorkstationClockGivesAValidDateAndTime) {
  const WorkstationClock clock;
  EXPECT_GE(clock.today().year(), 2024);
  const std::string time = clock.time_of_day();
  ASSERT_EQ(time.size(), 8u);
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(time[5], ':');
}

TEST(ServerClock, FallsBackToTheWorkstation) {
  const ManualClock workstation(ymd(2026, 12, 9), "14:30:00");
  struct Case {
    std::string name;
    ServerClockQuery server;
    Date date;
    std::string time;
  };
  const auto answer = [](std::string date, double milliseconds) {
    return ServerClockQuery([=] {
      return std::optional<ServerClockAnswer>({date, "ignored", milliseconds});
    });
  };
  const Case kCases[] = {
      {"no connection", ServerClockQuery{}, ymd(2026, 12, 9), "14:30:00"},
      {"malformed answer", [] { return std::optional<ServerClockAnswer>(); }, ymd(2026, 12, 9), "14:30:00"},
      {"server answers", answer("10/12/26", 3723000.9), ymd(2026, 12, 10), "01:02:03"},
      {"past a day", answer("10/12/26", 90000000), ymd(2026, 12, 10), "01:00:00"},  // Hours modulo 24.
      {"clock never set", answer("01/01/1699", 0), ymd(2026, 12, 9), "00:00:00"},   // Before 1700.
      {"unreadable date", answer("garbage", 0), ymd(2026, 12, 9), "00:00:00"},
      {"not a number", answer("10/12/26", std::nan("")), ymd(2026, 12, 10), "14:30:00"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const ServerClock clock(c.server, workstation);
    EXPECT_EQ(clock.today(), c.date);
    EXPECT_EQ(clock.time_of_day(), c.time);
  }
}

TEST(ServerClock, AsksTheServerOncePerCall) {
  const ManualClock workstation(ymd(2026, 12, 9), "14:30:00");
  int asked = 0;
  const ServerClock clock(
      [&] {
        ++asked;
        return std::optional<ServerClockAnswer>({"09/12/26", "", 0});
      },
      workstation);
  (void)clock.today();
  (void)clock.time_of_day();
  EXPECT_EQ(asked, 2);
}

TEST(Clock, WaitOfNothingReturns) {
  XWAITMILLISEC(0);
  XWAITMILLISEC(-5);
}

}  // namespace
}  // namespace data
