#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/date.h"

namespace startup {

// "Now" and the heartbeat as the business code asks for them, settled by the process's settings: the
// server's clock when the storage driver (DEF_RDD) is "ADSCDX" and the server client has set
// settings().server_clock, the workstation clock (settings().workstation_clock) otherwise; the heartbeat
// folder of settings().program_folder. Layers below take the clock and folder as parameters instead.

// Today, for every date the system stores, compares or prints.
data::Date XDATE();
// Now as "HH:MM:SS".
std::string XTIME();
// The server's date and time, or the workstation's while there is no server connection.
data::Date GET_SERVERDATE();
std::string GET_SERVERTIME();

// Writes this process's beat `name` at `date` and `time`; failures are silent.
void HEARTBEAT(std::string_view name, const data::Date& date, std::string_view time);
// The age of the beat `name` against XDATE() and XTIME().
std::int64_t GET_HEARTBEAT(std::string_view name);

// Counts the cycles that called it (XGARBAGECOUNT), back to 0 at the hundredth.
void CLEAR_GARBAGE();

}  // namespace startup
