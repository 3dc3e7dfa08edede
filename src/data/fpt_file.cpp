#include "data/fpt_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "data/file_io.h"
#include "data/file_lock.h"

namespace data {
namespace {

constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kBlockHeaderSize = 8;
constexpr std::uint32_t kMaxMemoLength = 64u << 20;  // Guards against a corrupt length field.

std::uint32_t be32(const unsigned char* b) {
  return static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
         static_cast<std::uint32_t>(b[2]) << 8 | b[3];
}
void put_be32(unsigned char* b, std::uint32_t v) {
  b[0] = static_cast<unsigned char>(v >> 24);
  b[1] = static_cast<unsigned char>(v >> 16);
  b[2] = static_cast<unsigned char>(v >> 8);
  b[3] = static_cast<unsigned char>(v);
}

Error io_error(const std::filesystem::path& path, const char* what) {
  return table_error(TableErrorCode::Io, std::string(what) + " " + path.string() + ": " + std::strerror(errno));
}

// Holds the FPT allocation lock (byte 0) for one write in shared mode.
class AllocationLock {
 public:
  AllocationLock(int fd, Share share) : m_fd(share == Share::Shared ? fd : -1) {
    if (m_fd >= 0) m_held = lock_bytes(m_fd, 0, 1, LockKind::Exclusive, LockWait::Yes);
  }
  ~AllocationLock() {
    if (m_held) unlock_bytes(m_fd, 0, 1);
  }
  AllocationLock(const AllocationLock&) = delete;
  AllocationLock& operator=(const AllocationLock&) = delete;

 private:
  int m_fd;
  bool m_held = false;
};

}  // namespace

Result<std::unique_ptr<FptFile>> FptFile::open(const std::filesystem::path& path, Access access, Share share) {
  const int flags = (access == Access::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
  UniqueFd fd(::open(path.c_str(), flags));
  if (!fd) {
    if (errno == ENOENT) return table_error(TableErrorCode::NotFound, "memo file " + path.string() + " is missing");
    return io_error(path, "cannot open memo file");
  }
  unsigned char header[8];
  if (!read_exact(fd.get(), header, sizeof header, 0)) {
    return table_error(TableErrorCode::BadFormat, "memo file " + path.string() + " has no complete header");
  }
  // Bytes 4-5 are zero in every writer's files, so reading 4-7 as one number is the same.
  const std::uint32_t block_size = be32(header + 4);
  if (block_size == 0 || block_size > 65536) {
    return table_error(TableErrorCode::BadFormat,
                       "memo file " + path.string() + " states block size " + std::to_string(block_size));
  }
  return std::make_unique<FptFile>(Key{}, std::move(fd), share, block_size, path);
}

Result<std::unique_ptr<FptFile>> FptFile::create(const std::filesystem::path& path, std::uint32_t block_size) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!fd) return io_error(path, "cannot create memo file");
  unsigned char header[kHeaderSize] = {};
  const std::uint32_t first_block = static_cast<std::uint32_t>((kHeaderSize + block_size - 1) / block_size);
  put_be32(header, first_block);
  header[6] = static_cast<unsigned char>(block_size >> 8);
  header[7] = static_cast<unsigned char>(block_size);
  if (!write_exact(fd.get(), header, sizeof header, 0)) return io_error(path, "cannot write memo file");
  return std::make_unique<FptFile>(Key{}, std::move(fd), Share::Exclusive, block_size, path);
}

Result<std::uint32_t> FptFile::next_free_block() const {
  unsigned char b[4];
  if (!read_exact(m_fd.get(), b, sizeof b, 0)) return io_error(m_path, "cannot read memo header of");
  return be32(b);
}

std::uint32_t FptFile::blocks_for(std::size_t data_length) const {
  return static_cast<std::uint32_t>((kBlockHeaderSize + data_length + m_block_size - 1) / m_block_size);
}

