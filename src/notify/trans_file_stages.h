#pragma once

#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "notify/trans_file.h"
#include "notify/trans_file_matcher.h"

namespace notify {

// Expands template text chunk by chunk into the body file. Template text may hold kMaskedDot;
// what is written is unmasked.
class ChunkSubstituter {
 public:
  // expand() gives this when the single pass cannot be trusted for the template: the slower exact
  // expansion must start again from the beginning.
  static constexpr std::size_t kUntrusted = static_cast<std::size_t>(-1);

  virtual ~ChunkSubstituter() = default;
  // Expands `text` from its start, writing to `out`: every placeholder that begins before `limit`,
  // or all of `text` when `is_last`. `text` holds at least the longest placeholder after `limit`
  // unless `is_last`; its used part may be changed (unmasked). Returns how many bytes of `text`
  // were used (limit or more), or kUntrusted.
  virtual std::size_t expand(std::string& text, std::size_t limit, bool is_last, std::ostream& out) = 0;
};

// One pass for all pairs, valid when placeholder occurrences never overlap
// (PlaceholderSet::occurrences_never_overlap) and no value creates a placeholder of a later pair,
// which is checked on the body as it is written: each inserted value, with the text around it,
// must hold no placeholder that a later pair would still have replaced.
class SinglePassSubstituter final : public ChunkSubstituter {
 public:
  // Requires: `set` and `pairs` outlive the substituter; `set` was built from `pairs`.
  SinglePassSubstituter(const PlaceholderSet& set, const SubstitutionList& pairs) : m_set(set), m_pairs(pairs) {}

  std::size_t expand(std::string& text, std::size_t limit, bool is_last, std::ostream& out) override;

 private:
  struct Insertion {
    std::uint64_t start;  // Offset in the body.
    std::uint64_t end;
    int pair;
  };
  bool occurrence_is_settled(std::uint64_t start, const PlaceholderHit& hit);
  // Checks `piece` of the body (and what came before it) and writes it.
  bool write_checked(std::string_view piece, bool is_last, std::ostream& out);

  const PlaceholderSet& m_set;
  const SubstitutionList& m_pairs;
  std::uint64_t m_written = 0;  // Body bytes written.
  std::deque<Insertion> m_insertions;
  std::string m_unchecked;              // Body text not yet checked (less than the longest placeholder).
  std::uint64_t m_unchecked_start = 0;  // Its offset in the body.
  std::vector<PlaceholderHit> m_hits;
};

// The pairs applied one after the other, each as a streaming replacement feeding the next: exact
// for every list, and slower the longer the list.
class PairByPairSubstituter final : public ChunkSubstituter {
 public:
  // Requires: `pairs` outlives the substituter.
  explicit PairByPairSubstituter(const SubstitutionList& pairs);

  std::size_t expand(std::string& text, std::size_t limit, bool is_last, std::ostream& out) override;

 private:
  const SubstitutionList& m_pairs;
  std::vector<std::string> m_held;  // Per pair: the tail that may begin its placeholder.
  std::string m_flow;
  std::string m_next;
};

}  // namespace notify
