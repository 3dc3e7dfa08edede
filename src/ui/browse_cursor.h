#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/cdx_record_source.h"
#include "data/cdx_table_order.h"
#include "data/value.h"
#include "data/wdbtable.h"
#include "ui/grid_key_positions.h"

namespace ui {

// The record pointer of a grid: a table handle moving through its controlling order within a key
// range (the scope), and the key positions that size and place the grid's scroll bar.
//
// The cursor moves the handle itself, so the dialog that owns the handle reads the grid's current
// row from its own fields. It reads only the rows it lands on: a move of n rows loads n rows, a jump
// to a key position descends the index and loads one. A scope holds the rows whose key begins with a
// text from `top` to `bottom` (prefix rule, so "2026" to "2026" holds the whole year); in a
// descending order `top` is the greater key.
//
// Key positions count index entries, deleted rows among them (the suite packs them away). They are
// counted leaf by leaf within kExactLeaves leaves of either end of the scope, and estimated from the
// pages above the leaves further in, so a scroll position costs a few hundred index pages at most. Table and index errors throw data::RuntimeError.
class BrowseCursor {
 public:
  // Scopes spanning up to this many index leaves (some 25,000 rows) are counted exactly.
  static constexpr int kExactLeaves = 256;
  // Rows between two places, by estimate, below which they are counted rather than estimated.
  static constexpr long kExactReach = 20000;

  // Requires: `table` is open and outlives the cursor. Takes the handle's controlling order.
  explicit BrowseCursor(data::WDBTable& table);

  data::WDBTable& table() { return *m_table; }
  // The controlling order's tag name, "" for physical order.
  const std::string& order() const { return m_order_name; }
  // Makes `tag` the controlling order ("" physical order) and applies the scope to it. Throws when
  // the index has no such tag.
  void set_order(std::string_view tag);
  void set_scope(const data::Value& top, const data::Value& bottom);
  void clear_scope();
  bool has_scope() const { return m_has_scope; }
  const data::Value& scope_top() const { return m_top; }
  const data::Value& scope_bottom() const { return m_bottom; }

  // First / last row of the scope. False, with the handle at EOF, when the scope has no row.
  bool go_top();
  bool go_bottom();
  // Moves `count` rows (negative: back), stopping on the last row of the scope in that direction.
  // Answers the rows moved, signed.
  long skip(long count);
  // Whether the handle's current row is a visible row of the scope.
  bool in_scope();
  // Puts the handle on record `recno` when it is a visible row of the scope; otherwise leaves the
  // handle where it was and answers false.
  bool go_to_record(std::uint32_t recno);
  // Seeks `key` (soft) in the active order and stays in the scope: on the row found, or on the
  // first row after it, or on the last row. False when the scope is empty.
  bool seek(const data::Value& key);

  // Rows in the scope (the grid's NMAXREC); 0 when the scope is empty.
  long row_count();
  // Key position of the current row within the scope, 1-based (NCURREC); 0 at EOF.
  long position();
  // Goes to the row at key position `position` (clamped to the scope). False when the scope is empty.
  bool go_to_position(long position);

  // Records this cursor made the handle load, for tests and benchmarks.
  std::uint64_t rows_read() const { return m_rows_read; }

 private:
  struct Bounds {
    data::CdxTag::Position first;  // In storage order; invalid when the scope is empty.
    data::CdxTag::Position last;
  };

  bool is_indexed() const { return m_order != nullptr; }
  bool descending() const { return m_order && m_order->tag().header().descending; }
  void compute_scope_keys();
  bool key_in_scope(std::string_view key) const;
  std::string current_key();
  Bounds bounds();
  // The first / last row of the scope in the order's own direction.
  data::CdxTag::Position navigation_edge(bool at_end);
  // Loads `recno`; a deleted row moves on to the nearest visible row of the scope, forwards first.
  bool land(std::uint32_t recno, bool forwards);
  void load(std::uint32_t recno);
  void go_eof();
  bool step(long direction);
  long estimated_count(const Bounds& bounds);
  bool is_within_reach(const data::CdxTag::Position& from, const data::CdxTag::Position& to);
  // Entries from `from` to `to` counted leaf by leaf, when they are within reach.
  std::optional<long> exact_count(const data::CdxTag::Position& from, const data::CdxTag::Position& to);

  template <typename T>
  T check(data::Result<T> result, std::string_view operation);
  void check(data::Result<void> result, std::string_view operation);

  data::WDBTable* m_table;
  std::string m_order_name;
  data::CdxTableOrder* m_order = nullptr;  // Owned by the table's index; null in physical order.
  std::optional<data::CdxRecordSource> m_source;
  bool m_has_scope = false;
  data::Value m_top;
  data::Value m_bottom;
  std::string m_low;   // Storage-order bounds as key bytes; empty: unbounded.
  std::string m_high;
  bool m_has_high = false;
  std::uint64_t m_rows_read = 0;
  std::string m_scratch;
};

}  // namespace ui