Result<std::string> FptFile::read(std::uint32_t block) const {
  const auto corrupt = [&](const std::string& why) {
    return table_error(TableErrorCode::BadFormat,
                       "memo block " + std::to_string(block) + " of " + m_path.string() + " " + why);
  };
  const off_t offset = static_cast<off_t>(block) * m_block_size;
  if (offset < static_cast<off_t>(kHeaderSize)) return corrupt("lies inside the header");
  struct stat st {};
  if (::fstat(m_fd.get(), &st) != 0) return io_error(m_path, "cannot stat");
  if (offset + static_cast<off_t>(kBlockHeaderSize) > st.st_size) return corrupt("lies past the end of the file");
  unsigned char head[kBlockHeaderSize];
  if (!read_exact(m_fd.get(), head, sizeof head, offset)) return corrupt("cannot be read");
  const std::uint32_t length = be32(head + 4);
  if (length > kMaxMemoLength || offset + static_cast<off_t>(kBlockHeaderSize + length) > st.st_size) {
    return corrupt("states length " + std::to_string(length) + ", past the end of the file");
  }
  std::string data(length, '\0');
  if (length > 0 && !read_exact(m_fd.get(), data.data(), length, offset + kBlockHeaderSize)) {
    return corrupt("cannot be read");
  }
  return data;
}

Result<std::uint32_t> FptFile::blocks_of_memo_at(std::uint32_t block) const {
  unsigned char head[kBlockHeaderSize];
  if (!read_exact(m_fd.get(), head, sizeof head, static_cast<off_t>(block) * m_block_size)) return 0u;
  const std::uint32_t length = be32(head + 4);
  if (length > kMaxMemoLength) return 0u;
  return blocks_for(length);
}

Result<std::uint32_t> FptFile::write(std::uint32_t old_block, std::string_view data, std::uint32_t type) {
  if (data.size() > kMaxMemoLength) {
    return table_error(TableErrorCode::BadValue, "a memo longer than 64 MB cannot be stored");
  }
  AllocationLock lock(m_fd.get(), m_share);
  Result<std::uint32_t> next_free = next_free_block();
  if (!next_free) return next_free.error();
  const std::uint32_t first_block = static_cast<std::uint32_t>((kHeaderSize + m_block_size - 1) / m_block_size);
  const std::uint32_t needed = blocks_for(data.size());

  std::uint32_t target = *next_free;
  std::uint32_t new_next_free = *next_free + needed;
  if (old_block >= first_block && old_block < *next_free) {
    Result<std::uint32_t> old_blocks = blocks_of_memo_at(old_block);
    if (!old_blocks) return old_blocks.error();
    if (*old_blocks > 0 && needed <= *old_blocks) {
      target = old_block;  // Fits where it was.
      new_next_free = *next_free;
    } else if (*old_blocks > 0 && old_block + *old_blocks == *next_free) {
      target = old_block;  // The last memo of the file grows in place.
      new_next_free = old_block + needed;
    }
  }
  if (target < first_block) target = first_block;

  std::vector<unsigned char> buffer(static_cast<std::size_t>(needed) * m_block_size, 0);
  put_be32(buffer.data(), type);
  put_be32(buffer.data() + 4, static_cast<std::uint32_t>(data.size()));
  std::memcpy(buffer.data() + kBlockHeaderSize, data.data(), data.size());
  // The last memo of the file is written without its filler, as other writers leave it.
  const bool is_last = target + needed >= new_next_free;
  const std::size_t length = is_last ? kBlockHeaderSize + data.size() : buffer.size();
  if (!write_exact(m_fd.get(), buffer.data(), length, static_cast<off_t>(target) * m_block_size)) {
    return io_error(m_path, "cannot write memo to");
  }
  if (new_next_free != *next_free) {
    unsigned char b[4];
    put_be32(b, new_next_free);
    if (!write_exact(m_fd.get(), b, sizeof b, 0)) return io_error(m_path, "cannot write memo header of");
  }
  return target;
}

Result<void> FptFile::sync() {
  if (::fdatasync(m_fd.get()) != 0) return io_error(m_path, "cannot sync");
  return {};
}

}  // namespace data
