#include "data/file_io.h"

#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

namespace data {

ssize_t read_some(int fd, void* buffer, std::size_t length, off_t offset) {
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::pread(fd, out + done, length - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

bool read_exact(int fd, void* buffer, std::size_t length, off_t offset) {
  errno = 0;
  return read_some(fd, buffer, length, offset) == static_cast<ssize_t>(length);
}

bool write_exact(int fd, const void* buffer, std::size_t length, off_t offset) {
  const auto* in = static_cast<const char*>(buffer);
  while (length > 0) {
    const ssize_t n = ::pwrite(fd, in, length, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    in += n;
    length -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

bool write_exact(int fd, std::span<const std::byte> bytes, std::byte trailer, off_t offset) {
  iovec parts[2] = {{const_cast<std::byte*>(bytes.data()), bytes.size()}, {&trailer, 1}};
  ssize_t n = 0;
  do {
    n = ::pwritev(fd, parts, 2, offset);
  } while (n < 0 && errno == EINTR);
  if (n == static_cast<ssize_t>(bytes.size() + 1)) return true;
  if (n < 0) return false;
  // A short write: finish it piece by piece.
  const auto done = static_cast<std::size_t>(n);
  if (done < bytes.size() && !write_exact(fd, bytes.data() + done, bytes.size() - done, offset + n)) return false;
  return write_exact(fd, &trailer, 1, offset + static_cast<off_t>(bytes.size()));
}

}  // namespace data
