#include "data/cdx_table_order.h"

#include "data/code_page.h"
#include "data/order_cursor.h"

namespace data {

Result<std::unique_ptr<CdxTableOrder>> CdxTableOrder::make(CdxTag& tag, const FieldSource& fields) {
  auto key = Expression::compile(tag.header().key_expression, fields);
  if (!key) return tag.error("key expression: " + key.error().text);
  std::optional<Expression> condition;
  if (!tag.header().for_expression.empty()) {
    auto compiled = Expression::compile(tag.header().for_expression, fields);
    if (!compiled) return tag.error("FOR expression: " + compiled.error().text);
    if (compiled->result_kind() != ResultKind::Logical) return tag.error("FOR expression is not logical");
    condition = std::move(*compiled);
  }
  switch (key->result_kind()) {
    case ResultKind::Text:
      tag.set_key_type(CdxKeyType::Character);
      break;
    case ResultKind::Number:
      tag.set_key_type(CdxKeyType::Numeric);
      break;
    case ResultKind::Date:
      tag.set_key_type(CdxKeyType::Date);
      break;
    case ResultKind::Logical:
      tag.set_key_type(CdxKeyType::Logical);
      break;
  }
  const bool eight = tag.key_type() == CdxKeyType::Numeric || tag.key_type() == CdxKeyType::Date;
  if (eight && tag.key_length() != 8)
    return tag.error("numeric or date keys of " + std::to_string(tag.key_length()) + " bytes are not supported");
  return std::make_unique<CdxTableOrder>(Token{}, tag, std::move(*key), std::move(condition), nullptr);
}

CdxTableOrder::CdxTableOrder(Token, CdxTag& tag, Expression key, std::optional<Expression> condition,
                             CdxRecordSource* source)
    : m_tag(tag), m_key(std::move(key)), m_condition(std::move(condition)), m_source(source) {}

bool CdxTableOrder::entry_key(const FieldSource& source, std::string& out) const {
  if (m_condition && !m_condition->evaluate_logical(source)) return false;
  key_bytes(source, out);
  return true;
}

void cdx_key_bytes(const Expression& key, CdxKeyType type, int key_length, const FieldSource& source,
                   std::string& out) {
  switch (type) {
    case CdxKeyType::Character:
      key.key(source, out);
      out.resize(static_cast<std::size_t>(key_length), ' ');  // Blank-padded or cut to the key length.
      return;
    case CdxKeyType::Numeric:
      out = cdx_numeric_key(key.evaluate_number(source));
      return;
    case CdxKeyType::Date:
      out = cdx_date_key(key.evaluate_date(source));
      return;
    case CdxKeyType::Logical:
      out.assign(static_cast<std::size_t>(key_length), ' ');
      out[0] = key.evaluate_logical(source) ? 'T' : 'F';
      return;
  }
}

void CdxTableOrder::key_bytes(const FieldSource& source, std::string& out) const {
  cdx_key_bytes(m_key, m_tag.key_type(), m_tag.key_length(), source, out);
}

Result<std::string> CdxTableOrder::seek_bytes(const Value& key, const FieldSource& fields) const {
  switch (m_tag.key_type()) {
    case CdxKeyType::Character:
      if (key.is_text()) return fields.stored_text(key.text());
      break;
    case CdxKeyType::Numeric:
      if (key.is_number()) return cdx_numeric_key(key.number());
      break;
    case CdxKeyType::Date:
      if (key.is_date()) return cdx_date_key(key.date());
      break;
    case CdxKeyType::Logical:
      if (key.is_logical()) return std::string(key.logical() ? "T" : "F");
      break;
  }
  return m_tag.error("the value sought does not match the tag's key type");
}

Result<std::uint32_t> CdxTableOrder::first() {
  auto at = m_tag.header().descending ? m_tag.last() : m_tag.first();
  if (!at) return at.error();
  return remember(*at);
}

Result<std::uint32_t> CdxTableOrder::last() {
  auto at = m_tag.header().descending ? m_tag.first() : m_tag.last();
  if (!at) return at.error();
  return remember(*at);
}

Result<std::uint32_t> CdxTableOrder::next(std::uint32_t recno, std::span<const std::byte> record) {
  return neighbour(recno, record, true);
}

Result<std::uint32_t> CdxTableOrder::previous(std::uint32_t recno, std::span<const std::byte> record) {
  return neighbour(recno, record, false);
}

Result<std::uint32_t> CdxTableOrder::neighbour(std::uint32_t recno, std::span<const std::byte> record,
                                               bool forwards) {
  const bool up = forwards != m_tag.header().descending;  // Direction in storage order.
  if (m_hint.valid() && m_hint.recno() == recno && m_hint.generation == m_tag.file().generation()) {
    auto at = up ? m_tag.next(m_hint) : m_tag.prev(m_hint);
    if (!at) return at.error();
    return remember(*at);
  }
  // No usable hint: find the record's place from its key. A record outside the tag (its
  // FOR is false) takes the place its key would have.
  m_source->set_record(record, recno);
  key_bytes(*m_source, m_scratch);
  auto at = m_tag.lower_bound(m_scratch, recno);
  if (!at) return at.error();
  const bool exact = at->valid() && at->recno() == recno && at->key() == m_scratch;
  Result<CdxTag::Position> result = CdxTag::Position{};
  if (up) {
    result = exact ? m_tag.next(*at) : *at;
  } else {
    result = at->valid() ? m_tag.prev(*at) : m_tag.last();
  }
  if (!result) return result.error();
  return remember(*result);
}

Result<SeekOutcome> CdxTableOrder::seek(const Value& key, SeekMode mode, const RecordVisibility& visible) {
  auto bytes = seek_bytes(key, *m_source);
  if (!bytes) return bytes.error();
  OrderCursor cursor(m_tag, visible);
  auto found = cursor.seek(*bytes, mode);
  if (!found) return found.error();
  return SeekOutcome{remember(cursor.position()), *found};
}

}  // namespace data
