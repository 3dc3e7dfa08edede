#include "data/cdx_verify.h"

#include <set>
#include <string>

namespace data {
namespace {

std::string hex(std::uint32_t page) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%X", page);
  return buffer;
}

// Checks one tag's tree; records its pages in `used`.
void verify_tag(CdxFile& file, CdxTag& tag, std::set<std::uint32_t>& used, std::vector<std::string>& problems) {
  const std::string where = "tag " + tag.name() + ": ";
  auto levels = tag.levels();
  if (!levels) {
    problems.push_back(levels.error().text);
    return;
  }
  const std::size_t depth = levels->size();
  std::string previous_key;
  std::uint32_t previous_recno = 0;
  bool have_previous = false;
  for (std::size_t level = 0; level < depth; ++level) {
    const auto& pages = (*levels)[level];
    const bool leaf_level = level + 1 == depth;
    std::size_t child_at = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
      const std::uint32_t page = pages[i];
      if (!used.insert(page).second) problems.push_back(where + "page " + hex(page) + " is used twice");
      auto n = file.read_node(page, tag.key_length(), tag.pad());
      if (!n) {
        problems.push_back(where + n.error().text);
        return;
      }
      const CdxNode& node = **n;
      if (node.is_leaf() != leaf_level)
        problems.push_back(where + "page " + hex(page) + " is a " + (node.is_leaf() ? "leaf" : "interior node") +
                           " at level " + std::to_string(level + 1) + " of " + std::to_string(depth));
      if (node.is_root() != (level == 0)) problems.push_back(where + "page " + hex(page) + " has a wrong root bit");
      const std::uint32_t want_left = i == 0 ? kCdxNoPage : pages[i - 1];
      const std::uint32_t want_right = i + 1 < pages.size() ? pages[i + 1] : kCdxNoPage;
      if (node.left() != want_left || node.right() != want_right)
        problems.push_back(where + "page " + hex(page) + " has sibling links " + hex(node.left()) + "/" +
                           hex(node.right()) + ", expected " + hex(want_left) + "/" + hex(want_right));
      if (!leaf_level && node.empty()) problems.push_back(where + "interior page " + hex(page) + " is empty");
      if (leaf_level && node.empty() && level > 0) problems.push_back(where + "leaf " + hex(page) + " is empty");
      for (std::size_t e = 0; e + 1 < node.size(); ++e) {
        if (cdx_compare(node.key(e), node.recno(e), node.key(e + 1), node.recno(e + 1)) >= 0)
          problems.push_back(where + "page " + hex(page) + " entries " + std::to_string(e) + " and " +
                             std::to_string(e + 1) + " are out of order");
      }
      if (leaf_level) {
        for (std::size_t e = 0; e < node.size(); ++e)
          if (node.recno(e) == 0) problems.push_back(where + "leaf " + hex(page) + " holds record 0");
        if (node.empty()) continue;
        if (have_previous && cdx_compare(previous_key, previous_recno, node.key(0), node.recno(0)) >= 0)
          problems.push_back(where + "leaf " + hex(page) + " starts below the end of the leaf before it");
        previous_key = std::string(node.key(node.size() - 1));
        previous_recno = node.recno(node.size() - 1);
        have_previous = true;
        continue;
      }
      // Each entry must equal the last entry of the child it leads to.
      const auto& below = (*levels)[level + 1];
      for (std::size_t e = 0; e < node.size(); ++e, ++child_at) {
        if (child_at >= below.size() || below[child_at] != node.child(e)) continue;
        auto child = file.read_node(node.child(e), tag.key_length(), tag.pad());
        if (!child) {
          problems.push_back(where + child.error().text);
          continue;
        }
        const CdxNode& c = **child;
        if (c.empty()) continue;
        const std::size_t last = c.size() - 1;
        if (c.key(last) != node.key(e) || c.recno(last) != node.recno(e))
          problems.push_back(where + "interior page " + hex(page) + " entry " + std::to_string(e) +
                             " does not match the last entry of page " + hex(node.child(e)));
      }
    }
  }
}

}  // namespace

std::vector<std::string> verify_cdx_structure(CdxIndex& index) {
  std::vector<std::string> problems;
  CdxFile& file = index.file();
  CdxLock lock(file, CdxLockMode::Read);
  if (!lock.ok()) return {lock.error().text};
  std::set<std::uint32_t> used;
  verify_tag(file, index.directory(), used, problems);
  for (std::size_t i = 0; i < index.tag_count(); ++i) {
    CdxTag& tag = index.tag(i);
    used.insert(tag.header_offset());
    used.insert(tag.header_offset() + kCdxPageSize);
    verify_tag(file, tag, used, problems);
  }
  const std::uint64_t size = file.size();
  std::uint32_t page = file.free_list_head();
  for (std::uint64_t steps = 0; page != 0 && page != kCdxNoPage; ++steps) {
    if (steps > size / kCdxPageSize || page % kCdxPageSize != 0 || page + kCdxPageSize > size) {
      problems.push_back("free list: bad page " + hex(page));
      break;
    }
    if (!used.insert(page).second) {
      problems.push_back("free list: page " + hex(page) + " is also in use");
      break;
    }
    std::uint8_t next[4];
    if (auto r = file.read_bytes(page, next); !r) {
      problems.push_back(r.error().text);
      break;
    }
    page = std::uint32_t{next[0]} | std::uint32_t{next[1]} << 8 | std::uint32_t{next[2]} << 16 |
           std::uint32_t{next[3]} << 24;
  }
  return problems;
}

}  // namespace data
