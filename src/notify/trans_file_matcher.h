#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace notify {

// One placeholder found at a position: its length and the list positions (0-based) of the first
// and last pair that name it (a list may name a placeholder twice).
struct PlaceholderHit {
  std::size_t length = 0;
  int first_pair = -1;
  int last_pair = -1;
};

// The placeholders of one substitution list, for finding all of them in one pass over a text
// instead of one pass per pair. Empty placeholders are left out: they match nothing.
class PlaceholderSet {
 public:
  // Requires: the texts the views show outlive the set.
  explicit PlaceholderSet(const std::vector<std::string_view>& placeholders);

  std::size_t longest() const { return m_longest; }
  bool is_empty() const { return m_nodes.size() == 1; }

  // The position of the first byte at or after `from` where a placeholder may begin (text.size()
  // when there is none).
  std::size_t next_candidate(std::string_view text, std::size_t from) const;

  // Every placeholder that begins at `position`, shortest first (each is a prefix of the next).
  // `hits` is cleared first.
  void hits_at(std::string_view text, std::size_t position, std::vector<PlaceholderHit>& hits) const;

  // The placeholder that applying the pairs in list order puts in place at `position`, when
  // occurrences never overlap: of those beginning there, the one named first in the list.
  // Length 0 when none begins there.
  PlaceholderHit winner_at(std::string_view text, std::size_t position) const;

  // Whether two occurrences of placeholders (the same or different) can only overlap by beginning
  // at the same position: no placeholder holds another one after its first character, and no
  // placeholder ends with the beginning of another. Then the occurrences in a text are
  // independent of each other and a single pass can settle them.
  bool occurrences_never_overlap() const;

 private:
  // Children are a list through first_child and next_sibling: nodes stay small and need no
  // allocation of their own, so a long list costs little memory.
  struct Node {
    std::int32_t first_child = 0;
    std::int32_t next_sibling = 0;
    std::int32_t first_pair = -1;
    std::int32_t last_pair = -1;
    unsigned char byte = 0;
  };
  std::int32_t child(std::int32_t node, unsigned char byte) const;

  std::vector<Node> m_nodes;  // m_nodes[0] is the root.
  std::array<std::int32_t, 256> m_first{};  // Child of the root for each first byte; 0 = none.
  std::vector<std::string_view> m_words;    // Distinct placeholders.
  std::size_t m_longest = 0;
  int m_single_first_byte = -1;  // The only first byte, when all placeholders share one.
};

}  // namespace notify
