#pragma once

#include <sys/types.h>

#include <cstdint>

namespace data {

// Byte offsets of the locks the suite's FoxPro-style table drivers test on a DBF file.
// They lie far beyond the data, so locking never stops anyone from reading a row.
inline constexpr off_t kHeaderLockOffset = 0x7FFFFFFE;  // Also the append lock.
inline constexpr off_t kFileLockStart = 0x77FFFFFF;
inline constexpr off_t kFileLockLength = 0x07FFFFFF;  // Covers every record lock byte.
// Record r's lock byte counts down from just below the header byte.
constexpr off_t record_lock_offset(std::uint32_t recno) { return kHeaderLockOffset - static_cast<off_t>(recno); }

enum class LockKind { Shared, Exclusive };
enum class LockWait { No, Yes };

// Locks bytes [offset, offset + length) of the open file description behind `fd`. These
// are open-file-description locks: two descriptors opened separately, even in this
// process, exclude each other, and closing another descriptor of the same file does not
// drop them. Returns false when another holder has a conflicting lock (or, with
// LockWait::No, would make us wait) and when the system refuses (a read-only descriptor
// cannot take an exclusive lock).
bool lock_bytes(int fd, off_t offset, off_t length, LockKind kind, LockWait wait = LockWait::No);
// Releases exactly the range locked before.
void unlock_bytes(int fd, off_t offset, off_t length);

// Takes the whole-file share lock that keeps a shared open and an exclusive open of the
// same table apart (other programs on this machine take the same). False when the
// conflicting lock is held elsewhere.
bool lock_whole_file(int fd, LockKind kind);

}  // namespace data
