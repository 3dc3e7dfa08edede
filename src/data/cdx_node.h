#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/result.h"

namespace data {

inline constexpr std::size_t kCdxPageSize = 512;
// "No page" in sibling links.
inline constexpr std::uint32_t kCdxNoPage = 0xFFFFFFFF;
// Longest key a tag may have; keeps two entries in an interior node.
inline constexpr int kCdxMaxKeyLength = 240;

// One 512-byte tree node of a tag, decoded: its attributes, sibling links and entries.
// Leaves hold (key, record) pairs; interior nodes hold (last key of the child, its
// record, child page offset). Keys are always full length here; leaf compression
// exists only on disk.
class CdxNode {
 public:
  static constexpr std::uint16_t kRootBit = 1;
  static constexpr std::uint16_t kLeafBit = 2;

  CdxNode(int key_length, std::uint16_t attributes) : m_key_length(key_length), m_attributes(attributes) {}

  int key_length() const { return m_key_length; }
  std::uint16_t attributes() const { return m_attributes; }
  void set_attributes(std::uint16_t attributes) { m_attributes = attributes; }
  bool is_leaf() const { return (m_attributes & kLeafBit) != 0; }
  bool is_root() const { return (m_attributes & kRootBit) != 0; }

  std::uint32_t left() const { return m_left; }
  std::uint32_t right() const { return m_right; }
  void set_left(std::uint32_t page) { m_left = page; }
  void set_right(std::uint32_t page) { m_right = page; }

  std::size_t size() const { return m_recnos.size(); }
  bool empty() const { return m_recnos.empty(); }
  // Views stay valid until the node is changed or destroyed.
  std::string_view key(std::size_t i) const {
    return std::string_view(m_keys).substr(i * m_key_length, m_key_length);
  }
  std::uint32_t recno(std::size_t i) const { return m_recnos[i]; }
  // Child page offset; 0 in leaves.
  std::uint32_t child(std::size_t i) const { return m_children[i]; }

  // Requires: key.size() == key_length().
  void insert(std::size_t i, std::string_view key, std::uint32_t recno, std::uint32_t child = 0);
  void set(std::size_t i, std::string_view key, std::uint32_t recno);
  void erase(std::size_t i);
  // Moves entries [from, size()) to the end of `other`.
  void move_tail_to(std::size_t from, CdxNode& other);

  // Index of the first entry >= (key, recno); size() when there is none.
  std::size_t lower_bound(std::string_view key, std::uint32_t recno) const;

 private:
  int m_key_length;
  std::uint16_t m_attributes;
  std::uint32_t m_left = kCdxNoPage;
  std::uint32_t m_right = kCdxNoPage;
  std::string m_keys;  // size() keys of m_key_length bytes, back to back.
  std::vector<std::uint32_t> m_recnos;
  std::vector<std::uint32_t> m_children;
};

// Decodes one page. Every count, width and length is checked against the page, so a
// damaged page gives an error instead of a read past its end. `pad` is the key type's
// pad byte, which leaf compression strips from key tails.
Result<CdxNode> decode_cdx_node(std::span<const std::uint8_t> page, int key_length, char pad);

// True when the node's entries fit in one page (interior capacity, or compressed leaf
// size including the record-number widths the leaf would need).
bool cdx_node_fits(const CdxNode& node, char pad);

// Encodes the node into a page. Requires: cdx_node_fits(node, pad).
void encode_cdx_node(const CdxNode& node, char pad, std::span<std::uint8_t> page);
// Encodes the node when it fits in one page and returns whether it did.
bool encode_cdx_node_if_fits(const CdxNode& node, char pad, std::span<std::uint8_t> page);

// Entries an interior node of this key length can hold.
constexpr std::size_t cdx_interior_capacity(int key_length) { return 500 / (key_length + 8); }

}  // namespace data
