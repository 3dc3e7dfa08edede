#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace data {

// A calendar date as a day number, the value of every date field, key and schedule.
// `Date{}` is the blank date: it sorts before every other date, its DTOS is eight
// blanks and its DTOC "  /  /  ". Day arithmetic on a blank date keeps it blank.
class Date {
 public:
  constexpr Date() = default;

  // The date of a day of the proleptic Gregorian calendar; blank when the day does
  // not exist (30 February, month 13, year 0).
  static Date from_ymd(int year, int month, int day);
  // The date with the given Julian day number (2440588 is 1970-01-01); 0 is blank.
  static constexpr Date from_julian(std::int32_t julian) { return Date(julian); }

  constexpr bool is_blank() const { return m_julian == 0; }
  constexpr std::int32_t julian() const { return m_julian; }
  int year() const;   // 0 for the blank date.
  int month() const;  // 1..12; 0 for the blank date.
  int day() const;    // 1..31; 0 for the blank date.

  constexpr auto operator<=>(const Date&) const = default;

  Date operator+(std::int32_t days) const { return is_blank() ? Date{} : Date(m_julian + days); }
  Date operator-(std::int32_t days) const { return is_blank() ? Date{} : Date(m_julian - days); }
  // Days from `other` to this date; 0 when either is blank.
  std::int32_t operator-(const Date& other) const {
    return is_blank() || other.is_blank() ? 0 : m_julian - other.m_julian;
  }

 private:
  constexpr explicit Date(std::int32_t julian) : m_julian(julian) {}
  std::int32_t m_julian = 0;
};

// "YYYYMMDD", the key form; eight blanks for the blank date.
std::string DTOS(const Date& date);
// A date from "YYYYMMDD" (the key form); blank when the text is not such a date.
Date STOD(std::string_view text);
// "dd/mm/yy", the form every text shows after start-up; "  /  /  " when blank.
std::string DTOC(const Date& date);
// "dd/mm/yyyy", the form with the century.
std::string DTOC_century(const Date& date);
// A date from "dd/mm/yy" or "dd/mm/yyyy". Two-digit years count from the century
// epoch 1980: 80..99 are 1980..1999 and 00..79 are 2000..2079. Blank when the text
// is not a valid date.
Date CTOD(std::string_view text);
// Day of the week, 1 for Sunday through 7 for Saturday; 0 for the blank date.
int DOW(const Date& date);

}  // namespace data
