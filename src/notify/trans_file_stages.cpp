#include "notify/trans_file_stages.h"

#include <algorithm>

#include "notify/trans_file_images.h"

namespace notify {

namespace {

// Turns the masked dots of web images back into dots, in place.
void unmask(std::string& text, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (text[i] == kMaskedDot) text[i] = '.';
  }
}

}  // namespace

std::size_t SinglePassSubstituter::expand(std::string& text, std::size_t limit, bool is_last, std::ostream& out) {
  const std::size_t end = is_last ? text.size() : std::min(limit, text.size());
  std::size_t copied = 0;  // Template text up to here is written.
  std::size_t p = 0;
  while (true) {
    p = m_set.next_candidate(text, p);
    if (p >= end) break;
    const PlaceholderHit hit = m_set.winner_at(text, p);
    if (hit.length == 0) {
      ++p;
      continue;
    }
    unmask(text, copied, p);
    if (!write_checked(std::string_view(text).substr(copied, p - copied), false, out)) return kUntrusted;
    const std::string& value = m_pairs[static_cast<std::size_t>(hit.first_pair)].value;
    m_insertions.push_back({m_written, m_written + value.size(), hit.first_pair});
    if (!write_checked(value, false, out)) return kUntrusted;
    p += hit.length;
    copied = p;
  }
  const std::size_t used = std::max(copied, end);
  unmask(text, copied, used);
  if (!write_checked(std::string_view(text).substr(copied, used - copied), is_last, out)) return kUntrusted;
  return used;
}

// Whether an occurrence of a placeholder found in the body matches what the pair-by-pair rule
// gives: it must lie (partly) in a value that a pair at or after its own last pair inserted. One
// touching an earlier pair's value would have been replaced by the later pair; one touching no
// value at all should not exist, and is not trusted either.
bool SinglePassSubstituter::occurrence_is_settled(std::uint64_t start, const PlaceholderHit& hit) {
  const std::uint64_t end = start + hit.length;
  while (!m_insertions.empty() && m_insertions.front().end <= start) m_insertions.pop_front();
  bool touches_value = false;
  for (const Insertion& value : m_insertions) {
    if (value.start >= end) break;
    const bool touches = value.start == value.end ? value.start > start : value.end > start;
    if (!touches) continue;
    touches_value = true;
    if (value.pair < hit.last_pair) return false;
  }
  return touches_value;
}

bool SinglePassSubstituter::write_checked(std::string_view piece, bool is_last, std::ostream& out) {
  out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
  m_unchecked.append(piece);
  m_written += piece.size();
  // Occurrences are looked for only where the longest placeholder fits in what is written.
  const std::size_t keep = m_set.longest() > 0 ? m_set.longest() - 1 : 0;
  const std::size_t end =
      is_last ? m_unchecked.size() : (m_unchecked.size() > keep ? m_unchecked.size() - keep : 0);
  std::size_t p = 0;
  while (true) {
    p = m_set.next_candidate(m_unchecked, p);
    if (p >= end) break;
    m_set.hits_at(m_unchecked, p, m_hits);
    for (const PlaceholderHit& hit : m_hits) {
      if (!occurrence_is_settled(m_unchecked_start + p, hit)) return false;
    }
    ++p;
  }
  m_unchecked.erase(0, end);
  m_unchecked_start += end;
  // Values that end before the unchecked text cannot touch an occurrence found later.
  while (!m_insertions.empty() && m_insertions.front().end <= m_unchecked_start) m_insertions.pop_front();
  return true;
}

PairByPairSubstituter::PairByPairSubstituter(const SubstitutionList& pairs)
    : m_pairs(pairs), m_held(pairs.size()) {}

std::size_t PairByPairSubstituter::expand(std::string& text, std::size_t limit, bool is_last, std::ostream& out) {
  const std::size_t used = is_last ? text.size() : std::min(limit, text.size());
  m_flow.clear();
  append_unmasked(m_flow, std::string_view(text).substr(0, used));
  for (std::size_t i = 0; i < m_pairs.size(); ++i) {
    const std::string& placeholder = m_pairs[i].placeholder;
    std::string& held = m_held[i];
    if (placeholder.empty()) continue;
    held += m_flow;
    m_next.clear();
    std::size_t q = 0;
    while (true) {
      const std::size_t found = held.find(placeholder, q);
      if (found == std::string::npos) break;
      m_next.append(held, q, found - q);
      m_next += m_pairs[i].value;
      q = found + placeholder.size();
    }
    // A tail shorter than the placeholder may be the beginning of one that the next chunk ends.
    std::size_t release = held.size();
    if (!is_last && held.size() - q >= placeholder.size()) release = held.size() - (placeholder.size() - 1);
    else if (!is_last) release = q;
    m_next.append(held, q, release - q);
    held.erase(0, release);
    m_flow.swap(m_next);
  }
  out.write(m_flow.data(), static_cast<std::streamsize>(m_flow.size()));
  return used;
}

}  // namespace notify
