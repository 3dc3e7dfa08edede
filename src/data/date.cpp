#include "data/date.h"

#include <cstdio>

namespace data {
namespace {

constexpr int kEpochYear = 1980;  // Two-digit years below 80 belong to the next century.

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

struct Ymd {
  int year, month, day;
};

// Fliegel and Van Flandern's conversion from a Julian day number.
Ymd to_ymd(std::int32_t julian) {
  std::int64_t l = julian + 68569;
  const std::int64_t n = 4 * l / 146097;
  l = l - (146097 * n + 3) / 4;
  const std::int64_t i = 4000 * (l + 1) / 1461001;
  l = l - 1461 * i / 4 + 31;
  const std::int64_t j = 80 * l / 2447;
  const int day = static_cast<int>(l - 2447 * j / 80);
  l = j / 11;
  const int month = static_cast<int>(j + 2 - 12 * l);
  const int year = static_cast<int>(100 * (n - 49) + i + l);
  return {year, month, day};
}

// Parses exactly `width` decimal digits; -1 when any is not a digit.
int digits(std::string_view text, size_t width) {
  if (text.size() < width) return -1;
  int value = 0;
  for (size_t i = 0; i < width; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

Date Date::from_ymd(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > days_in_month(year, month)) {
    return Date{};
  }
  const std::int64_t a = (14 - month) / 12;
  const std::int64_t y = year + 4800 - a;
  const std::int64_t m = month + 12 * a - 3;
  return Date(static_cast<std::int32_t>(day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045));
}

int Date::year() const { return is_blank() ? 0 : to_ymd(m_julian).year; }
int Date::month() const { return is_blank() ? 0 : to_ymd(m_julian).month; }
int Date::day() const { return is_blank() ? 0 : to_ymd(m_julian).day; }

std::string DTOS(const Date& date) {
  if (date.is_blank()) return std::string(8, ' ');
  const Ymd d = to_ymd(date.julian());
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", d.year, d.month, d.day);
  return buffer;
}

Date STOD(std::string_view text) {
  const int year = digits(text, 4);
  const int month = text.size() >= 6 ? digits(text.substr(4), 2) : -1;
  const int day = text.size() >= 8 ? digits(text.substr(6), 2) : -1;
  if (year < 0 || month < 0 || day < 0) return Date{};
  return Date::from_ymd(year, month, day);
}

std::string DTOC(const Date& date) {
  if (date.is_blank()) return "  /  /  ";
  const Ymd d = to_ymd(date.julian());
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d", d.day, d.month, d.year % 100);
  return buffer;
}

std::string DTOC_century(const Date& date) {
  if (date.is_blank()) return "  /  /    ";
  const Ymd d = to_ymd(date.julian());
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", d.day, d.month, d.year);
  return buffer;
}

Date CTOD(std::string_view text) {
  if (text.size() < 8 || text[2] != '/' || text[5] != '/') return Date{};
  const int day = digits(text, 2);
  const int month = digits(text.substr(3), 2);
  const std::string_view year_text = text.substr(6);
  int year = -1;
  if (year_text.size() >= 4 && digits(year_text, 4) >= 0) {
    year = digits(year_text, 4);
  } else if (digits(year_text, 2) >= 0) {
    const int yy = digits(year_text, 2);
    year = yy >= kEpochYear % 100 ? 1900 + yy : 2000 + yy;
  }
  if (day < 0 || month < 0 || year < 0) return Date{};
  return Date::from_ymd(year, month, day);
}

int DOW(const Date& date) {
  if (date.is_blank()) return 0;
  // Julian day 0 was a Monday; xBase counts Sunday as 1.
  return static_cast<int>((date.julian() + 1) % 7) + 1;
}

}  // namespace data
