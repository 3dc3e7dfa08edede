#include "startup/clock_globals.h"

#include "data/clock.h"
#include "data/heartbeat.h"
#include "startup/settings.h"

namespace startup {
namespace {

constexpr int kGarbageCycles = 100;

bool is_server_mode() { return settings().DEF_RDD == "ADSCDX"; }

// The server's clock only while a connection is open; an empty query makes every call local.
data::ServerClockQuery connected_server() {
  const Settings& s = settings();
  return s.XADS_MYCONNECTION.value_or(false) ? s.server_clock : data::ServerClockQuery{};
}

// The clock XDATE and XTIME read, for the heartbeat reader.
class ProcessClock final : public data::Clock {
 public:
  data::Date today() const override { return XDATE(); }
  std::string time_of_day() const override { return XTIME(); }
};

}  // namespace

data::Date XDATE() {
  const data::Clock& workstation = *settings().workstation_clock;
  if (!is_server_mode()) return workstation.today();
  return data::ServerClock(connected_server(), workstation).today();
}

std::string XTIME() {
  const data::Clock& workstation = *settings().workstation_clock;
  if (!is_server_mode()) return workstation.time_of_day();
  return data::ServerClock(connected_server(), workstation).time_of_day();
}

data::Date GET_SERVERDATE() {
  return data::GET_SERVERDATE(connected_server(), *settings().workstation_clock);
}

std::string GET_SERVERTIME() {
  return data::GET_SERVERTIME(connected_server(), *settings().workstation_clock);
}

void HEARTBEAT(std::string_view name, const data::Date& date, std::string_view time) {
  data::HEARTBEAT(settings().program_folder, name, date, time);
}

std::int64_t GET_HEARTBEAT(std::string_view name) {
  return data::GET_HEARTBEAT(settings().program_folder, name, ProcessClock{});
}

void CLEAR_GARBAGE() {
  // Memory is released as soon as its owner goes, so there is no collector to run: only the count the
  // suite's other screens look at is kept.
  if (++settings().XGARBAGECOUNT >= kGarbageCycles) settings().XGARBAGECOUNT = 0;
}

}  // namespace startup
