#include "data/order_cursor.h"

namespace data {

Result<CdxTag::Position> OrderCursor::visible_from(CdxTag::Position at, bool forwards) {
  while (at.valid() && m_visible && !m_visible(at.recno())) {
    auto step = forwards ? forward(at) : backward(at);
    if (!step) return step;
    at = std::move(*step);
  }
  return at;
}

Result<void> OrderCursor::go_top() {
  auto first = descending() ? m_tag->last() : m_tag->first();
  if (!first) return first.error();
  auto at = visible_from(std::move(*first), true);
  if (!at) return at.error();
  m_at = std::move(*at);
  m_bof = !m_at.valid();
  return {};
}

Result<void> OrderCursor::go_bottom() {
  auto last = descending() ? m_tag->first() : m_tag->last();
  if (!last) return last.error();
  auto at = visible_from(std::move(*last), false);
  if (!at) return at.error();
  m_at = std::move(*at);
  m_bof = !m_at.valid();
  return {};
}

Result<void> OrderCursor::skip(long count) {
  m_bof = false;
  if (count == 0) return {};
  if (count > 0) {
    for (long i = 0; i < count && m_at.valid(); ++i) {
      auto step = forward(m_at);
      if (!step) return step.error();
      auto at = visible_from(std::move(*step), true);
      if (!at) return at.error();
      m_at = std::move(*at);
    }
    return {};
  }
  // Backwards from EOF starts at the last record.
  if (!m_at.valid()) {
    if (auto r = go_bottom(); !r) return r;
    ++count;
    if (!m_at.valid()) {
      m_bof = true;
      return {};
    }
  }
  for (long i = 0; i > count; --i) {
    auto step = backward(m_at);
    if (!step) return step.error();
    auto at = visible_from(std::move(*step), false);
    if (!at) return at.error();
    if (!at->valid()) {
      // Before the first record: stay on the first one with BOF set.
      m_bof = true;
      return {};
    }
    m_at = std::move(*at);
  }
  return {};
}

Result<bool> OrderCursor::seek(std::string_view text, SeekMode mode) {
  m_bof = false;
  const std::size_t kl = static_cast<std::size_t>(m_tag->key_length());
  // A text longer than the key is cut to the key length, as the other programs do.
  text = text.substr(0, kl);
  Result<CdxTag::Position> start = CdxTag::Position{};
  if (!descending()) {
    // The first entry whose key, over the length sought, is >= the text.
    std::string low(text);
    low.resize(kl, '\0');
    start = m_tag->lower_bound(low, 0);
  } else {
    // In tag order that is the last stored entry whose key, over that length, is <=.
    std::string high(text);
    high.resize(kl, '\xFF');
    auto after = m_tag->lower_bound(high, 0xFFFFFFFF);
    if (!after) return after.error();
    start = after->valid() ? m_tag->prev(*after) : m_tag->last();
  }
  if (!start) return start.error();
  auto at = visible_from(std::move(*start), true);
  if (!at) return at.error();
  m_at = std::move(*at);
  const bool found = m_at.valid() && m_at.key().substr(0, text.size()) == text;
  if (!found && mode == SeekMode::Exact) m_at = {};
  return found;
}

Result<void> OrderCursor::go_to_entry(std::string_view key, std::uint32_t recno) {
  m_bof = false;
  auto at = m_tag->lower_bound(key, recno);
  if (!at) return at.error();
  if (descending() && !(at->valid() && at->key() == key && at->recno() == recno)) {
    // Not there: the next entry in descending order is the one before.
    auto before = at->valid() ? m_tag->prev(*at) : m_tag->last();
    if (!before) return before.error();
    m_at = std::move(*before);
    return {};
  }
  m_at = std::move(*at);
  return {};
}

}  // namespace data
