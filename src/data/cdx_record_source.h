#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/dbf_table.h"
#include "data/expr_field_source.h"

namespace data {

// The fields of one stored record (whole record bytes, deletion flag first) as an
// expression reads them, so that a tag's key and FOR expressions can be evaluated on a
// record that is not the table's current one: the bytes before and after a change.
class CdxRecordSource final : public FieldSource {
 public:
  // `alias` is the name ALIAS->FIELD may use (the table's stem).
  CdxRecordSource(const DbfTable& table, std::string alias);

  // Requires: `record` stays alive while expressions are evaluated on it.
  void set_record(std::span<const std::byte> record, std::uint32_t recno) {
    m_record = record;
    m_recno = recno;
  }

  int field_index(std::string_view alias, std::string_view name) const override;
  FieldInfo field_info(int index) const override;
  Value field(int index) const override;
  void append_field_text(int index, std::string& out) const override;
  bool deleted() const override;
  std::uint32_t recno() const override { return m_recno; }
  std::string stored_text(std::string_view text) const override;

 private:
  const DbfTable& m_table;
  std::string m_alias;
  std::span<const std::byte> m_record;
  std::uint32_t m_recno = 0;
};

}  // namespace data
