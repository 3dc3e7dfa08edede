#include "data/cdx_builder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>

namespace data {
namespace {

// Eight key bytes from `at` as a big-endian number, so that comparing numbers compares
// bytes; bytes past the key's `length` count as zero. Reads 8 bytes from `key + at`, so
// the key needs that slack when it ends sooner.
std::uint64_t key_word(const char* key, std::size_t length, std::size_t at) {
  if (at >= length) return 0;
  std::uint64_t v;
  std::memcpy(&v, key + at, sizeof v);
  if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
  if (length - at < 8) v &= ~std::uint64_t{0} << (8 * (8 - (length - at)));
  return v;
}

// Unsigned byte order (<0, 0, >0) of two keys of `length` bytes from byte `from` on.
int tail_order(const char* a, const char* b, std::size_t length, std::size_t from) {
  for (std::size_t at = from; at < length; at += 8) {
    const std::uint64_t x = key_word(a, length, at), y = key_word(b, length, at);
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

// Bytes `a` and `b` share from the start, at most `limit`.
std::size_t common_prefix(const char* a, const char* b, std::size_t limit) {
  std::size_t n = 0;
  for (; n + 8 <= limit; n += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) {
      const std::uint64_t diff = x ^ y;
      const int first = std::endian::native == std::endian::little ? std::countr_zero(diff) : std::countl_zero(diff);
      return std::min(limit, n + static_cast<std::size_t>(first / 8));
    }
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
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
    const std::size_t dup = previous.empty() ? 0 : common_prefix(previous.data(), key.data(), key.size() - trail);
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
  m_keys.append(key.data(), m_key_length);
  m_recnos.push_back(recno);
}

void CdxEntryList::sort(bool unique) {
  // The items carry the first 24 key bytes, which decide nearly every comparison without
  // a look at the key array, whose random reads would dominate the sort.
  constexpr std::size_t kWords = 3;
  struct Item {
    std::uint64_t words[kWords];
    std::uint32_t recno;
    std::uint32_t position;
  };
  const std::size_t kl = m_key_length;
  const std::size_t count = m_recnos.size();
  m_keys.append(8, '\0');  // Slack for the word reads of the last key.
  const char* keys = m_keys.data();
  std::vector<Item> items(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    Item& item = items[i];
    for (std::size_t w = 0; w < kWords; ++w) item.words[w] = key_word(keys + std::size_t{i} * kl, kl, 8 * w);
    item.recno = m_recnos[i];
    item.position = i;
  }
  const auto key_order = [&](const Item& a, const Item& b) {
    for (std::size_t w = 0; w < kWords; ++w)
      if (a.words[w] != b.words[w]) return a.words[w] < b.words[w] ? -1 : 1;
    if (kl <= 8 * kWords) return 0;
    return tail_order(keys + std::size_t{a.position} * kl, keys + std::size_t{b.position} * kl, kl, 8 * kWords);
  };
  std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
    const int order = key_order(a, b);
    return order != 0 ? order < 0 : a.recno < b.recno;
  });
  // The entries are laid out again in key order, so that building the tree reads them
  // front to back.
  std::string sorted_keys;
  std::vector<std::uint32_t> sorted_recnos;
  sorted_keys.reserve(count * kl);
  sorted_recnos.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (unique && i > 0 && key_order(items[i], items[i - 1]) == 0) continue;
    sorted_keys.append(keys + std::size_t{items[i].position} * kl, kl);
    sorted_recnos.push_back(items[i].recno);
  }
  m_keys = std::move(sorted_keys);
  m_recnos = std::move(sorted_recnos);
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
