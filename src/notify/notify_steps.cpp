#include "notify/notify_steps.h"

#include <cctype>

namespace notify {

namespace {

// The number of two digits at `position`; 0 when they are missing or not digits.
std::int64_t two_digits(std::string_view time, std::size_t position) {
  if (time.size() < position + 2) return 0;
  std::int64_t value = 0;
  for (std::size_t i = position; i < position + 2; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(time[i]))) return 0;
    value = value * 10 + (time[i] - '0');
  }
  return value;
}

}  // namespace

std::int64_t seconds_of_day(std::string_view time) {
  return two_digits(time, 0) * 3600 + two_digits(time, 3) * 60 + two_digits(time, 6);
}

bool passes_schedule_clock(std::int64_t& last_time, std::int64_t now) {
  const bool has_passed_midnight = last_time > now;
  last_time = now;
  return !has_passed_midnight;
}

}  // namespace notify
