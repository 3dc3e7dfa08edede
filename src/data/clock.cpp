#include "data/clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <thread>
#include <utility>

#include "data/number_format.h"

namespace data {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kPseudoMonth = 31 * kSecondsPerDay;
constexpr std::int64_t kPseudoYear = 372 * kSecondsPerDay;
constexpr int kFirstPlausibleServerYear = 1700;  // Earlier years come from a server clock never set.

// A number read from `text` as the business code's VAL reads it, kept whole.
std::int64_t whole_number(std::string_view text) { return static_cast<std::int64_t>(VAL(text)); }

std::string_view part(std::string_view text, std::size_t start, std::size_t length) {
  return start < text.size() ? text.substr(start, length) : std::string_view{};
}

}  // namespace

Date WorkstationClock::today() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date::from_ymd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string WorkstationClock::time_of_day() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // A leap second (tm_sec 60) shows as :59, so the text always reads as a valid time.
  return time_text_of_seconds(local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59));
}

ManualClock::ManualClock(Date today, std::string time_of_day)
    : m_today(today), m_time(std::move(time_of_day)) {}

void ManualClock::set(Date today, std::string time_of_day) {
  m_today = today;
  m_time = std::move(time_of_day);
}

void ManualClock::advance_seconds(std::int64_t seconds) {
  const std::int64_t now = whole_number(part(m_time, 0, 2)) * 3600 + whole_number(part(m_time, 3, 2)) * 60 +
                           whole_number(part(m_time, 6, 2));
  const std::int64_t total = now + seconds;
  std::int64_t days = total / kSecondsPerDay;
  std::int64_t rest = total % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  m_today = m_today + static_cast<std::int32_t>(days);
  m_time = time_text_of_seconds(rest);
}

std::string time_text_of_seconds(std::int64_t seconds) {
  std::int64_t s = seconds % kSecondsPerDay;
  if (s < 0) s += kSecondsPerDay;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(s / 3600),
                static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
  return text;
}

Date GET_SERVERDATE(const ServerClockQuery& server, const Clock& workstation) {
  if (!server) return workstation.today();
  const std::optional<ServerClockAnswer> answer = server();
  if (!answer) return workstation.today();
  return CTOD(answer->date_text);
}

std::string GET_SERVERTIME(const ServerClockQuery& server, const Clock& workstation) {
  if (!server) return workstation.time_of_day();
  const std::optional<ServerClockAnswer> answer = server();
  if (!answer || !std::isfinite(answer->milliseconds)) return workstation.time_of_day();
  // Whole seconds first, then hours modulo a day: an answer past midnight still reads as a time.
  const double seconds = std::floor(answer->milliseconds / 1000.0);
  if (std::fabs(seconds) > 1e15) return workstation.time_of_day();
  return time_text_of_seconds(static_cast<std::int64_t>(seconds));
}

ServerClock::ServerClock(ServerClockQuery server, const Clock& workstation)
    : m_server(std::move(server)), m_workstation(&workstation) {}

Date ServerClock::today() const {
  const Date date = GET_SERVERDATE(m_server, *m_workstation);
  return date.year() < kFirstPlausibleServerYear ? m_workstation->today() : date;
}

std::string ServerClock::time_of_day() const { return GET_SERVERTIME(m_server, *m_workstation); }

std::int64_t N_DATETIME(const Date& date, std::string_view time) {
  const std::int64_t hours = whole_number(part(time, 0, 2));
  const std::int64_t minutes = whole_number(part(time, 3, 2));
  const std::int64_t seconds = whole_number(part(time, 6, 2));
  return date.year() * kPseudoYear + date.month() * kPseudoMonth + date.day() * kSecondsPerDay +
         hours * 3600 + minutes * 60 + seconds;
}

std::int64_t N_DT_DIFF(const Date& date1, std::string_view time1, const Date& date2, std::string_view time2) {
  return N_DATETIME(date2, time2) - N_DATETIME(date1, time1);
}

void XWAITMILLISEC(std::int64_t milliseconds) {
  if (milliseconds <= 0) return;
  // Sleeping until the deadline blocks exactly as a busy wait would, without burning a core.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  std::this_thread::sleep_until(deadline);
}

}  // namespace data
