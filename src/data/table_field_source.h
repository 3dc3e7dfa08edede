#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/dbf_table.h"
#include "data/expr_field_source.h"

namespace data {

// The fields of one DbfTable as expressions read them (index keys, FOR conditions,
// filters, `qvtable eval`). It reads the table's current record, unsaved changes included,
// until pointed at other record bytes with set_record(): an index evaluates the key of a
// record before and after a write that way, without moving the table.
//
// Text goes out as UTF-8 and comes back to the table's code page through stored_text().
// Holds a reference to the table, which must outlive it. Not thread-safe.
class TableFieldSource : public FieldSource {
 public:
  // `alias` is the work-area alias that `alias->FIELD` may name; the file's stem also
  // answers.
  explicit TableFieldSource(const DbfTable& table, std::string alias = "");

  // Reads `record` (a whole record as stored) as row `recno` until use_current_record().
  // Requires: `record` stays valid while it is read.
  void set_record(std::span<const std::byte> record, std::uint32_t recno);
  void use_current_record();

  int field_index(std::string_view alias, std::string_view name) const override;
  FieldInfo field_info(int index) const override;
  Value field(int index) const override;
  void append_field_text(int index, std::string& out) const override;
  bool deleted() const override;
  std::uint32_t recno() const override;
  std::string stored_text(std::string_view text) const override;
  void append_stored_text(std::string_view text, std::string& out) const override;

 private:
  std::span<const std::byte> record() const { return m_use_current ? m_table.record_bytes() : m_record; }

  const DbfTable& m_table;
  std::string m_alias;
  std::span<const std::byte> m_record;
  std::uint32_t m_recno = 0;
  bool m_use_current = true;
};

}  // namespace data
