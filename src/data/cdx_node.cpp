#include "data/cdx_node.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "data/cdx_key.h"

namespace data {
namespace {

constexpr std::size_t kLeafHeaderSize = 24;
constexpr std::size_t kLeafDataSize = kCdxPageSize - kLeafHeaderSize;  // 488
constexpr std::size_t kInteriorHeaderSize = 12;

std::uint32_t get_le(std::span<const std::uint8_t> page, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | page[at + i];
  return value;
}
std::uint32_t get_be32(std::span<const std::uint8_t> page, std::size_t at) {
  return (std::uint32_t{page[at]} << 24) | (std::uint32_t{page[at + 1]} << 16) | (std::uint32_t{page[at + 2]} << 8) |
         page[at + 3];
}
void put_le(std::span<std::uint8_t> page, std::size_t at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) page[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
void put_be32(std::span<std::uint8_t> page, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) page[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// Bits needed to write the key length: the width of the duplicate and trailing counts.
int count_bits(int key_length) { return std::bit_width(static_cast<unsigned>(key_length)); }

struct LeafWidths {
  int rec_bits, dup_bits, trail_bits, entry_bytes;
};

// Three bytes per entry while the record numbers fit; one byte more (8 more record
// bits) per step beyond, chosen per leaf from its largest record number.
LeafWidths leaf_widths(int key_length, std::uint32_t max_recno) {
  const int k = count_bits(key_length);
  LeafWidths w{24 - 2 * k, k, k, 3};
  while (w.rec_bits < 32 && (max_recno >> w.rec_bits) != 0) {
    w.rec_bits += 8;
    w.entry_bytes += 1;
  }
  return w;
}

std::size_t trailing_pad(std::string_view key, char pad) {
  std::size_t n = 0;
  while (n < key.size() && key[key.size() - 1 - n] == pad) ++n;
  return n;
}

std::size_t shared_prefix(std::string_view a, std::string_view b, std::size_t limit) {
  std::size_t n = 0;
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

// Bytes of key data a leaf needs, and the widths that go with it.
std::size_t leaf_bytes(const CdxNode& node, char pad, LeafWidths& widths) {
  std::uint32_t max_recno = 0;
  std::size_t data = 0;
  const std::size_t kl = node.key_length();
  for (std::size_t i = 0; i < node.size(); ++i) {
    max_recno = std::max(max_recno, node.recno(i));
    const std::string_view key = node.key(i);
    const std::size_t trail = trailing_pad(key, pad);
    const std::size_t dup = i == 0 ? 0 : shared_prefix(node.key(i - 1), key, kl - trail);
    data += kl - trail - dup;
  }
  widths = leaf_widths(node.key_length(), max_recno);
  return data + node.size() * widths.entry_bytes;
}

Error damaged(std::string what) { return Error{-1, "damaged index page: " + std::move(what)}; }

}  // namespace

void CdxNode::insert(std::size_t i, std::string_view key, std::uint32_t recno, std::uint32_t child) {
  m_keys.insert(i * m_key_length, key.data(), m_key_length);
  m_recnos.insert(m_recnos.begin() + i, recno);
  m_children.insert(m_children.begin() + i, child);
}

void CdxNode::set(std::size_t i, std::string_view key, std::uint32_t recno) {
  m_keys.replace(i * m_key_length, m_key_length, key.data(), m_key_length);
  m_recnos[i] = recno;
}

void CdxNode::erase(std::size_t i) {
  m_keys.erase(i * m_key_length, m_key_length);
  m_recnos.erase(m_recnos.begin() + i);
  m_children.erase(m_children.begin() + i);
}

void CdxNode::move_tail_to(std::size_t from, CdxNode& other) {
  other.m_keys.append(m_keys, from * m_key_length);
  other.m_recnos.insert(other.m_recnos.end(), m_recnos.begin() + from, m_recnos.end());
  other.m_children.insert(other.m_children.end(), m_children.begin() + from, m_children.end());
  m_keys.resize(from * m_key_length);
  m_recnos.resize(from);
  m_children.resize(from);
}

std::size_t CdxNode::lower_bound(std::string_view key, std::uint32_t recno) const {
  std::size_t lo = 0, hi = size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (cdx_compare(this->key(mid), m_recnos[mid], key, recno) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

Result<CdxNode> decode_cdx_node(std::span<const std::uint8_t> page, int key_length, char pad) {
  if (page.size() != kCdxPageSize) return damaged("page is not 512 bytes");
  if (key_length < 1 || key_length > kCdxMaxKeyLength) return damaged("key length " + std::to_string(key_length));
  const std::uint16_t attributes = static_cast<std::uint16_t>(get_le(page, 0, 2));
  const std::size_t count = get_le(page, 2, 2);
  if (attributes > 3) return damaged("node attributes " + std::to_string(attributes));
  CdxNode node(key_length, attributes);
  node.set_left(get_le(page, 4, 4));
  node.set_right(get_le(page, 8, 4));
  const std::size_t kl = static_cast<std::size_t>(key_length);

  if (!node.is_leaf()) {
    if (count > cdx_interior_capacity(key_length))
      return damaged(std::to_string(count) + " keys in an interior node that holds " +
                     std::to_string(cdx_interior_capacity(key_length)));
    std::size_t at = kInteriorHeaderSize;
    for (std::size_t i = 0; i < count; ++i) {
      const std::string_view key(reinterpret_cast<const char*>(page.data() + at), kl);
      node.insert(i, key, get_be32(page, at + kl), get_be32(page, at + kl + 4));
      at += kl + 8;
    }
    return node;
  }

  const std::uint32_t rec_mask = get_le(page, 14, 4);
  const std::uint32_t dup_mask = page[18];
  const std::uint32_t trail_mask = page[19];
  const int rec_bits = page[20], dup_bits = page[21], trail_bits = page[22], entry_bytes = page[23];
  if (entry_bytes < 1 || entry_bytes > 8 || rec_bits + dup_bits + trail_bits > 8 * entry_bytes || rec_bits > 32)
    return damaged("leaf entry layout " + std::to_string(entry_bytes) + " bytes, " + std::to_string(rec_bits) + "/" +
                   std::to_string(dup_bits) + "/" + std::to_string(trail_bits) + " bits");
  if (count * entry_bytes > kLeafDataSize)
    return damaged(std::to_string(count) + " keys of " + std::to_string(entry_bytes) + " bytes in a leaf");

  std::string key(kl, pad);
  std::size_t data_end = kCdxPageSize;
  const std::size_t entries_end = kLeafHeaderSize + count * entry_bytes;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint64_t v = 0;
    const std::size_t at = kLeafHeaderSize + i * entry_bytes;
    for (int b = entry_bytes - 1; b >= 0; --b) v = (v << 8) | page[at + b];
    const std::uint32_t recno = static_cast<std::uint32_t>(v & rec_mask);
    const std::size_t dup = i == 0 ? 0 : static_cast<std::size_t>((v >> rec_bits) & dup_mask);
    const std::size_t trail = static_cast<std::size_t>((v >> (rec_bits + dup_bits)) & trail_mask);
    if (dup + trail > kl)
      return damaged("leaf entry " + std::to_string(i) + " has " + std::to_string(dup) + " shared and " +
                     std::to_string(trail) + " trailing bytes in a key of " + std::to_string(kl));
    const std::size_t stored = kl - dup - trail;
    if (data_end < entries_end + stored) return damaged("leaf key data overlaps its entries");
    data_end -= stored;
    std::memcpy(key.data() + dup, page.data() + data_end, stored);
    std::fill(key.begin() + static_cast<std::ptrdiff_t>(dup + stored), key.end(), pad);
    // key[0, dup) still holds the previous key's bytes.
    node.insert(i, key, recno);
  }
  return node;
}

bool cdx_node_fits(const CdxNode& node, char pad) {
  if (!node.is_leaf()) return node.size() <= cdx_interior_capacity(node.key_length());
  LeafWidths widths{};
  return leaf_bytes(node, pad, widths) <= kLeafDataSize;
}

void encode_cdx_node(const CdxNode& node, char pad, std::span<std::uint8_t> page) {
  (void)encode_cdx_node_if_fits(node, pad, page);
}

bool encode_cdx_node_if_fits(const CdxNode& node, char pad, std::span<std::uint8_t> page) {
  if (!node.is_leaf() && node.size() > cdx_interior_capacity(node.key_length())) return false;
  std::fill(page.begin(), page.end(), std::uint8_t{0});
  put_le(page, 0, node.attributes(), 2);
  put_le(page, 2, node.size(), 2);
  put_le(page, 4, node.left(), 4);
  put_le(page, 8, node.right(), 4);
  const std::size_t kl = node.key_length();

  if (!node.is_leaf()) {
    std::size_t at = kInteriorHeaderSize;
    for (std::size_t i = 0; i < node.size(); ++i) {
      std::memcpy(page.data() + at, node.key(i).data(), kl);
      put_be32(page, at + kl, node.recno(i));
      put_be32(page, at + kl + 4, node.child(i));
      at += kl + 8;
    }
    return true;
  }

  // One pass: entries are written while the key data is measured, and the whole is
  // given up when it runs out of room.
  std::uint32_t max_recno = 0;
  for (std::size_t i = 0; i < node.size(); ++i) max_recno = std::max(max_recno, node.recno(i));
  const LeafWidths w = leaf_widths(node.key_length(), max_recno);
  const std::size_t entries_end = kLeafHeaderSize + node.size() * w.entry_bytes;
  if (entries_end > kCdxPageSize) return false;
  put_le(page, 14, w.rec_bits >= 32 ? 0xFFFFFFFFu : (1u << w.rec_bits) - 1, 4);
  page[18] = static_cast<std::uint8_t>((1u << w.dup_bits) - 1);
  page[19] = static_cast<std::uint8_t>((1u << w.trail_bits) - 1);
  page[20] = static_cast<std::uint8_t>(w.rec_bits);
  page[21] = static_cast<std::uint8_t>(w.dup_bits);
  page[22] = static_cast<std::uint8_t>(w.trail_bits);
  page[23] = static_cast<std::uint8_t>(w.entry_bytes);
  std::size_t data_end = kCdxPageSize;
  for (std::size_t i = 0; i < node.size(); ++i) {
    const std::string_view key = node.key(i);
    const std::size_t trail = trailing_pad(key, pad);
    const std::size_t dup = i == 0 ? 0 : shared_prefix(node.key(i - 1), key, kl - trail);
    const std::size_t stored = kl - trail - dup;
    if (data_end < entries_end + stored) return false;
    data_end -= stored;
    std::memcpy(page.data() + data_end, key.data() + dup, stored);
    const std::uint64_t v = (std::uint64_t{trail} << (w.rec_bits + w.dup_bits)) |
                            (std::uint64_t{dup} << w.rec_bits) | node.recno(i);
    put_le(page, kLeafHeaderSize + i * w.entry_bytes, v, w.entry_bytes);
  }
  put_le(page, 12, data_end - entries_end, 2);
  return true;
}

}  // namespace data
