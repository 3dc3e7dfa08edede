#include "data/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace data {
namespace {

bool set_lock(int fd, short type, off_t offset, off_t length, LockWait wait) {
  struct flock request {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = offset;
  request.l_len = length;
  request.l_pid = 0;  // Required for open-file-description locks.
  const int command = wait == LockWait::Yes ? F_OFD_SETLKW : F_OFD_SETLK;
  while (::fcntl(fd, command, &request) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace

bool lock_bytes(int fd, off_t offset, off_t length, LockKind kind, LockWait wait) {
  return set_lock(fd, kind == LockKind::Exclusive ? F_WRLCK : F_RDLCK, offset, length, wait);
}

void unlock_bytes(int fd, off_t offset, off_t length) { set_lock(fd, F_UNLCK, offset, length, LockWait::No); }

bool lock_whole_file(int fd, LockKind kind) {
  const int operation = (kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  while (::flock(fd, operation) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

}  // namespace data
