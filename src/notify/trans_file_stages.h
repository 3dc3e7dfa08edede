#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "notify/trans_file.h"
#include "notify/trans_file_matcher.h"

namespace notify {

// Expands template text chunk by chunk into body text. Template text may hold kMaskedDot; what
// leaves is unmasked.
class ChunkSubstituter {
 public:
  virtual ~ChunkSubstituter() = default;
  // Expands `text` from its start, appending to `out`: every placeholder that begins before
  // `limit`, or all of `text` when `is_last`. `text` holds at least the longest placeholder after
  // `limit` unless `is_last`. Returns how many bytes of `text` were used (limit or more).
  virtual std::size_t expand(std::string_view text, std::size_t limit, bool is_last, std::string& out) = 0;
  // Called with the expanded text before it is written. False when the single pass cannot be
  // trusted for this template and the slower exact expansion must be used instead.
  virtual bool accept(std::string_view out, bool is_last) = 0;
};

// One pass for all pairs, valid when placeholder occurrences never overlap
// (PlaceholderSet::occurrences_never_overlap) and no value creates a placeholder of a later pair,
// which accept() checks on the text as written: each inserted value, with the text around it, must
// hold no placeholder that a later pair would still have replaced.
class SinglePassSubstituter final : public ChunkSubstituter {
 public:
  // Requires: `set` and `pairs` outlive the substituter; `set` was built from `pairs`.
  SinglePassSubstituter(const PlaceholderSet& set, const SubstitutionList& pairs) : m_set(set), m_pairs(pairs) {}

  std::size_t expand(std::string_view text, std::size_t limit, bool is_last, std::string& out) override;
  bool accept(std::string_view out, bool is_last) override;

 private:
  struct Insertion {
    std::uint64_t start;  // Offset in the body.
    std::uint64_t end;
    int pair;
  };
  bool occurrence_is_settled(std::uint64_t start, const PlaceholderHit& hit);

  const PlaceholderSet& m_set;
  const SubstitutionList& m_pairs;
  std::uint64_t m_written = 0;  // Body bytes before the current `out`.
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

  std::size_t expand(std::string_view text, std::size_t limit, bool is_last, std::string& out) override;
  bool accept(std::string_view, bool) override { return true; }

 private:
  const SubstitutionList& m_pairs;
  std::vector<std::string> m_held;  // Per pair: the tail that may begin its placeholder.
  std::string m_flow;
  std::string m_next;
};

}  // namespace notify
