#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "data/cdx_tag.h"
#include "data/result.h"
#include "data/table_index.h"

namespace data {

// The record pointer of a work area moving through one tag in the tag's own order:
// descending tags are walked from their greatest key, rows the work area hides
// (deleted ones) are stepped over, and seeks follow the prefix rule: an exact seek
// stops on the first key in tag order that begins with the text sought, a soft seek on
// the first key at or after it.
class OrderCursor {
 public:
  // Whether a record may be shown; the work area's deleted-row rule.
  using Visible = std::function<bool(std::uint32_t recno)>;

  OrderCursor(CdxTag& tag, Visible visible) : m_tag(&tag), m_visible(std::move(visible)) {}

  CdxTag& tag() { return *m_tag; }
  const CdxTag::Position& position() const { return m_at; }
  bool eof() const { return !m_at.valid(); }
  bool bof() const { return m_bof; }
  // The current record; 0 at EOF.
  std::uint32_t recno() const { return m_at.valid() ? m_at.recno() : 0; }
  // The current entry's key; empty at EOF.
  std::string_view key() const { return m_at.valid() ? m_at.key() : std::string_view(); }

  [[nodiscard]] Result<void> go_top();
  [[nodiscard]] Result<void> go_bottom();
  // Moves `count` visible records (negative: backwards). Past the last: EOF. Before
  // the first: BOF, on the first visible record.
  [[nodiscard]] Result<void> skip(long count);
  // Returns whether a key beginning with `text` was found. Exact: EOF when not found.
  // Soft: stops on the next key in tag order (EOF when there is none). `text` is key
  // bytes: a character prefix, or the 8 bytes of a numeric or date key. A text longer
  // than the key length is cut to it.
  Result<bool> seek(std::string_view text, SeekMode mode);
  // Puts the pointer on the entry (key, recno), or on the first entry after it in tag
  // order when it is not there (the record's key changed or it left the tag).
  [[nodiscard]] Result<void> go_to_entry(std::string_view key, std::uint32_t recno);
  // Leaves the order at EOF.
  void set_eof() {
    m_at = {};
    m_bof = false;
  }

 private:
  bool descending() const { return m_tag->header().descending; }
  Result<CdxTag::Position> forward(const CdxTag::Position& at) {
    return descending() ? m_tag->prev(at) : m_tag->next(at);
  }
  Result<CdxTag::Position> backward(const CdxTag::Position& at) {
    return descending() ? m_tag->next(at) : m_tag->prev(at);
  }
  // The first visible entry from `at` on (forwards in tag order, or backwards).
  Result<CdxTag::Position> visible_from(CdxTag::Position at, bool forwards);

  CdxTag* m_tag;
  Visible m_visible;
  CdxTag::Position m_at;
  bool m_bof = false;
};

}  // namespace data
