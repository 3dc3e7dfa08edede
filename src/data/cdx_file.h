#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "data/cdx_node.h"
#include "data/cdx_page_cache.h"
#include "data/result.h"

namespace data {

// How an index file is shared. Shared files take the index lock byte around every
// read and write, as the suite's other programs do; exclusive ones skip it.
enum class CdxShare { Exclusive, Shared };
enum class CdxLockMode { Read, Write };

// One open index file: its descriptor, the index lock, the file header's free list and
// change counter, and page reads and writes through the process's page cache.
//
// Locking: the byte 0x7FFFFFFE of the file, shared while reading and exclusive while
// writing, taken as an open-file-description lock so that two work areas of this
// process exclude each other like two programs do. On taking it the header's free-list
// head and change counter are re-read; if they differ from what the cache recorded,
// the cache drops this file's pages. Releasing a write lock after a change bumps the
// counter and rewrites bytes 4-11, so readers elsewhere drop their stale pages.
//
// Besides the shared cache, each open file keeps the pages it used last in a small
// table of its own (a lookup there takes no lock and no hashing), emptied whenever the
// markers show a change by anyone else.
class CdxFile {
 public:
  static Result<std::unique_ptr<CdxFile>> open(const std::string& path, CdxPageCache& cache, CdxShare share,
                                                bool read_only);
  // Creates an empty index (file header and an empty tag directory), replacing any file
  // at `path`.
  static Result<std::unique_ptr<CdxFile>> create(const std::string& path, CdxPageCache& cache, CdxShare share);
  ~CdxFile();
  CdxFile(const CdxFile&) = delete;
  CdxFile& operator=(const CdxFile&) = delete;

  const std::string& path() const { return m_path; }
  // The file name without its folder, for messages.
  std::string name() const;
  CdxShare share() const { return m_share; }
  bool is_read_only() const { return m_read_only; }
  // Changes whenever pages seen before may have changed: this file object's own writes,
  // or another writer's change noticed when taking the lock. Cursors compare it to
  // decide whether their leaf's sibling links can still be followed.
  std::uint64_t generation() const { return m_generation; }
  bool holds_write_lock() const { return m_depth > 0 && m_mode == CdxLockMode::Write; }

  // Takes the index lock (waiting for it). Nested calls are counted; a write lock
  // cannot be taken inside a read lock.
  [[nodiscard]] Result<void> lock(CdxLockMode mode);
  // Releases one level; the last release of a write lock after a change publishes it.
  [[nodiscard]] Result<void> unlock();

  // A decoded page of a tag with this key length and pad byte. Requires a lock.
  Result<std::shared_ptr<const CdxNode>> read_node(std::uint32_t page, int key_length, char pad);
  // Requires the write lock and cdx_node_fits(node, pad).
  [[nodiscard]] Result<void> write_node(std::uint32_t page, const CdxNode& node, char pad);
  // Writes the node when it fits in one page; false (and nothing written) when not.
  Result<bool> write_node_if_fits(std::uint32_t page, const CdxNode& node, char pad);
  // A page for a new node: the head of the free list, else a new page at the end.
  Result<std::uint32_t> allocate_page();
  // Two consecutive new pages at the end of the file, for a tag header.
  Result<std::uint32_t> allocate_header_pages();
  // Puts a page on the free list. Requires the write lock.
  [[nodiscard]] Result<void> free_page(std::uint32_t page);

  // The header pages as last read, kept in the shared cache as long as the markers stay
  // the same. Require a lock. Whoever changes the directory or a tag header forgets it.
  std::shared_ptr<const CdxCatalogue> cached_catalogue() { return m_cache.catalogue(m_id); }
  void cache_catalogue(std::shared_ptr<const CdxCatalogue> catalogue) {
    m_cache.put_catalogue(m_id, std::move(catalogue));
  }
  void forget_catalogue() { m_cache.forget_catalogue(m_id); }

  [[nodiscard]] Result<void> read_bytes(std::uint64_t offset, std::span<std::uint8_t> bytes) const;
  [[nodiscard]] Result<void> write_bytes(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  // Replaces the whole file with `image` (a complete index). Requires the write lock.
  [[nodiscard]] Result<void> replace_contents(std::span<const std::uint8_t> image);
  std::uint64_t size() const;
  std::uint32_t free_list_head() const { return m_free_head; }
  std::uint32_t change_counter() const { return m_counter; }

 private:
  struct Token {};

 public:
  // Use open() or create().
  CdxFile(Token, std::string path, int fd, CdxFileId id, CdxPageCache& cache, CdxShare share, bool read_only);

 private:
  Result<void> byte_lock(short type);
  Result<void> read_markers();
  Result<void> publish();
  Error error(const std::string& what) const;

  struct RecentPage {
    std::uint32_t page = 0;
    std::shared_ptr<const CdxNode> node;
  };
  RecentPage& recent_slot(std::uint32_t page) { return m_recent[(page / kCdxPageSize) % m_recent.size()]; }
  void remember(std::uint32_t page, std::shared_ptr<const CdxNode> node) { recent_slot(page) = {page, std::move(node)}; }
  void forget(std::uint32_t page) {
    if (recent_slot(page).page == page) recent_slot(page) = {};
  }
  void forget_recent() { m_recent.fill({}); }

  std::string m_path;
  int m_fd;
  CdxFileId m_id;
  CdxPageCache& m_cache;
  CdxShare m_share;
  bool m_read_only;
  int m_depth = 0;
  CdxLockMode m_mode = CdxLockMode::Read;
  bool m_changed = false;
  std::uint64_t m_generation = 1;
  std::uint64_t m_seen_markers = 0;
  bool m_markers_known = false;
  std::uint32_t m_free_head = 0;
  std::uint32_t m_counter = 0;
  std::uint64_t m_end = 0;  // File size while writing, grown by allocations.
  std::array<RecentPage, 256> m_recent;  // By page number, modulo the size.
};

// Scope guard for the index lock; check ok() before using the file.
class CdxLock {
 public:
  CdxLock(CdxFile& file, CdxLockMode mode) : m_file(file), m_result(file.lock(mode)) {}
  ~CdxLock() {
    if (m_result) (void)m_file.unlock();
  }
  CdxLock(const CdxLock&) = delete;
  CdxLock& operator=(const CdxLock&) = delete;
  bool ok() const { return m_result.has_value(); }
  const Error& error() const { return m_result.error(); }
  // Releases early and reports a failure to publish the change.
  [[nodiscard]] Result<void> release() {
    if (!m_result) return m_result;
    m_result = Error{-1, "released"};
    return m_file.unlock();
  }

 private:
  CdxFile& m_file;
  Result<void> m_result;
};

}  // namespace data
