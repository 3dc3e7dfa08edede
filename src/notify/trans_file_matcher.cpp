#include "notify/trans_file_matcher.h"

#include <cstring>

namespace notify {

PlaceholderSet::PlaceholderSet(const std::vector<std::string_view>& placeholders) : m_nodes(1) {
  m_words.reserve(placeholders.size());
  int first_bytes = 0;  // Distinct first bytes of the placeholders.
  unsigned char last_first_byte = 0;
  for (std::size_t index = 0; index < placeholders.size(); ++index) {
    const std::string_view word = placeholders[index];
    if (word.empty()) continue;
    std::int32_t node = 0;
    for (const char c : word) {
      const auto byte = static_cast<unsigned char>(c);
      std::int32_t next = child(node, byte);
      if (next == 0) {
        next = static_cast<std::int32_t>(m_nodes.size());
        Node added;
        added.byte = byte;
        added.next_sibling = m_nodes[static_cast<std::size_t>(node)].first_child;
        m_nodes.push_back(added);
        m_nodes[static_cast<std::size_t>(node)].first_child = next;
        if (node == 0) {
          m_first[byte] = next;
          ++first_bytes;
          last_first_byte = byte;
        }
      }
      node = next;
    }
    Node& end = m_nodes[static_cast<std::size_t>(node)];
    if (end.first_pair < 0) {
      end.first_pair = static_cast<int>(index);
      m_words.emplace_back(word);
    }
    end.last_pair = static_cast<int>(index);
    if (word.size() > m_longest) m_longest = word.size();
  }
  if (first_bytes == 1) m_single_first_byte = last_first_byte;
}

std::int32_t PlaceholderSet::child(std::int32_t node, unsigned char byte) const {
  if (node == 0) return m_first[byte];
  for (std::int32_t c = m_nodes[static_cast<std::size_t>(node)].first_child; c != 0;
       c = m_nodes[static_cast<std::size_t>(c)].next_sibling) {
    if (m_nodes[static_cast<std::size_t>(c)].byte == byte) return c;
  }
  return 0;
}

std::size_t PlaceholderSet::next_candidate(std::string_view text, std::size_t from) const {
  if (from >= text.size() || is_empty()) return text.size();
  if (m_single_first_byte >= 0) {
    const void* found = std::memchr(text.data() + from, m_single_first_byte, text.size() - from);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : text.size();
  }
  for (std::size_t p = from; p < text.size(); ++p) {
    if (m_first[static_cast<unsigned char>(text[p])] != 0) return p;
  }
  return text.size();
}

void PlaceholderSet::hits_at(std::string_view text, std::size_t position, std::vector<PlaceholderHit>& hits) const {
  hits.clear();
  std::int32_t node = 0;
  for (std::size_t p = position; p < text.size(); ++p) {
    node = child(node, static_cast<unsigned char>(text[p]));
    if (node == 0) return;
    const Node& n = m_nodes[static_cast<std::size_t>(node)];
    if (n.first_pair >= 0) hits.push_back({p + 1 - position, n.first_pair, n.last_pair});
  }
}

PlaceholderHit PlaceholderSet::winner_at(std::string_view text, std::size_t position) const {
  PlaceholderHit best;
  std::int32_t node = 0;
  for (std::size_t p = position; p < text.size(); ++p) {
    node = child(node, static_cast<unsigned char>(text[p]));
    if (node == 0) break;
    const Node& n = m_nodes[static_cast<std::size_t>(node)];
    if (n.first_pair >= 0 && (best.length == 0 || n.first_pair < best.first_pair)) {
      best = {p + 1 - position, n.first_pair, n.last_pair};
    }
  }
  return best;
}

bool PlaceholderSet::occurrences_never_overlap() const {
  for (const std::string_view word : m_words) {
    for (std::size_t offset = 1; offset < word.size(); ++offset) {
      std::int32_t node = 0;
      std::size_t p = offset;
      for (; p < word.size(); ++p) {
        node = child(node, static_cast<unsigned char>(word[p]));
        if (node == 0) break;
        // Another placeholder lies inside this one, after its first character.
        if (m_nodes[static_cast<std::size_t>(node)].first_pair >= 0) return false;
      }
      // This placeholder ends with the beginning of another one.
      if (p == word.size() && node != 0) return false;
    }
  }
  return true;
}

}  // namespace notify
