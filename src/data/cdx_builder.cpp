#include "data/cdx_builder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>

namespace data {
namespace {

// The first eight key bytes as a big-endian number: most comparisons end there.
std::uint64_t key_prefix(std::string_view key) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < 8; ++i) v = (v << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0);
  return v;
}

// Tracks the compressed size of a leaf being filled, entry by entry.
class LeafSize {
 public:
  LeafSize(int key_length, char pad) : m_pad(pad) {
    m_count_bits = std::bit_width(static_cast<unsigned>(key_length));
  }
  void reset() {
    m_count = 0;
    m_data = 0;
    m_max_recno = 0;
  }
  // Bytes of the leaf if `key` were added after `previous` (empty for the first).
  std::size_t with(std::string_view previous, std::string_view key, std::uint32_t recno, std::size_t& stored) const {
    std::size_t trail = 0;
    while (trail < key.size() && key[key.size() - 1 - trail] == m_pad) ++trail;
    std::size_t dup = 0;
    if (!previous.empty()) {
      const std::size_t limit = key.size() - trail;
      while (dup < limit && previous[dup] == key[dup]) ++dup;
    }
    stored = key.size() - trail - dup;
    return m_data + stored + (m_count + 1) * entry_bytes(std::max(m_max_recno, recno));
  }
  void add(std::size_t stored, std::uint32_t recno) {
    ++m_count;
    m_data += stored;
    m_max_recno = std::max(m_max_recno, recno);
  }

 private:
  std::size_t entry_bytes(std::uint32_t max_recno) const {
    int rec_bits = 24 - 2 * m_count_bits;
    std::size_t bytes = 3;
    while (rec_bits < 32 && (max_recno >> rec_bits) != 0) {
      rec_bits += 8;
      ++bytes;
    }
    return bytes;
  }
  char m_pad;
  int m_count_bits;
  std::size_t m_count = 0;
  std::size_t m_data = 0;
  std::uint32_t m_max_recno = 0;
};

constexpr std::size_t kLeafDataSize = kCdxPageSize - 24;

}  // namespace

void CdxEntryList::reserve(std::size_t n) {
  m_keys.reserve(n * m_key_length);
  m_recnos.reserve(n);
}

void CdxEntryList::add(std::string_view key, std::uint32_t recno) {
  m_sorted = false;
  m_keys.append(key.data(), m_key_length);
  m_recnos.push_back(recno);
}

void CdxEntryList::sort(bool unique) {
  struct Item {
    std::uint64_t prefix;
    std::uint32_t recno;
    std::uint32_t position;
  };
  std::vector<Item> items(m_recnos.size());
  for (std::uint32_t i = 0; i < items.size(); ++i) {
    items[i] = {key_prefix(std::string_view(m_keys).substr(std::size_t{i} * m_key_length, m_key_length)), m_recnos[i],
                i};
  }
  const std::size_t kl = m_key_length;
  const char* keys = m_keys.data();
  std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (kl > 8) {
      const int c = std::memcmp(keys + a.position * kl + 8, keys + b.position * kl + 8, kl - 8);
      if (c != 0) return c < 0;
    }
    return a.recno < b.recno;
  });
  m_order.clear();
  m_order.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (unique && !m_order.empty()) {
      const std::uint32_t prev = m_order.back();
      if (items[i].prefix == key_prefix(std::string_view(m_keys).substr(prev * kl, kl)) &&
          std::memcmp(keys + prev * kl, keys + items[i].position * kl, kl) == 0)
        continue;
    }
    m_order.push_back(items[i].position);
  }
  m_sorted = true;
}

Result<std::uint32_t> build_cdx_tree(const CdxEntryList& entries, char pad,
                                     const std::function<Result<std::uint32_t>()>& allocate,
                                     const std::function<Result<void>(std::uint32_t, const CdxNode&)>& write) {
  const int kl = entries.key_length();
  // Leaves: cut the sorted entries into runs that each fill one page.
  std::vector<std::size_t> starts;
  LeafSize size(kl, pad);
  std::string_view previous;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::size_t stored = 0;
    if (starts.empty() || size.with(previous, entries.key(i), entries.recno(i), stored) > kLeafDataSize) {
      starts.push_back(i);
      size.reset();
      size.with({}, entries.key(i), entries.recno(i), stored);
    }
    size.add(stored, entries.recno(i));
    previous = entries.key(i);
  }
  if (starts.empty()) {
    auto root = allocate();
    if (!root) return root;
    const CdxNode empty(kl, CdxNode::kRootBit | CdxNode::kLeafBit);
    if (auto r = write(*root, empty); !r) return r.error();
    return root;
  }

  struct Child {
    std::uint32_t page;
    std::size_t last;  // Entry index of the child's last key.
  };
  std::vector<Child> level;
  std::vector<std::uint32_t> pages(starts.size());
  for (auto& page : pages) {
    auto p = allocate();
    if (!p) return p;
    page = *p;
  }
  const bool single = starts.size() == 1;
  for (std::size_t l = 0; l < starts.size(); ++l) {
    const std::size_t end = l + 1 < starts.size() ? starts[l + 1] : entries.size();
    CdxNode leaf(kl, single ? CdxNode::kRootBit | CdxNode::kLeafBit : CdxNode::kLeafBit);
    for (std::size_t i = starts[l]; i < end; ++i) leaf.insert(leaf.size(), entries.key(i), entries.recno(i));
    leaf.set_left(l == 0 ? kCdxNoPage : pages[l - 1]);
    leaf.set_right(l + 1 < pages.size() ? pages[l + 1] : kCdxNoPage);
    if (auto r = write(pages[l], leaf); !r) return r.error();
    level.push_back({pages[l], end - 1});
  }

  const std::size_t capacity = cdx_interior_capacity(kl);
  while (level.size() > 1) {
    const std::size_t groups = (level.size() + capacity - 1) / capacity;
    std::vector<std::uint32_t> up_pages(groups);
    for (auto& page : up_pages) {
      auto p = allocate();
      if (!p) return p;
      page = *p;
    }
    std::vector<Child> up;
    // Spread children evenly so that the last node is not nearly empty.
    for (std::size_t g = 0; g < groups; ++g) {
      const std::size_t from = level.size() * g / groups;
      const std::size_t to = level.size() * (g + 1) / groups;
      CdxNode node(kl, groups == 1 ? CdxNode::kRootBit : 0);
      for (std::size_t c = from; c < to; ++c)
        node.insert(node.size(), entries.key(level[c].last), entries.recno(level[c].last), level[c].page);
      node.set_left(g == 0 ? kCdxNoPage : up_pages[g - 1]);
      node.set_right(g + 1 < groups ? up_pages[g + 1] : kCdxNoPage);
      if (auto r = write(up_pages[g], node); !r) return r.error();
      up.push_back({up_pages[g], level[to - 1].last});
    }
    level = std::move(up);
  }
  return level.front().page;
}

}  // namespace data
