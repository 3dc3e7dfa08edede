#include "data/cdx_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "data/cdx_tag_header.h"

namespace data {
namespace {

// The index lock byte every FoxPro-style program tests.
constexpr off_t kIndexLockOffset = 0x7FFFFFFE;
constexpr std::uint32_t kDirectoryRoot = 0x400;
constexpr int kDirectoryKeyLength = 10;

std::uint64_t markers_of(std::uint32_t free_head, std::uint32_t counter) {
  return (std::uint64_t{counter} << 32) | free_head;
}

Result<void> write_all(int fd, std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Error{-1, std::strerror(errno)};
    }
    done += static_cast<std::size_t>(n);
  }
  return {};
}

}  // namespace

CdxFile::CdxFile(Token, std::string path, int fd, CdxFileId id, CdxPageCache& cache, CdxShare share, bool read_only)
    : m_path(std::move(path)), m_fd(fd), m_id(id), m_cache(cache), m_share(share), m_read_only(read_only) {}

CdxFile::~CdxFile() {
  if (m_depth > 0) {
    m_depth = 1;
    (void)unlock();
  }
  ::close(m_fd);
}

std::string CdxFile::name() const {
  const auto slash = m_path.find_last_of('/');
  return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

Error CdxFile::error(const std::string& what) const { return Error{-1, name() + ": " + what}; }

Result<std::unique_ptr<CdxFile>> CdxFile::open(const std::string& path, CdxPageCache& cache, CdxShare share,
                                                bool read_only) {
  const int fd = ::open(path.c_str(), (read_only ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  if (fd < 0) return Error{-1, path + ": " + std::strerror(errno)};
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int saved = errno;
    ::close(fd);
    return Error{-1, path + ": " + std::strerror(saved)};
  }
  const CdxFileId id{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  auto file = std::make_unique<CdxFile>(Token{}, path, fd, id, cache, share, read_only);
  if (st.st_size < static_cast<off_t>(kDirectoryRoot + kCdxPageSize) || st.st_size % kCdxPageSize != 0)
    return file->error("not an index file (" + std::to_string(st.st_size) + " bytes)");
  return file;
}

Result<std::unique_ptr<CdxFile>> CdxFile::create(const std::string& path, CdxPageCache& cache, CdxShare share) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return Error{-1, path + ": " + std::strerror(errno)};
  struct stat st {};
  ::fstat(fd, &st);
  const CdxFileId id{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  cache.drop_file(id);  // A file that had this inode before is gone.
  auto file = std::make_unique<CdxFile>(Token{}, path, fd, id, cache, share, false);

  std::vector<std::uint8_t> image(kDirectoryRoot + kCdxPageSize, 0);
  CdxTagHeader header;
  header.root = kDirectoryRoot;
  header.key_length = kDirectoryKeyLength;
  header.options = CdxTagHeader::kCompact | CdxTagHeader::kCompound | CdxTagHeader::kDirectory;
  encode_cdx_tag_header(header, std::span(image).first(kCdxHeaderSize));
  const CdxNode directory(kDirectoryKeyLength, CdxNode::kRootBit | CdxNode::kLeafBit);
  encode_cdx_node(directory, ' ', std::span(image).subspan(kDirectoryRoot, kCdxPageSize));
  if (auto written = write_all(fd, 0, image); !written) return file->error(written.error().text);
  return file;
}

Result<void> CdxFile::byte_lock(short type) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = kIndexLockOffset;
  fl.l_len = 1;
  // A read-only descriptor cannot hold a write lock; its writes fail anyway.
  if (type == F_WRLCK && m_read_only) fl.l_type = F_RDLCK;
  while (::fcntl(m_fd, F_OFD_SETLKW, &fl) != 0) {
    if (errno != EINTR) return error(std::string("index lock: ") + std::strerror(errno));
  }
  return {};
}

Result<void> CdxFile::read_markers() {
  std::uint8_t bytes[8];
  if (auto r = read_bytes(4, bytes); !r) return r;
  m_free_head = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
                std::uint32_t{bytes[3]} << 24;
  m_counter = std::uint32_t{bytes[4]} << 24 | std::uint32_t{bytes[5]} << 16 | std::uint32_t{bytes[6]} << 8 | bytes[7];
  const std::uint64_t markers = markers_of(m_free_head, m_counter);
  m_cache.validate(m_id, markers);
  if (!m_markers_known || markers != m_seen_markers) {
    ++m_generation;
    forget_recent();
  }
  m_seen_markers = markers;
  m_markers_known = true;
  return {};
}

Result<void> CdxFile::lock(CdxLockMode mode) {
  if (m_depth > 0) {
    if (mode == CdxLockMode::Write && m_mode == CdxLockMode::Read)
      return error("index write lock asked for inside a read lock");
    ++m_depth;
    return {};
  }
  if (mode == CdxLockMode::Write && m_read_only) return error("index opened read-only");
  if (m_share == CdxShare::Shared) {
    if (auto r = byte_lock(mode == CdxLockMode::Write ? F_WRLCK : F_RDLCK); !r) return r;
  }
  if (m_share == CdxShare::Shared || !m_markers_known) {
    if (auto r = read_markers(); !r) {
      if (m_share == CdxShare::Shared) (void)byte_lock(F_UNLCK);
      return r;
    }
  }
  if (mode == CdxLockMode::Write) {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
      if (m_share == CdxShare::Shared) (void)byte_lock(F_UNLCK);
      return error(std::strerror(errno));
    }
    m_end = static_cast<std::uint64_t>(st.st_size);
  }
  m_mode = mode;
  m_depth = 1;
  m_changed = false;
  return {};
}

Result<void> CdxFile::publish() {
  // Other programs cache pages until they see these eight bytes change.
  if (m_share == CdxShare::Shared) ++m_counter;
  std::uint8_t bytes[8];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(m_free_head >> (8 * i));
  for (int i = 0; i < 4; ++i) bytes[4 + i] = static_cast<std::uint8_t>(m_counter >> (24 - 8 * i));
  if (auto r = write_bytes(4, bytes); !r) return r;
  m_seen_markers = markers_of(m_free_head, m_counter);
  m_cache.set_markers(m_id, m_seen_markers);
  return {};
}

Result<void> CdxFile::unlock() {
  if (m_depth == 0) return {};
  if (--m_depth > 0) return {};
  Result<void> published;
  if (m_mode == CdxLockMode::Write && m_changed) published = publish();
  m_changed = false;
  if (m_share == CdxShare::Shared) {
    if (auto r = byte_lock(F_UNLCK); !r && published) published = r;
  }
  return published;
}

Result<void> CdxFile::read_bytes(std::uint64_t offset, std::span<std::uint8_t> bytes) const {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pread(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return error(std::strerror(errno));
    }
    if (n == 0) return error("offset " + std::to_string(offset) + " is past the end of the file");
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Result<void> CdxFile::write_bytes(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  if (m_read_only) return error("index opened read-only");
  if (auto r = write_all(m_fd, offset, bytes); !r) return error(r.error().text);
  m_changed = true;
  ++m_generation;
  return {};
}

std::uint64_t CdxFile::size() const {
  struct stat st {};
  return ::fstat(m_fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

Result<std::shared_ptr<const CdxNode>> CdxFile::read_node(std::uint32_t page, int key_length, char pad) {
  if (const RecentPage& recent = recent_slot(page);
      recent.node && recent.page == page && recent.node->key_length() == key_length)
    return recent.node;
  if (auto cached = m_cache.find(m_id, page); cached && cached->key_length() == key_length) {
    remember(page, cached);
    return cached;
  }
  if (page < kDirectoryRoot || page % kCdxPageSize != 0)
    return error("page offset " + std::to_string(page) + " is not a tree page");
  std::uint8_t bytes[kCdxPageSize];
  if (auto r = read_bytes(page, bytes); !r) return r.error();
  auto node = decode_cdx_node(bytes, key_length, pad);
  if (!node) return error("page " + std::to_string(page) + ": " + node.error().text);
  auto shared = std::make_shared<const CdxNode>(std::move(*node));
  m_cache.put(m_id, page, shared);
  remember(page, shared);
  return shared;
}

Result<void> CdxFile::write_node(std::uint32_t page, const CdxNode& node, char pad) {
  std::uint8_t bytes[kCdxPageSize];
  encode_cdx_node(node, pad, bytes);
  if (auto r = write_bytes(page, bytes); !r) return r;
  auto shared = std::make_shared<const CdxNode>(node);
  m_cache.put(m_id, page, shared);
  remember(page, std::move(shared));
  return {};
}

Result<bool> CdxFile::write_node_if_fits(std::uint32_t page, const CdxNode& node, char pad) {
  std::uint8_t bytes[kCdxPageSize];
  if (!encode_cdx_node_if_fits(node, pad, bytes)) return false;
  if (auto r = write_bytes(page, bytes); !r) return r.error();
  auto shared = std::make_shared<const CdxNode>(node);
  m_cache.put(m_id, page, shared);
  remember(page, std::move(shared));
  return true;
}

Result<std::uint32_t> CdxFile::allocate_page() {
  if (!holds_write_lock()) return error("page allocation without the index write lock");
  // The free-list head is taken out of the header before the page is used, so a crash
  // in between leaks the page instead of leaving it both free and in a tree.
  if (m_free_head != 0 && m_free_head != kCdxNoPage) {
    const std::uint32_t page = m_free_head;
    if (page % kCdxPageSize != 0 || page < kDirectoryRoot || page + kCdxPageSize > m_end)
      return error("free-list head " + std::to_string(page) + " is not a page of the file");
    std::uint8_t next[4];
    if (auto r = read_bytes(page, next); !r) return r.error();
    m_free_head = std::uint32_t{next[0]} | std::uint32_t{next[1]} << 8 | std::uint32_t{next[2]} << 16 |
                  std::uint32_t{next[3]} << 24;
    m_cache.erase(m_id, page);
    forget(page);
    std::uint8_t head[4];
    for (int i = 0; i < 4; ++i) head[i] = static_cast<std::uint8_t>(m_free_head >> (8 * i));
    if (auto r = write_bytes(4, head); !r) return r.error();
    return page;
  }
  if (m_end + kCdxPageSize > 0xFFFFFE00u) return error("index file is full");
  const auto page = static_cast<std::uint32_t>(m_end);
  m_end += kCdxPageSize;
  return page;
}

Result<std::uint32_t> CdxFile::allocate_header_pages() {
  if (!holds_write_lock()) return error("page allocation without the index write lock");
  if (m_end + kCdxHeaderSize > 0xFFFFFE00u) return error("index file is full");
  const auto page = static_cast<std::uint32_t>(m_end);
  m_end += kCdxHeaderSize;
  return page;
}

Result<void> CdxFile::free_page(std::uint32_t page) {
  if (!holds_write_lock()) return error("page release without the index write lock");
  std::uint8_t bytes[kCdxPageSize] = {};
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(m_free_head >> (8 * i));
  if (auto r = write_bytes(page, bytes); !r) return r;
  m_cache.erase(m_id, page);
  forget(page);
  m_free_head = page;  // Written to the header when the lock is released.
  return {};
}

Result<void> CdxFile::replace_contents(std::span<const std::uint8_t> image) {
  if (!holds_write_lock()) return error("rewrite without the index write lock");
  m_cache.drop_file(m_id);
  forget_recent();
  if (auto r = write_bytes(0, image); !r) return r;
  if (::ftruncate(m_fd, static_cast<off_t>(image.size())) != 0) return error(std::strerror(errno));
  m_end = image.size();
  m_free_head = std::uint32_t{image[4]} | std::uint32_t{image[5]} << 8 | std::uint32_t{image[6]} << 16 |
                std::uint32_t{image[7]} << 24;
  m_counter = std::uint32_t{image[8]} << 24 | std::uint32_t{image[9]} << 16 | std::uint32_t{image[10]} << 8 |
              image[11];
  return {};
}

}  // namespace data
