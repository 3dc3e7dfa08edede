#include "data/date.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(Date, ConvertsBetweenForms) {
  struct Case {
    int year, month, day;
    std::string_view dtos, dtoc;
    int dow;
  };
  constexpr Case kCases[] = {
      {2026, 12, 9, "20261209", "09/12/26", 4},  // The example every screen shows: a Wednesday.
      {2026, 3, 1, "20260301", "01/03/26", 1},   // A Sunday, after a non-leap February.
      {2024, 2, 29, "20240229", "29/02/24", 5},  // Leap day.
      {1980, 1, 1, "19800101", "01/01/80", 3},   // First day of the two-digit window.
      {2079, 12, 31, "20791231", "31/12/79", 1}, // Last day of the two-digit window.
      {2000, 1, 1, "20000101", "01/01/00", 7},   // Two-digit year 00 is 2000.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.dtos);
    const Date date = Date::from_ymd(c.year, c.month, c.day);
    ASSERT_FALSE(date.is_blank());
    EXPECT_EQ(DTOS(date), c.dtos);
    EXPECT_EQ(DTOC(date), c.dtoc);
    EXPECT_EQ(STOD(c.dtos), date);
    EXPECT_EQ(CTOD(c.dtoc), date);
    EXPECT_EQ(DOW(date), c.dow);
    EXPECT_EQ(date.year(), c.year);
    EXPECT_EQ(date.month(), c.month);
    EXPECT_EQ(date.day(), c.day);
  }
}

TEST(Date, ReadsTwoDigitYearsFromTheCenturyEpoch) {
  EXPECT_EQ(CTOD("01/01/79"), Date::from_ymd(2079, 1, 1));
  EXPECT_EQ(CTOD("01/01/80"), Date::from_ymd(1980, 1, 1));
  EXPECT_EQ(CTOD("31/12/99"), Date::from_ymd(1999, 12, 31));
  EXPECT_EQ(CTOD("01/01/00"), Date::from_ymd(2000, 1, 1));
  EXPECT_EQ(CTOD("15/06/1975"), Date::from_ymd(1975, 6, 15));
}

TEST(Date, InvalidTextGivesTheBlankDate) {
  for (std::string_view text : {"", "  /  /  ", "31/02/26", "00/01/26", "01/13/26", "1/1/26", "ab/cd/ef"}) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(CTOD(text).is_blank());
  }
  for (std::string_view text : {"", "        ", "20260230", "2026120", "2026x209"}) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(STOD(text).is_blank());
  }
}

TEST(Date, BlankDateFormsAndArithmetic) {
  const Date blank;
  EXPECT_EQ(DTOS(blank), "        ");
  EXPECT_EQ(DTOC(blank), "  /  /  ");
  EXPECT_TRUE((blank + 5).is_blank());
  EXPECT_EQ(blank - Date::from_ymd(2026, 1, 1), 0);
  EXPECT_LT(blank, Date::from_ymd(1, 1, 1));
}

TEST(Date, DayArithmeticCrossesMonthsAndYears) {
  const Date last = Date::from_ymd(2025, 12, 31);
  EXPECT_EQ(last + 1, Date::from_ymd(2026, 1, 1));
  EXPECT_EQ(Date::from_ymd(2024, 3, 1) - 1, Date::from_ymd(2024, 2, 29));
  EXPECT_EQ(Date::from_ymd(2090, 1, 1) - Date::from_ymd(2026, 12, 11), 23032);
}

}  // namespace
}  // namespace data
