#pragma once

// The seam between a table and its production index.
//
// A DbfTable knows nothing of CDX pages. When it opens, it asks the IndexOpener of its
// open options for the production index (the CDX beside the DBF) and keeps the returned
// TableIndex for its lifetime. From then on:
//
//  - navigation (GoTop, GoBottom, Skip) follows the controlling TableOrder when one is
//    set, and physical record order otherwise; the table skips hidden (deleted) records
//    itself by asking the order again, and re-reads each record it lands on;
//  - Seek is handed to the controlling order whole, with a predicate that tells which
//    records are visible;
//  - every write of a record reaches the index: record_added() once for each new record,
//    at its first commit, with the bytes then written (a row appended in shared mode is
//    in the file as a blank row from the append on, without keys until that commit), and
//    record_changed() for each later rewrite that changed any byte, with the bytes before
//    and after. Both run after the DBF bytes were written and while the table still holds
//    the record's lock, so the index sees the same rows as other readers;
//  - flush() is called by DbfTable::flush() and before the table closes; the index is
//    destroyed before the table's files are closed.
//
// Record bytes passed across the seam are whole records as stored: byte 0 is the
// deletion flag, text is in the table's code page. DbfTable::decode_field() and
// DbfTable::raw_field() read single fields out of such bytes, so an index can evaluate
// its key expressions against a record that is not the current one.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "data/result.h"
#include "data/value.h"

namespace data {

class DbfTable;

enum class SeekMode { Exact, Soft };

// Where a seek leaves the table.
struct SeekOutcome {
  std::uint32_t recno = 0;  // 0 when no visible entry remains: the table goes to EOF.
  bool found = false;       // The entry's key begins with the key sought.
};

// Whether a record may be shown (false for deleted records while they are hidden).
using RecordVisibility = std::function<bool(std::uint32_t recno)>;

// One order (tag) of a production index: record numbers in key order. Entries are
// returned regardless of the deletion flag; the table filters them.
class TableOrder {
 public:
  virtual ~TableOrder() = default;

  // The tag name, upper case.
  virtual const std::string& name() const = 0;
  // Record number of the first / last entry; 0 when the order is empty.
  virtual Result<std::uint32_t> first() = 0;
  virtual Result<std::uint32_t> last() = 0;
  // Record number of the entry after / before the entry of record `recno`, whose stored
  // bytes are `record`; 0 when there is none. A record without an entry (its FOR
  // condition is false) moves to the entry after / before the place its key would take.
  virtual Result<std::uint32_t> next(std::uint32_t recno, std::span<const std::byte> record) = 0;
  virtual Result<std::uint32_t> previous(std::uint32_t recno, std::span<const std::byte> record) = 0;
  // Finds the first visible entry whose key begins with `key` (text in UTF-8, number or
  // date, converted to the tag's key form). Exact: recno 0 when there is none. Soft: the
  // first visible entry at or after the key, recno 0 when none remains.
  virtual Result<SeekOutcome> seek(const Value& key, SeekMode mode, const RecordVisibility& visible) = 0;
};

// The production index of one table: every tag, maintained on every write.
class TableIndex {
 public:
  virtual ~TableIndex() = default;

  virtual std::size_t order_count() const = 0;
  // Requires: 1 <= position <= order_count().
  virtual TableOrder& order(std::size_t position) = 0;
  // The tag of that name (case-insensitive), or nullptr.
  virtual TableOrder* find_order(std::string_view name) = 0;

  // A new record `recno` was written for the first time as `record`.
  virtual Result<void> record_added(std::uint32_t recno, std::span<const std::byte> record) = 0;
  // Record `recno` was rewritten from `before` to `after` (the deletion flag included).
  virtual Result<void> record_changed(std::uint32_t recno, std::span<const std::byte> before,
                                      std::span<const std::byte> after) = 0;
  // Writes every pending change to the index file.
  virtual Result<void> flush() = 0;
};

// Opens the production index of a table that has just been opened; returns nullptr when
// the table has none. Called once from DbfTable::open() with the open table.
using IndexOpener = std::function<Result<std::unique_ptr<TableIndex>>(DbfTable& table)>;

}  // namespace data
