#include "data/heartbeat.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <system_error>

#include "data/number_format.h"

namespace data {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kReadLimit = 1000;
constexpr std::int64_t kMissingBeat = -1;
// Beats of real dates are near 6.5e10; a larger number is junk and must not overflow the subtraction.
constexpr double kLargestBeat = 1e15;

fs::path beat_folder(const ProgramFolder& folder) { return folder.find("HBEAT"); }

fs::path beat_file(const fs::path& beat_folder, std::string_view name) {
  return find_case_insensitive(beat_folder, std::string(name) + ".HBT");
}

// Probes the folder by creating YES in it, as every program of the suite does; creates the folder when
// the probe fails.
void ensure_folder(const fs::path& folder) {
  const fs::path probe = find_case_insensitive(folder, "YES");
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd >= 0) {
    ::close(fd);
    return;
  }
  std::error_code ec;
  fs::create_directory(folder, ec);
}

}  // namespace

std::string heartbeat_line(const Date& date, std::string_view time) {
  char line[40];
  std::snprintf(line, sizeof line, "%20lld\r\n", static_cast<long long>(N_DATETIME(date, time)));
  return line;
}

void HEARTBEAT(const ProgramFolder& folder, std::string_view name, const Date& date, std::string_view time) {
  const fs::path beats = beat_folder(folder);
  ensure_folder(beats);
  // Failures are not reported: a missing beat already tells the other programs what they need to know.
  // The dispatch step beats once per message, so the beat does not wait for the disk.
  (void)replace_file_contents(beat_file(beats, name), heartbeat_line(date, time), InPlaceFallback::Allow,
                              Durability::Lazy);
}

std::int64_t GET_HEARTBEAT(const ProgramFolder& folder, std::string_view name, const Clock& clock) {
  const std::int64_t now = N_DATETIME(clock.today(), clock.time_of_day());
  const Result<std::string> bytes = read_file_start(beat_file(beat_folder(folder), name), kReadLimit);
  if (!bytes) return now - kMissingBeat;
  std::string text = *bytes;
  std::erase(text, '\n');
  const std::size_t line_end = text.find('\r');
  if (line_end == std::string::npos) return -1;
  const double beat = VAL(std::string_view(text).substr(0, line_end));
  if (!std::isfinite(beat) || std::fabs(beat) > kLargestBeat) return now;
  return now - static_cast<std::int64_t>(beat);
}

}  // namespace data
