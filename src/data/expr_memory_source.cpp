#include "data/expr_memory_source.h"

#include "data/runtime_error.h"
#include "data/text.h"

namespace data {

MemoryFieldSource::MemoryFieldSource(std::vector<Field> fields, std::string alias)
    : m_fields(std::move(fields)), m_alias(UPPER(alias)) {
  m_values.reserve(m_fields.size());
  for (const Field& field : m_fields) {
    switch (kind_of_field(field.info.type)) {
      case ResultKind::Text:
        m_values.emplace_back(std::string(static_cast<std::size_t>(field.info.width), ' '));
        break;
      case ResultKind::Number:
        m_values.emplace_back(0.0);
        break;
      case ResultKind::Date:
        m_values.emplace_back(Date{});
        break;
      case ResultKind::Logical:
        m_values.emplace_back(false);
        break;
    }
  }
}

void MemoryFieldSource::set(int index, Value value) {
  const Field& field = m_fields.at(static_cast<std::size_t>(index));
  if (value.is_text() && field.info.type == 'C') value = Value(PADR(value.text(), field.info.width));
  m_values[static_cast<std::size_t>(index)] = std::move(value);
}

void MemoryFieldSource::set(std::string_view name, Value value) {
  const int index = field_index("", name);
  if (index < 0) throw RuntimeError("FieldPut", "MEMORY", std::string(name));
  set(index, std::move(value));
}

int MemoryFieldSource::field_index(std::string_view alias, std::string_view name) const {
  if (!alias.empty() && UPPER(alias) != m_alias) return -1;
  const std::string wanted = UPPER(name);
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    if (UPPER(m_fields[i].name) == wanted) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace data
