#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/date.h"

namespace data {

// Where "now" comes from for every date and time the system stores, compares or prints. Business code
// reads it through XDATE and XTIME; tests hand a ManualClock to the code under test.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual Date today() const = 0;
  // "HH:MM:SS", 24-hour, two digits each.
  virtual std::string time_of_day() const = 0;
};

// The workstation's local clock.
class WorkstationClock final : public Clock {
 public:
  Date today() const override;
  std::string time_of_day() const override;
};

// A clock that shows what it was set to, for tests and replays.
class ManualClock final : public Clock {
 public:
  ManualClock(Date today, std::string time_of_day);
  Date today() const override { return m_today; }
  std::string time_of_day() const override { return m_time; }
  void set(Date today, std::string time_of_day);
  // Moves the clock on by whole seconds, across midnight into the next days.
  void advance_seconds(std::int64_t seconds);

 private:
  Date m_today;
  std::string m_time;
};

// What the database server answers when asked for its clock: its date as text in the current date
// format ("dd/mm/yy"), its time as text, and the milliseconds since its midnight.
struct ServerClockAnswer {
  std::string date_text;
  std::string time_text;
  double milliseconds = 0;
};

// The seam through which the database server client answers for the server's clock: empty when no
// server connection is open, otherwise a call that asks the server once and gives nothing when the
// answer is missing or malformed.
using ServerClockQuery = std::function<std::optional<ServerClockAnswer>()>;

// The server's date, or `workstation`'s when there is no connection or no usable answer.
Date GET_SERVERDATE(const ServerClockQuery& server, const Clock& workstation);
// The server's time built from its milliseconds since midnight, or `workstation`'s.
std::string GET_SERVERTIME(const ServerClockQuery& server, const Clock& workstation);

// The clock of server mode: the server's, with the workstation's standing in while the server cannot
// answer. A date before the year 1700 is an uninitialised server clock and gives the workstation date.
// Each call asks the server once, so a date and a time read by two calls can straddle midnight.
// Requires: `workstation` outlives this clock.
class ServerClock final : public Clock {
 public:
  ServerClock(ServerClockQuery server, const Clock& workstation);
  Date today() const override;
  std::string time_of_day() const override;

 private:
  ServerClockQuery m_server;
  const Clock* m_workstation;  // Not owned.
};

// "HH:MM:SS" of a count of seconds since midnight, taken modulo one day.
std::string time_text_of_seconds(std::int64_t seconds);

// The comparable count of pseudo-seconds in which every month has 31 days and every year 372:
// year × 372 × 86400 + month × 31 × 86400 + day × 86400 + hours × 3600 + minutes × 60 + seconds.
// The time is read by position (hours at 1–2, minutes at 4–5, seconds at 7–8); a missing or
// non-numeric part counts 0, and a blank date counts 0 days.
std::int64_t N_DATETIME(const Date& date, std::string_view time);
// N_DATETIME(date2, time2) − N_DATETIME(date1, time1).
std::int64_t N_DT_DIFF(const Date& date1, std::string_view time1, const Date& date2, std::string_view time2);

// Blocks the calling thread for `milliseconds` of a monotonic clock, processing no messages.
// Zero or a negative count returns at once.
void XWAITMILLISEC(std::int64_t milliseconds);

}  // namespace data
