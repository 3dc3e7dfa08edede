#include "data/cdx_tag.h"

#include <algorithm>

namespace data {

// Write order. A program killed between two page writes must leave a tree that other
// programs can still walk: at worst an entry is missing or unreachable from above,
// never a pointer to a page that holds something else.
// - A new page is written before anything points to it: the new right half of a split,
//   then the old page (now pointing right to it), then the right neighbour's back
//   link, then the parent entry. Until the parent is written the upper half is still
//   reached from the old page's sibling link.
// - A root that splits stays where it is: both halves go to new pages first, and the
//   root page is then overwritten in one write with the two entries that lead to them,
//   so the tag header never changes.
// - A page leaves the tree before it is freed: the parent entry goes first, then the
//   sibling links, and only then is the page put on the free list (whose head reaches
//   the file header when the lock is released). A crash in between leaks a page.
// - A page taken from the free list is removed from the header's list before it is
//   used (see CdxFile::allocate_page).

namespace {
constexpr std::size_t kMaxDepth = 32;
}

CdxTag::CdxTag(CdxFile& file, std::string name, std::uint32_t header_offset, CdxTagHeader header, CdxKeyType type)
    : m_file(file),
      m_name(std::move(name)),
      m_header_offset(header_offset),
      m_header(std::move(header)),
      m_type(type),
      m_pad(cdx_pad_byte(type)) {}

void CdxTag::set_key_type(CdxKeyType type) {
  m_type = type;
  m_pad = cdx_pad_byte(type);
}

Error CdxTag::error(const std::string& text) const {
  return Error{-1, "index " + m_file.name() + ", tag " + m_name + ": " + text};
}

std::uint32_t CdxTag::max_steps() const {
  return static_cast<std::uint32_t>(m_file.size() / kCdxPageSize) + 1;
}

Result<std::shared_ptr<const CdxNode>> CdxTag::node(std::uint32_t page) {
  auto n = m_file.read_node(page, m_header.key_length, m_pad);
  if (!n) return error(n.error().text);
  return n;
}

Result<CdxTag::Path> CdxTag::descend(std::string_view key, std::uint32_t recno) {
  Path path;
  std::uint32_t page = m_header.root;
  for (std::size_t depth = 0; depth < kMaxDepth; ++depth) {
    auto n = node(page);
    if (!n) return n.error();
    const CdxNode& current = **n;
    if (depth == 0 && !current.is_root()) return error("root page " + std::to_string(page) + " is not marked root");
    std::size_t index = current.lower_bound(key, recno);
    if (current.is_leaf()) {
      path.push_back({page, *n, index});
      return path;
    }
    if (current.empty()) return error("interior page " + std::to_string(page) + " has no keys");
    if (index == current.size()) index = current.size() - 1;
    path.push_back({page, *n, index});
    page = current.child(index);
  }
  return error("tree deeper than " + std::to_string(kMaxDepth) + " levels: its pages form a loop");
}

Result<CdxTag::Position> CdxTag::sibling(std::shared_ptr<const CdxNode> from, bool to_right) {
  // Entries must keep rising (or falling) from leaf to leaf; a sibling link that leads
  // back is a loop, and walking on would never end.
  std::string reference;
  std::uint32_t reference_recno = 0;
  if (!from->empty()) {
    const std::size_t edge_entry = to_right ? from->size() - 1 : 0;
    reference = std::string(from->key(edge_entry));
    reference_recno = from->recno(edge_entry);
  }
  const std::uint32_t limit = max_steps();
  for (std::uint32_t steps = 0; steps < limit; ++steps) {
    const std::uint32_t page = to_right ? from->right() : from->left();
    if (page == kCdxNoPage || page == 0) return Position{};
    auto n = node(page);
    if (!n) return n.error();
    if (!(*n)->is_leaf()) return error("leaf sibling link leads to interior page " + std::to_string(page));
    if (!(*n)->empty()) {
      const std::size_t index = to_right ? 0 : (*n)->size() - 1;
      if (!reference.empty()) {
        const auto order = cdx_compare((*n)->key(index), (*n)->recno(index), reference, reference_recno);
        if (to_right ? order <= 0 : order >= 0)
          return error("leaf sibling link to page " + std::to_string(page) + " goes back in key order");
      }
      return Position{*n, page, index, m_file.generation()};
    }
    from = *n;  // An empty leaf left by an interrupted removal: step over it.
  }
  return error("leaf sibling links form a loop");
}

Result<CdxTag::Position> CdxTag::edge(bool at_end) {
  CdxLock lock(m_file, CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  std::uint32_t page = m_header.root;
  for (std::size_t depth = 0; depth < kMaxDepth; ++depth) {
    auto n = node(page);
    if (!n) return n.error();
    const CdxNode& current = **n;
    if (current.is_leaf()) {
      if (!current.empty()) return Position{*n, page, at_end ? current.size() - 1 : 0, m_file.generation()};
      return sibling(*n, !at_end);
    }
    if (current.empty()) return error("interior page " + std::to_string(page) + " has no keys");
    page = current.child(at_end ? current.size() - 1 : 0);
  }
  return error("tree deeper than " + std::to_string(kMaxDepth) + " levels: its pages form a loop");
}

Result<CdxTag::Position> CdxTag::first() { return edge(false); }
Result<CdxTag::Position> CdxTag::last() { return edge(true); }

Result<CdxTag::Position> CdxTag::lower_bound(std::string_view key, std::uint32_t recno) {
  CdxLock lock(m_file, CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  auto path = descend(key, recno);
  if (!path) return path.error();
  const Step& leaf = path->back();
  if (leaf.index < leaf.node->size()) return Position{leaf.node, leaf.page, leaf.index, m_file.generation()};
  return sibling(leaf.node, true);
}

Result<CdxTag::Position> CdxTag::next(const Position& at) {
  if (!at.valid()) return Position{};
  if (at.generation == m_file.generation() && at.index + 1 < at.leaf->size())
    return Position{at.leaf, at.page, at.index + 1, at.generation};
  CdxLock lock(m_file, CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  if (at.generation == m_file.generation()) return sibling(at.leaf, true);
  // The tree changed since the snapshot: find the entry after it by key.
  const std::string key(at.key());
  if (at.recno() == 0xFFFFFFFF) return Position{};
  return lower_bound(key, at.recno() + 1);
}

Result<CdxTag::Position> CdxTag::prev(const Position& at) {
  if (!at.valid()) return Position{};
  if (at.generation == m_file.generation() && at.index > 0)
    return Position{at.leaf, at.page, at.index - 1, at.generation};
  CdxLock lock(m_file, CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  if (at.generation == m_file.generation()) return sibling(at.leaf, false);
  auto p = lower_bound(std::string(at.key()), at.recno());
  if (!p) return p;
  if (!p->valid()) return last();
  if (p->index > 0) return Position{p->leaf, p->page, p->index - 1, p->generation};
  return sibling(p->leaf, false);
}

Result<bool> CdxTag::insert(std::string_view key, std::uint32_t recno) {
  if (!m_file.holds_write_lock()) return error("insert without the index write lock");
  if (key.size() != static_cast<std::size_t>(m_header.key_length)) return error("key of the wrong length");
  if (m_header.is_unique()) {
    auto path = descend(key, 0);
    if (!path) return path.error();
    const Step& leaf = path->back();
    if (leaf.index < leaf.node->size()) {
      if (leaf.node->key(leaf.index) == key) return false;
    } else {
      auto next_leaf = sibling(leaf.node, true);
      if (!next_leaf) return next_leaf.error();
      if (next_leaf->valid() && next_leaf->key() == key) return false;
    }
  }
  auto path = descend(key, recno);
  if (!path) return path.error();
  Step& leaf = path->back();
  if (leaf.index < leaf.node->size() && leaf.node->recno(leaf.index) == recno && leaf.node->key(leaf.index) == key)
    return false;
  CdxNode changed = *leaf.node;
  changed.insert(leaf.index, key, recno);
  const bool at_end = leaf.index + 1 == changed.size() && changed.right() == kCdxNoPage;
  if (auto r = store(*path, path->size() - 1, changed, at_end); !r) return r.error();
  return true;
}

Result<bool> CdxTag::remove(std::string_view key, std::uint32_t recno) {
  if (!m_file.holds_write_lock()) return error("remove without the index write lock");
  if (key.size() != static_cast<std::size_t>(m_header.key_length)) return error("key of the wrong length");
  auto path = descend(key, recno);
  if (!path) return path.error();
  Step& leaf = path->back();
  if (leaf.index >= leaf.node->size() || leaf.node->recno(leaf.index) != recno || leaf.node->key(leaf.index) != key)
    return false;
  CdxNode changed = *leaf.node;
  changed.erase(leaf.index);
  if (changed.empty() && path->size() > 1) {
    if (auto r = drop_node(*path, path->size() - 1); !r) return r.error();
  } else if (auto r = store(*path, path->size() - 1, changed, false); !r) {
    return r.error();
  }
  return true;
}

std::size_t CdxTag::split_point(const CdxNode& node, bool appended_at_end) const {
  // Rows appended in key order fill their leaves completely instead of leaving every
  // leaf half empty.
  const std::size_t n = node.size();
  auto fits_split = [&](std::size_t s) {
    if (s == 0 || s >= n) return false;
    CdxNode lower = node;
    CdxNode upper(node.key_length(), node.attributes());
    lower.move_tail_to(s, upper);
    return cdx_node_fits(lower, m_pad) && cdx_node_fits(upper, m_pad);
  };
  if (appended_at_end && fits_split(n - 1)) return n - 1;
  for (std::size_t d = 0; d < n; ++d) {
    if (fits_split(n / 2 + d)) return n / 2 + d;
    if (d <= n / 2 && fits_split(n / 2 - d)) return n / 2 - d;
  }
  return n / 2;
}

Result<void> CdxTag::store(Path& path, std::size_t level, CdxNode& changed, bool appended_at_end) {
  const std::uint32_t page = path[level].page;
  auto written = m_file.write_node_if_fits(page, changed, m_pad);
  if (!written) return error(written.error().text);
  if (*written) {
    if (level == 0 || changed.empty()) return {};
    // The parent keeps each child's last entry; fix it when that changed.
    const Step& up = path[level - 1];
    const std::size_t last = changed.size() - 1;
    if (up.node->key(up.index) == changed.key(last) && up.node->recno(up.index) == changed.recno(last)) return {};
    CdxNode parent = *up.node;
    parent.set(up.index, changed.key(last), changed.recno(last));
    return store(path, level - 1, parent, false);
  }

  const std::size_t split = split_point(changed, appended_at_end);
  if (level == 0) return split_root(page, changed, split);

  auto new_page = m_file.allocate_page();
  if (!new_page) return error(new_page.error().text);
  CdxNode upper(m_header.key_length, changed.attributes() & ~CdxNode::kRootBit);
  changed.move_tail_to(split, upper);
  upper.set_left(page);
  upper.set_right(changed.right());
  changed.set_right(*new_page);
  if (auto r = m_file.write_node(*new_page, upper, m_pad); !r) return error(r.error().text);
  if (auto r = m_file.write_node(page, changed, m_pad); !r) return error(r.error().text);
  if (upper.right() != kCdxNoPage) {
    auto neighbour = node(upper.right());
    if (!neighbour) return neighbour.error();
    CdxNode relinked = **neighbour;
    relinked.set_left(*new_page);
    if (auto r = m_file.write_node(upper.right(), relinked, m_pad); !r) return error(r.error().text);
  }
  const Step& up = path[level - 1];
  CdxNode parent = *up.node;
  parent.set(up.index, changed.key(changed.size() - 1), changed.recno(changed.size() - 1));
  parent.insert(up.index + 1, upper.key(upper.size() - 1), upper.recno(upper.size() - 1), *new_page);
  const bool parent_at_end = appended_at_end && up.index + 2 == parent.size();
  return store(path, level - 1, parent, parent_at_end);
}

Result<void> CdxTag::split_root(std::uint32_t page, CdxNode& changed, std::size_t split) {
  auto left_page = m_file.allocate_page();
  if (!left_page) return error(left_page.error().text);
  auto right_page = m_file.allocate_page();
  if (!right_page) return error(right_page.error().text);
  const std::uint16_t level_bits = changed.attributes() & CdxNode::kLeafBit;
  CdxNode left = changed;
  left.set_attributes(level_bits);
  CdxNode right(m_header.key_length, level_bits);
  left.move_tail_to(split, right);
  left.set_left(kCdxNoPage);
  left.set_right(*right_page);
  right.set_left(*left_page);
  right.set_right(kCdxNoPage);
  if (auto r = m_file.write_node(*right_page, right, m_pad); !r) return error(r.error().text);
  if (auto r = m_file.write_node(*left_page, left, m_pad); !r) return error(r.error().text);
  CdxNode root(m_header.key_length, CdxNode::kRootBit);
  root.insert(0, left.key(left.size() - 1), left.recno(left.size() - 1), *left_page);
  root.insert(1, right.key(right.size() - 1), right.recno(right.size() - 1), *right_page);
  if (auto r = m_file.write_node(page, root, m_pad); !r) return error(r.error().text);
  return {};
}

Result<void> CdxTag::drop_node(Path& path, std::size_t level) {
  const Step& gone = path[level];
  const std::shared_ptr<const CdxNode> old = gone.node;
  const Step& up = path[level - 1];
  CdxNode parent = *up.node;
  parent.erase(up.index);
  if (!parent.empty()) {
    if (auto r = store(path, level - 1, parent, false); !r) return r;
  } else if (level - 1 == 0) {
    // The last child of the root went away: the tag is empty again.
    const CdxNode empty_root(m_header.key_length, CdxNode::kRootBit | CdxNode::kLeafBit);
    if (auto r = m_file.write_node(up.page, empty_root, m_pad); !r) return error(r.error().text);
  } else if (auto r = drop_node(path, level - 1); !r) {
    return r;
  }
  if (old->left() != kCdxNoPage) {
    auto n = node(old->left());
    if (!n) return n.error();
    CdxNode relinked = **n;
    relinked.set_right(old->right());
    if (auto r = m_file.write_node(old->left(), relinked, m_pad); !r) return error(r.error().text);
  }
  if (old->right() != kCdxNoPage) {
    auto n = node(old->right());
    if (!n) return n.error();
    CdxNode relinked = **n;
    relinked.set_left(old->left());
    if (auto r = m_file.write_node(old->right(), relinked, m_pad); !r) return error(r.error().text);
  }
  if (auto r = m_file.free_page(gone.page); !r) return error(r.error().text);
  return {};
}

Result<std::uint64_t> CdxTag::count() {
  auto position = first();
  if (!position) return position.error();
  std::uint64_t total = 0;
  CdxLock lock(m_file, CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  std::shared_ptr<const CdxNode> leaf = position->leaf;
  const std::uint32_t limit = max_steps();
  for (std::uint32_t steps = 0; leaf && steps < limit; ++steps) {
    total += leaf->size();
    if (leaf->right() == kCdxNoPage) return total;
    auto n = node(leaf->right());
    if (!n) return n.error();
    leaf = *n;
  }
  if (!leaf) return total;
  return error("leaf sibling links form a loop");
}

Result<std::vector<std::vector<std::uint32_t>>> CdxTag::levels() {
  std::vector<std::vector<std::uint32_t>> result{{m_header.root}};
  for (std::size_t depth = 0; depth < kMaxDepth; ++depth) {
    std::vector<std::uint32_t> below;
    for (std::uint32_t page : result.back()) {
      auto n = node(page);
      if (!n) return n.error();
      if ((*n)->is_leaf()) return result;
      for (std::size_t i = 0; i < (*n)->size(); ++i) below.push_back((*n)->child(i));
      if (below.size() > max_steps()) return error("interior pages point to more pages than the file holds");
    }
    if (below.empty()) return result;
    result.push_back(std::move(below));
  }
  return error("tree deeper than " + std::to_string(kMaxDepth) + " levels: its pages form a loop");
}

}  // namespace data
