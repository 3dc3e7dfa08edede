#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/cdx_file.h"
#include "data/cdx_key.h"
#include "data/cdx_node.h"
#include "data/cdx_tag_header.h"
#include "data/result.h"

namespace data {

// One tag of an index file: a B+-tree of (key, record) entries in ascending byte
// order. Reading calls take the index read lock themselves; insert and remove need the
// write lock held by the caller, so that one record change updates every tag under one
// lock. Descending order, deleted rows and seeks by prefix live in the order layer
// above; this class only knows storage order.
class CdxTag {
 public:
  // A place in the leaf level: a snapshot of the leaf and an entry of it. Entries read
  // from a snapshot stay valid; moving past its ends re-reads the tree.
  struct Position {
    std::shared_ptr<const CdxNode> leaf;  // Null at the end (or before the start).
    std::uint32_t page = 0;
    std::size_t index = 0;
    std::uint64_t generation = 0;

    bool valid() const { return leaf != nullptr; }
    std::string_view key() const { return leaf->key(index); }
    std::uint32_t recno() const { return leaf->recno(index); }
  };

  CdxTag(CdxFile& file, std::string name, std::uint32_t header_offset, CdxTagHeader header, CdxKeyType type);

  const std::string& name() const { return m_name; }
  std::uint32_t header_offset() const { return m_header_offset; }
  const CdxTagHeader& header() const { return m_header; }
  int key_length() const { return m_header.key_length; }
  CdxKeyType key_type() const { return m_type; }
  char pad() const { return m_pad; }
  void set_key_type(CdxKeyType type);
  CdxFile& file() { return m_file; }

  Result<Position> first();
  Result<Position> last();
  // The first entry >= (key, recno); an invalid position when there is none. `key`
  // must be key_length() bytes.
  Result<Position> lower_bound(std::string_view key, std::uint32_t recno);
  // The entry after / before `at`; invalid past the ends. Stepping inside the snapshot
  // costs nothing; leaving it follows the sibling link when the file is unchanged and
  // otherwise finds the neighbour again by key.
  Result<Position> next(const Position& at);
  Result<Position> prev(const Position& at);

  // Adds the entry. False when it was already there or, in a UNIQUE tag, when the key
  // is already present for another record. Requires the write lock.
  Result<bool> insert(std::string_view key, std::uint32_t recno);
  // Removes the entry; false when it was not there. Requires the write lock.
  Result<bool> remove(std::string_view key, std::uint32_t recno);

  // Entries in the tag, counted over the leaf level.
  Result<std::uint64_t> count();
  // Every page of the tree, root first then level by level: for verification and for
  // freeing a dropped tag. Requires a lock.
  Result<std::vector<std::vector<std::uint32_t>>> levels();

  // "index X.CDX, tag T1: <text>"
  Error error(const std::string& text) const;

 private:
  struct Step {
    std::uint32_t page;
    std::shared_ptr<const CdxNode> node;
    std::size_t index;
  };
  using Path = std::vector<Step>;

  Result<std::shared_ptr<const CdxNode>> node(std::uint32_t page);
  Result<Path> descend(std::string_view key, std::uint32_t recno);
  Result<Position> edge(bool at_end);
  Result<Position> sibling(std::shared_ptr<const CdxNode> from, bool to_right);
  Result<void> store(Path& path, std::size_t level, CdxNode& node, bool appended_at_end);
  Result<void> split_root(std::uint32_t page, CdxNode& node, std::size_t split);
  Result<void> drop_node(Path& path, std::size_t level);
  std::size_t split_point(const CdxNode& node, bool appended_at_end) const;
  std::uint32_t max_steps() const;

  CdxFile& m_file;
  std::string m_name;
  std::uint32_t m_header_offset;
  CdxTagHeader m_header;
  CdxKeyType m_type;
  char m_pad;
};

}  // namespace data
