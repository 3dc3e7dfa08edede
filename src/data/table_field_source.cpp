#include "data/table_field_source.h"

#include <cstring>

#include "data/dbf_field_codec.h"
#include "data/name_case.h"

namespace data {
TableFieldSource::TableFieldSource(const DbfTable& table, std::string alias)
    : m_table(table), m_alias(std::move(alias)) {}

void TableFieldSource::set_record(std::span<const std::byte> record, std::uint32_t recno) {
  m_record = record;
  m_recno = recno;
  m_use_current = false;
}

void TableFieldSource::use_current_record() { m_use_current = true; }

int TableFieldSource::field_index(std::string_view alias, std::string_view name) const {
  if (!alias.empty() && !equals_ignoring_case(alias, m_alias) &&
      !equals_ignoring_case(alias, m_table.path().stem().string()))
    return -1;
  const int pos = m_table.field_pos(name);
  return pos == 0 ? -1 : pos;
}

FieldInfo TableFieldSource::field_info(int index) const {
  const DbfField& field = m_table.field(index);
  return {field.type, field.width, field.decimals};
}

Value TableFieldSource::field(int index) const {
  const DbfField& info = m_table.field(index);
  if (info.type == 'T') {
    // Expressions see a date-time field as its day.
    const std::string_view stored = DbfTable::raw_field(record(), info);
    std::int32_t day = 0;
    if (stored.size() >= 4) std::memcpy(&day, stored.data(), 4);
    return Value(day > 0 ? Date::from_julian(day) : Date{});
  }
  if (m_use_current) return m_table.get(index);  // Includes a memo changed but not yet written.
  return m_table.decode_field(m_record, index);
}

void TableFieldSource::append_field_text(int index, std::string& out) const {
  const DbfField& info = m_table.field(index);
  if (info.type != 'C' || (info.flags & 0x04)) {
    out += field(index).text();
    return;
  }
  out += decode_text(m_table.code_page(), DbfTable::raw_field(record(), info));
}

bool TableFieldSource::deleted() const {
  const std::span<const std::byte> bytes = record();
  return !bytes.empty() && bytes[0] == std::byte{'*'};
}

std::uint32_t TableFieldSource::recno() const { return m_use_current ? m_table.rec_no() : m_recno; }

std::string TableFieldSource::stored_text(std::string_view text) const {
  return encode_text(m_table.code_page(), text);
}

void TableFieldSource::append_stored_text(std::string_view text, std::string& out) const {
  encode_text(m_table.code_page(), text, out);
}

}  // namespace data
