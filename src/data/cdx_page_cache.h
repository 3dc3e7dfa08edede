#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/cdx_node.h"
#include "data/cdx_tag_header.h"

namespace data {

// Identifies an index file across opens: every work area that opens the same file
// shares its cached pages.
struct CdxFileId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const CdxFileId&) const = default;
};

// What an index file's header pages say: the file header, and each tag's name, header
// offset and header as the tag directory lists them.
struct CdxCatalogue {
  struct Tag {
    std::string name;
    std::uint32_t offset = 0;
    CdxTagHeader header;
  };
  CdxTagHeader file_header;
  std::vector<Tag> tags;
};

// Decoded tree pages of the index files a process has open, bounded by a page count
// and shared by all its work areas, and each file's catalogue, so that opening a table
// again reads no header page. Pages are immutable once cached; a change writes a new
// node in their place.
//
// Staleness: each file's change markers (file-header bytes 4-11, the free-list head
// and the change counter that every writer bumps when it releases the index lock) are
// recorded with its pages. Whoever takes the index lock re-reads the markers and calls
// `validate`; when they differ from the recorded ones another program changed the
// file, and every page of that file is dropped, the catalogue too. Thread-safe.
class CdxPageCache {
 public:
  explicit CdxPageCache(std::size_t capacity_pages = 16384) : m_capacity(capacity_pages) {}
  CdxPageCache(const CdxPageCache&) = delete;
  CdxPageCache& operator=(const CdxPageCache&) = delete;

  // The cached node, or null.
  std::shared_ptr<const CdxNode> find(CdxFileId file, std::uint32_t page);
  void put(CdxFileId file, std::uint32_t page, std::shared_ptr<const CdxNode> node);
  void erase(CdxFileId file, std::uint32_t page);
  // The file's catalogue, or null.
  std::shared_ptr<const CdxCatalogue> catalogue(CdxFileId file);
  void put_catalogue(CdxFileId file, std::shared_ptr<const CdxCatalogue> catalogue);
  // Called by whoever changes the tag directory or a tag header.
  void forget_catalogue(CdxFileId file);
  // Drops the file's pages when `markers` differ from those recorded, then records
  // them. Returns true when pages were dropped (or none were recorded yet).
  bool validate(CdxFileId file, std::uint64_t markers);
  // Records markers written by this process's own change, keeping the pages.
  void set_markers(CdxFileId file, std::uint64_t markers);
  void drop_file(CdxFileId file);

  std::size_t size() const;

 private:
  struct Key {
    CdxFileId file;
    std::uint32_t page;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      // Pages are multiples of 512 of a few files: mix every bit into the low ones.
      std::uint64_t x = k.file.inode * 0x9E3779B97F4A7C15ULL ^ k.file.device ^ (std::uint64_t{k.page} >> 9);
      x ^= x >> 30;
      x *= 0xBF58476D1CE4E5B9ULL;
      x ^= x >> 27;
      x *= 0x94D049BB133111EBULL;
      return static_cast<std::size_t>(x ^ (x >> 31));
    }
  };
  struct FileIdHash {
    std::size_t operator()(const CdxFileId& f) const { return std::hash<std::uint64_t>()(f.inode ^ f.device << 32); }
  };
  using Lru = std::list<std::pair<Key, std::shared_ptr<const CdxNode>>>;

  void drop_file_locked(CdxFileId file);

  std::size_t m_capacity;
  mutable std::mutex m_mutex;
  Lru m_lru;  // Most recently used first.
  std::unordered_map<Key, Lru::iterator, KeyHash> m_pages;
  std::unordered_map<CdxFileId, std::uint64_t, FileIdHash> m_markers;
  std::unordered_map<CdxFileId, std::shared_ptr<const CdxCatalogue>, FileIdHash> m_catalogues;
};

}  // namespace data
