#include "data/cdx_record_source.h"

#include <cctype>

#include "data/code_page.h"

namespace data {
namespace {

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

CdxRecordSource::CdxRecordSource(const DbfTable& table, std::string alias) : m_table(table), m_alias(std::move(alias)) {}

int CdxRecordSource::field_index(std::string_view alias, std::string_view name) const {
  if (!alias.empty() && !same_name(alias, m_alias)) return -1;
  return m_table.field_pos(name) - 1;
}

FieldInfo CdxRecordSource::field_info(int index) const {
  const DbfField& f = m_table.field(index + 1);
  return FieldInfo{f.type, f.width, f.decimals};
}

Value CdxRecordSource::field(int index) const { return m_table.decode_field(m_record, index + 1); }

void CdxRecordSource::append_field_text(int index, std::string& out) const {
  const DbfField& f = m_table.field(index + 1);
  if (f.type != 'C') {
    out += field(index).text();
    return;
  }
  out += decode_text(m_table.code_page(), DbfTable::raw_field(m_record, f));
}

bool CdxRecordSource::deleted() const { return !m_record.empty() && m_record[0] == std::byte{'*'}; }

std::string CdxRecordSource::stored_text(std::string_view text) const {
  return encode_text(m_table.code_page(), text);
}

}  // namespace data
