#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "data/cdx_record_source.h"
#include "data/cdx_tag.h"
#include "data/expr_expression.h"
#include "data/table_index.h"

namespace data {

// The key bytes of `key` evaluated on `source` for a tag of this type and key length:
// text in the table's code page blank-padded or cut, numbers and dates in their 8-byte
// form, logicals as 'T' or 'F'.
void cdx_key_bytes(const Expression& key, CdxKeyType type, int key_length, const FieldSource& source,
                   std::string& out);

// One tag of a table's production index as the table navigates it, and the place that
// knows how to compute the tag's entry for a record: the key expression turned into
// key bytes, and the FOR condition that leaves records out.
class CdxTableOrder final : public TableOrder {
 public:
  // Compiles the tag's expressions against the table's fields and sets the tag's key
  // type from the key's result. Fails (naming index and tag) when an expression does not
  // compile, or a numeric or date key is not 8 bytes long.
  static Result<std::unique_ptr<CdxTableOrder>> make(CdxTag& tag, const FieldSource& fields);

  const std::string& name() const override { return m_tag.name(); }
  Result<std::uint32_t> first() override;
  Result<std::uint32_t> last() override;
  Result<std::uint32_t> next(std::uint32_t recno, std::span<const std::byte> record) override;
  Result<std::uint32_t> previous(std::uint32_t recno, std::span<const std::byte> record) override;
  Result<SeekOutcome> seek(const Value& key, SeekMode mode, const RecordVisibility& visible) override;

  CdxTag& tag() { return m_tag; }
  const Expression& key_expression() const { return m_key; }
  // The tag's key for the record `source` holds, in `out`; false when the FOR condition
  // leaves the record out of the tag.
  bool entry_key(const FieldSource& source, std::string& out) const;
  // The key bytes a seek value stands for: text in the table's code page, numbers and
  // dates in their 8-byte form. Fails when the value's kind does not fit the tag.
  Result<std::string> seek_bytes(const Value& key, const FieldSource& fields) const;

  struct Token {};
  CdxTableOrder(Token, CdxTag& tag, Expression key, std::optional<Expression> condition, CdxRecordSource* source);
  // Evaluation on stored records goes through this source (set by the index).
  void set_source(CdxRecordSource* source) { m_source = source; }

 private:
  void key_bytes(const FieldSource& source, std::string& out) const;
  // Key of the stored record, for finding its place when there is no usable hint.
  Result<std::uint32_t> neighbour(std::uint32_t recno, std::span<const std::byte> record, bool forwards);
  std::uint32_t remember(const CdxTag::Position& at) {
    m_hint = at;
    return at.valid() ? at.recno() : 0;
  }

  CdxTag& m_tag;
  Expression m_key;
  std::optional<Expression> m_condition;
  CdxRecordSource* m_source;
  // Where the last answer came from: skipping on from that record needs no key.
  CdxTag::Position m_hint;
  std::string m_scratch;
};

}  // namespace data
