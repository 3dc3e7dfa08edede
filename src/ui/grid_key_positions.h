#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/cdx_tag.h"
#include "data/result.h"

namespace ui {

// Where entries sit in one tag, as fractions of the tag, read from the pages on the way down the
// tree and never from the leaf level as a whole, so a grid over a table of any size can place its
// scroll bar and jump to a scroll position with a handful of page reads.
//
// A subtree is weighed by the entries of its own top page (a page above the leaves by the exact
// sizes of its leaves), so a fraction is an estimate: exact at both ends of the tag and near any
// leaf, off by the unevenness of the pages further down. Fractions
// are in storage order (ascending keys); descending orders mirror them. Deleted rows count, as they
// keep their entries. Reading takes the index read lock, so another program's change between two
// calls shows in the second.
class KeyPositions {
 public:
  explicit KeyPositions(data::CdxTag& tag) : m_tag(&tag) {}

  // The share of the tag's entries that come before (key, recno): 0 before the first entry, 1 after
  // the last. `key` must be key_length() bytes.
  [[nodiscard]] data::Result<double> fraction_before(std::string_view key, std::uint32_t recno);
  // The entry `fraction` of the way through the tag; an invalid position when the tag is empty.
  [[nodiscard]] data::Result<data::CdxTag::Position> entry_at(double fraction);
  // The number of entries: the leaves counted on the level above them, times the mean fill of the
  // leaves met on the way down to the first, middle and last entries. Exact for a tag of one or two
  // levels.
  [[nodiscard]] data::Result<double> estimated_entries();

  // Entries from `from` to `to`, both included (storage order, `from` not after `to`), counted leaf
  // by leaf; nothing when more than `max_leaves` leaves lie between them.
  [[nodiscard]] data::Result<std::optional<long>> count_between(const data::CdxTag::Position& from,
                                                                const data::CdxTag::Position& to, int max_leaves);
  // The entry `steps` entries after (`upwards`) or before `from`, passing whole leaves at a time; an
  // invalid position past an end of the tag; nothing when more than `max_leaves` leaves lie between.
  [[nodiscard]] data::Result<std::optional<data::CdxTag::Position>> advance(data::CdxTag::Position from, long steps,
                                                                            bool upwards, int max_leaves);

  data::CdxTag& tag() { return *m_tag; }

 private:
  data::Result<std::shared_ptr<const data::CdxNode>> node(std::uint32_t page);
  // The entries of each child page of `parent`.
  data::Result<std::vector<double>> child_weights(const data::CdxNode& parent);

  data::CdxTag* m_tag;
};

// `prefix` made a full key of `length` bytes by filling it with `fill`: 0x00 gives the first key
// that begins with the prefix, 0xFF a key after the last one.
std::string padded_key(std::string_view prefix, int length, char fill);

}  // namespace ui
