#pragma once

#include <sys/types.h>

#include <cstddef>
#include <span>

namespace data {

// Positional reads and writes that finish the whole transfer (retrying short transfers and
// interruptions). read_exact() returns false at end of file as well as on errors, with
// errno set for errors; write_exact() returns false on any error.
bool read_exact(int fd, void* buffer, std::size_t length, off_t offset);
bool write_exact(int fd, const void* buffer, std::size_t length, off_t offset);
// Writes `bytes` followed by one `trailer` byte, in one call when the system allows.
bool write_exact(int fd, std::span<const std::byte> bytes, std::byte trailer, off_t offset);
// Reads up to `length` bytes; the count read, or -1 on error.
ssize_t read_some(int fd, void* buffer, std::size_t length, off_t offset);

}  // namespace data
