#include "notify/outbox_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <system_error>

#include "data/use_table.h"
#include "notify/trans_file.h"

namespace notify {

namespace {

// One day in hundredths: the names repeat after midnight, so a name is taken only while its
// message waits.
constexpr long kHundredthsPerDay = 8'640'000;
// Every hundredth of a whole day tried once: the folder is full or refuses new files.
constexpr long kMostAttempts = kHundredthsPerDay;

bool probe(const std::filesystem::path& folder) {
  const int fd = ::open((folder / "YES").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace

void ensure_mail_folders(const data::ProgramFolder& folder) {
  std::error_code ignored;
  if (!probe(folder.find("MAIL"))) {
    std::filesystem::create_directories(folder.find("MAIL/SEND"), ignored);
    std::filesystem::create_directories(folder.find("MAIL/RECEIVE"), ignored);
  }
  const std::filesystem::path send = folder.find("MAIL/SEND");
  if (!std::filesystem::is_directory(send, ignored)) std::filesystem::create_directories(send, ignored);
}

long hundredths_since_midnight() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto hundredths =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000 / 10;
  return (local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec) * 100L + static_cast<long>(hundredths);
}

data::Result<std::string> claim_generated_file(const std::filesystem::path& folder, std::string_view extension,
                                               const std::function<long()>& hundredths_now) {
  long moment = hundredths_now();
  for (long attempt = 0; attempt < kMostAttempts; ++attempt) {
    const std::string name = data::private_copy_name(moment, extension);
    const int fd = ::open((folder / name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) {
      return data::unexpected(kBodyUnwritable, "New files cannot be created in " + folder.string() + ": " +
                                                    std::strerror(errno));
    }
    // A clock that has not moved past the taken name gives the next number instead.
    const long now = hundredths_now();
    moment = now > moment ? now : (moment + 1) % kHundredthsPerDay;
  }
  return data::unexpected(kBodyUnwritable, "No free file name is left in " + folder.string());
}

}  // namespace notify
