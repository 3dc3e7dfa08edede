#include "ui/browse_cursor.h"

#include <algorithm>
#include <cmath>

#include "data/runtime_error.h"

namespace ui {

namespace {

constexpr std::uint32_t kLastRecno = 0xFFFFFFFF;

}  // namespace

template <typename T>
T BrowseCursor::check(data::Result<T> result, std::string_view operation) {
  if (!result) throw data::RuntimeError(std::string(operation), "BROWSE", m_table->Name + ": " + result.error().text);
  return std::move(*result);
}

void BrowseCursor::check(data::Result<void> result, std::string_view operation) {
  if (!result) throw data::RuntimeError(std::string(operation), "BROWSE", m_table->Name + ": " + result.error().text);
}

BrowseCursor::BrowseCursor(data::WDBTable& table) : m_table(&table) {
  const data::TableOrder* order = table.table().controlling_order();
  set_order(order ? order->name() : "");
}

void BrowseCursor::set_order(std::string_view tag) {
  m_table->set_order(tag);
  data::DbfTable& dbf = m_table->table();
  m_order = dynamic_cast<data::CdxTableOrder*>(dbf.controlling_order());
  m_order_name = dbf.controlling_order() ? dbf.controlling_order()->name() : "";
  m_source.emplace(dbf, m_table->Name);
  compute_scope_keys();
}

void BrowseCursor::set_scope(const data::Value& top, const data::Value& bottom) {
  m_has_scope = true;
  m_top = top;
  m_bottom = bottom;
  compute_scope_keys();
}

void BrowseCursor::clear_scope() {
  m_has_scope = false;
  m_top = {};
  m_bottom = {};
  compute_scope_keys();
}

void BrowseCursor::compute_scope_keys() {
  m_low.clear();
  m_high.clear();
  m_has_high = false;
  if (!m_has_scope || !is_indexed()) return;
  std::string top = m_top.is_empty() ? std::string() : check(m_order->seek_bytes(m_top, *m_source), "SET_SCOPE");
  std::string bottom =
      m_bottom.is_empty() ? std::string() : check(m_order->seek_bytes(m_bottom, *m_source), "SET_SCOPE");
  if (descending()) std::swap(top, bottom);
  m_low = std::move(top);
  m_high = std::move(bottom);
  // An empty bottom is the prefix every key begins with: no upper bound.
  m_has_high = !m_high.empty();
}

bool BrowseCursor::key_in_scope(std::string_view key) const {
  if (!m_low.empty() && key.substr(0, m_low.size()) < std::string_view(m_low)) return false;
  if (m_has_high && key.substr(0, m_high.size()) > std::string_view(m_high)) return false;
  return true;
}

std::string BrowseCursor::current_key() {
  data::DbfTable& dbf = m_table->table();
  m_source->set_record(dbf.record_bytes(), dbf.rec_no());
  std::string key;
  if (!m_order->entry_key(*m_source, key)) return {};
  return key;
}

bool BrowseCursor::in_scope() {
  data::DbfTable& dbf = m_table->table();
  if (dbf.eof() || dbf.deleted()) return false;
  if (!is_indexed()) return true;
  m_source->set_record(dbf.record_bytes(), dbf.rec_no());
  // A row its order's FOR condition leaves out is not in the grid either.
  if (!m_order->entry_key(*m_source, m_scratch)) return false;
  return key_in_scope(m_scratch);
}

BrowseCursor::Bounds BrowseCursor::bounds() {
  data::CdxTag& tag = m_order->tag();
  Bounds b;
  b.first = m_low.empty() ? check(tag.first(), "GoTop")
                          : check(tag.lower_bound(padded_key(m_low, tag.key_length(), '\0'), 0), "GoTop");
  if (!m_has_high) {
    b.last = check(tag.last(), "GoBottom");
  } else {
    data::CdxTag::Position after =
        check(tag.lower_bound(padded_key(m_high, tag.key_length(), '\xFF'), kLastRecno), "GoBottom");
    b.last = after.valid() ? check(tag.prev(after), "GoBottom") : check(tag.last(), "GoBottom");
  }
  const bool is_empty = !b.first.valid() || !b.last.valid() || !key_in_scope(b.first.key()) ||
                        !key_in_scope(b.last.key()) ||
                        std::pair(b.first.key(), b.first.recno()) > std::pair(b.last.key(), b.last.recno());
  if (is_empty) return {};
  return b;
}

data::CdxTag::Position BrowseCursor::navigation_edge(bool at_end) {
  Bounds b = bounds();
  return at_end != descending() ? b.last : b.first;
}

void BrowseCursor::load(std::uint32_t recno) {
  m_table->GoTo(recno);
  ++m_rows_read;
}

void BrowseCursor::go_eof() { m_table->GoTo(m_table->LastRec() + 1); }

bool BrowseCursor::step(long direction) {
  const std::uint32_t from = m_table->RecNo();
  m_table->Skip(direction);
  ++m_rows_read;
  if (m_table->Eof() || (direction < 0 && m_table->Bof()) || !in_scope()) {
    load(from);
    return false;
  }
  return true;
}

bool BrowseCursor::land(std::uint32_t recno, bool forwards) {
  load(recno);
  if (in_scope()) return true;
  if (step(forwards ? 1 : -1) || step(forwards ? -1 : 1)) return true;
  go_eof();
  return false;
}

bool BrowseCursor::go_top() {
  if (!is_indexed()) {
    m_table->GoTop();
    ++m_rows_read;
    return !m_table->Eof();
  }
  data::CdxTag::Position edge = navigation_edge(false);
  if (!edge.valid()) {
    go_eof();
    return false;
  }
  return land(edge.recno(), true);
}

bool BrowseCursor::go_bottom() {
  if (!is_indexed()) {
    m_table->GoBottom();
    ++m_rows_read;
    return !m_table->Eof();
  }
  data::CdxTag::Position edge = navigation_edge(true);
  if (!edge.valid()) {
    go_eof();
    return false;
  }
  return land(edge.recno(), false);
}

long BrowseCursor::skip(long count) {
  if (m_table->Eof()) return 0;
  const long direction = count < 0 ? -1 : 1;
  long moved = 0;
  while (moved != count && step(direction)) moved += direction;
  return moved;
}

bool BrowseCursor::go_to_record(std::uint32_t recno) {
  if (recno == 0 || recno > m_table->LastRec()) return false;
  const std::uint32_t from = m_table->RecNo();
  load(recno);
  if (in_scope()) return true;
  if (from <= m_table->LastRec()) load(from);
  else go_eof();
  return false;
}

bool BrowseCursor::seek(const data::Value& key) {
  if (!is_indexed()) return go_top();
  m_table->Seek(key, true);
  ++m_rows_read;
  if (!m_table->Eof() && in_scope()) return true;
  if (!m_table->Eof()) {
    // Before the scope: its first row; after it: its last.
    const std::string found = current_key();
    if (!m_low.empty() && found.substr(0, m_low.size()) < m_low) return descending() ? go_bottom() : go_top();
  }
  return descending() ? go_top() : go_bottom();
}

long BrowseCursor::estimated_count(const Bounds& b) {
  KeyPositions positions(m_order->tag());
  const double entries = check(positions.estimated_entries(), "NMAXREC");
  const double low = check(positions.fraction_before(b.first.key(), b.first.recno()), "NMAXREC");
  const double high = check(positions.fraction_before(b.last.key(), b.last.recno()), "NMAXREC");
  return std::lround((high - low) * entries) + 1;
}

bool BrowseCursor::is_within_reach(const data::CdxTag::Position& from, const data::CdxTag::Position& to) {
  KeyPositions positions(m_order->tag());
  const double entries = check(positions.estimated_entries(), "NMAXREC");
  const double low = check(positions.fraction_before(from.key(), from.recno()), "NMAXREC");
  const double high = check(positions.fraction_before(to.key(), to.recno()), "NMAXREC");
  return (high - low) * entries <= kExactReach;
}

std::optional<long> BrowseCursor::exact_count(const data::CdxTag::Position& from, const data::CdxTag::Position& to) {
  if (!is_within_reach(from, to)) return std::nullopt;
  KeyPositions positions(m_order->tag());
  return check(positions.count_between(from, to, kExactLeaves), "NMAXREC");
}

long BrowseCursor::row_count() {
  if (!is_indexed()) return static_cast<long>(m_table->LastRec());
  Bounds b = bounds();
  if (!b.first.valid()) return 0;
  if (std::optional<long> exact = exact_count(b.first, b.last)) return *exact;
  return std::max(estimated_count(b), 1L);
}

long BrowseCursor::position() {
  if (m_table->Eof()) return 0;
  if (!is_indexed()) return static_cast<long>(m_table->RecNo());
  const std::string key = current_key();
  if (key.empty()) return 0;
  const std::uint32_t recno = m_table->RecNo();
  Bounds b = bounds();
  if (!b.first.valid()) return 0;
  data::CdxTag& tag = m_order->tag();
  const data::CdxTag::Position at = check(tag.lower_bound(key, recno), "NCURREC");
  if (!at.valid()) return 0;
  KeyPositions positions(tag);
  // Counted from the near end of the scope when it is within reach, in the order's own direction.
  const std::optional<long> before = descending() ? exact_count(at, b.last) : exact_count(b.first, at);
  if (before) return *before;
  const long count = row_count();
  const std::optional<long> after = descending() ? exact_count(b.first, at) : exact_count(at, b.last);
  if (after) return std::max(count - *after + 1, 1L);
  const double entries = check(positions.estimated_entries(), "NCURREC");
  const double low = check(positions.fraction_before(b.first.key(), b.first.recno()), "NCURREC");
  const double here = check(positions.fraction_before(key, recno), "NCURREC");
  long in_storage = std::lround((here - low) * entries) + 1;
  if (descending()) in_storage = count - in_storage + 1;
  return std::clamp(in_storage, 1L, std::max(count, 1L));
}

bool BrowseCursor::go_to_position(long wanted) {
  if (!is_indexed()) {
    if (m_table->LastRec() == 0) return false;
    wanted = std::clamp(wanted, 1L, static_cast<long>(m_table->LastRec()));
    return land(static_cast<std::uint32_t>(wanted), true);
  }
  Bounds b = bounds();
  if (!b.first.valid()) {
    go_eof();
    return false;
  }
  const long count = row_count();
  wanted = std::clamp(wanted, 1L, std::max(count, 1L));
  const data::CdxTag::Position& nav_first = descending() ? b.last : b.first;
  const data::CdxTag::Position& nav_last = descending() ? b.first : b.last;
  KeyPositions positions(m_order->tag());
  std::optional<data::CdxTag::Position> at;
  if (wanted - 1 <= kExactReach)
    at = check(positions.advance(nav_first, wanted - 1, !descending(), kExactLeaves), "NCURREC");
  if (!at && count - wanted <= kExactReach)
    at = check(positions.advance(nav_last, count - wanted, descending(), kExactLeaves), "NCURREC");
  if (!at) {
    const double entries = check(positions.estimated_entries(), "NCURREC");
    const double low = check(positions.fraction_before(b.first.key(), b.first.recno()), "NCURREC");
    const long in_storage = descending() ? count - wanted + 1 : wanted;
    at = check(positions.entry_at(low + static_cast<double>(in_storage - 1) / std::max(entries, 1.0)), "NCURREC");
  }
  if (!at->valid() || !key_in_scope(at->key())) {
    // Past an end of the scope: the end it ran into.
    const bool is_low = at->valid() && at->key().substr(0, m_low.size()) < std::string_view(m_low);
    at = is_low ? b.first : b.last;
  }
  return land(at->recno(), true);
}

}  // namespace ui
