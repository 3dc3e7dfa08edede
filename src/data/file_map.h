#pragma once

#include <cstddef>
#include <span>

namespace data {

// A read-only shared memory map of the first bytes of a file, unmapped on destruction.
// Pages written through the descriptor (pwrite) show through at once, because both go
// through the same page cache. Reading past the end of the file through the map would
// fault, so callers read only bytes they know the file holds.
class FileMap {
 public:
  FileMap() = default;
  ~FileMap() { reset(); }
  FileMap(const FileMap&) = delete;
  FileMap& operator=(const FileMap&) = delete;

  // Maps the first `length` bytes of `fd`; false (and empty) when the system refuses.
  bool map(int fd, std::size_t length);
  void reset();
  std::span<const std::byte> bytes() const { return {m_data, m_length}; }
  bool contains(std::size_t offset, std::size_t length) const { return offset + length <= m_length; }

 private:
  const std::byte* m_data = nullptr;
  std::size_t m_length = 0;
};

}  // namespace data
