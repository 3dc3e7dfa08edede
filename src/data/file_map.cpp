#include "data/file_map.h"

#include <sys/mman.h>

namespace data {

bool FileMap::map(int fd, std::size_t length) {
  reset();
  if (length == 0) return false;
  void* address = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
  if (address == MAP_FAILED) return false;
  m_data = static_cast<const std::byte*>(address);
  m_length = length;
  return true;
}

void FileMap::reset() {
  if (m_data) ::munmap(const_cast<std::byte*>(m_data), m_length);
  m_data = nullptr;
  m_length = 0;
}

}  // namespace data
