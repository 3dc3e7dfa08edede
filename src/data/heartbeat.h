#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/clock.h"
#include "data/date.h"
#include "data/program_folder.h"

namespace data {

// The heartbeat files in the program folder's HBEAT/ folder, shared by every program of the suite that
// runs from that folder. A program rewrites its file once a minute to say it is alive; the others read
// its age. The file holds one line: the pseudo-seconds of the beat (N_DATETIME) right-aligned in 20
// characters, then CR LF. The other programs read exactly that layout.

// The name the mail server beats under.
inline constexpr std::string_view kMailServerBeat = "MAILSERV";
// A beat at most this many pseudo-seconds old means its program is working.
inline constexpr std::int64_t kAliveBeatAge = 300;

inline bool is_alive_beat(std::int64_t age) { return age <= kAliveBeatAge; }

// The line of a beat at `date` and `time`, as written to the file.
std::string heartbeat_line(const Date& date, std::string_view time);

// Writes the beat `name` (HBEAT/<name>.HBT). The folder is probed by creating the file YES in it
// (which stays) and created when that fails. The file is replaced through a temporary file in the same
// folder, so a reader never meets a half-written line; where the share refuses the rename the file is
// rewritten in place. Nothing is reported on failure: readers then see an old or missing beat and treat
// the program as not working.
void HEARTBEAT(const ProgramFolder& folder, std::string_view name, const Date& date, std::string_view time);

// The age of the beat `name` in pseudo-seconds, against `clock`'s now:
// - a missing or unreadable file counts as a beat at −1, so the age is far above 300;
// - a file without any CR in its first 1000 bytes (empty, or met while being rewritten in place) gives
//   −1, which counts as alive;
// - otherwise now minus the number the first line begins with (0 for a line that holds no number, and
//   for one too large to be a beat, so junk never reads as alive). A beat from a clock ahead of this one
//   gives a negative age.
std::int64_t GET_HEARTBEAT(const ProgramFolder& folder, std::string_view name, const Clock& clock);

}  // namespace data
