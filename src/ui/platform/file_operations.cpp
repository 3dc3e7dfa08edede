#include "ui/platform/file_operations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace ui::platform {

namespace {

// Closes a descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  ~Descriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return m_fd; }
  bool is_open() const { return m_fd >= 0; }
  int release_and_close() {
    const int rc = ::close(m_fd);
    m_fd = -1;
    return rc;
  }

 private:
  int m_fd;
};

bool copy_bytes(int from, int to) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t written = 0; written < got;) {
      const ssize_t put = ::write(to, buffer + written, static_cast<std::size_t>(got - written));
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      written += put;
    }
  }
}

}  // namespace

int COPYFILE(const std::string& source, const std::string& target, Overwrite overwrite, FileTimes times) {
  Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.is_open()) return -2;
  struct stat source_info {};
  if (::fstat(in.get(), &source_info) != 0) return -1;

  // O_EXCL makes the refusal atomic: a target that exists is never opened for writing.
  const int create = overwrite == Overwrite::Refuse ? O_CREAT | O_EXCL : O_CREAT | O_TRUNC;
  const bool existed = ::access(target.c_str(), F_OK) == 0;
  Descriptor out(::open(target.c_str(), O_WRONLY | O_CLOEXEC | create, source_info.st_mode & 0777));
  if (!out.is_open()) return -5;
  if (!copy_bytes(in.get(), out.get()) || out.release_and_close() != 0) {
    if (!existed) ::unlink(target.c_str());
    return -5;
  }

  Descriptor again(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
  if (!again.is_open()) return -4;
  struct timespec stamps[2];
  if (times == FileTimes::KeepSource) {
    stamps[0] = source_info.st_atim;
    stamps[1] = source_info.st_mtim;
  } else {
    if (::clock_gettime(CLOCK_REALTIME, &stamps[0]) != 0) return -6;
    stamps[1] = stamps[0];
  }
  if (::futimens(again.get(), stamps) != 0) return -3;
  return 0;
}

int REMOVEFILE(const std::string& name) { return ::unlink(name.c_str()) == 0 ? 0 : -1; }

}  // namespace ui::platform
