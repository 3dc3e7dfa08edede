#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/expr_field_source.h"

namespace data {

// One row of named values that expressions can be compiled and evaluated against, without
// a table: for checking a key expression before a tag exists, filtering values held in
// memory, and tests.
class MemoryFieldSource final : public FieldSource {
 public:
  struct Field {
    std::string name;  // Matched in any case.
    FieldInfo info;
  };

  // `alias` is the work-area name that ALIAS->FIELD must use ("" accepts only plain names).
  explicit MemoryFieldSource(std::vector<Field> fields, std::string alias = "");

  // Sets a field of the row; a text is blank-padded or cut to the field's width, as a
  // table stores it. Requires: 0 <= index < field count / a field of that name exists.
  void set(int index, Value value);
  void set(std::string_view name, Value value);
  void set_deleted(bool deleted) { m_deleted = deleted; }
  void set_recno(std::uint32_t recno) { m_recno = recno; }
  void set_today(Date today) { m_today = today; }

  int field_index(std::string_view alias, std::string_view name) const override;
  FieldInfo field_info(int index) const override { return m_fields[static_cast<std::size_t>(index)].info; }
  Value field(int index) const override { return m_values[static_cast<std::size_t>(index)]; }
  void append_field_text(int index, std::string& out) const override {
    out += m_values[static_cast<std::size_t>(index)].text();
  }
  bool deleted() const override { return m_deleted; }
  std::uint32_t recno() const override { return m_recno; }
  Date today() const override { return m_today; }

 private:
  std::vector<Field> m_fields;
  std::vector<Value> m_values;
  std::string m_alias;
  bool m_deleted = false;
  std::uint32_t m_recno = 1;
  Date m_today;
};

}  // namespace data
