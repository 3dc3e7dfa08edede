#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "data/expr_field_source.h"
#include "data/expr_node.h"
#include "data/result.h"
#include "data/value.h"

namespace data {

// A compiled xBase expression: an index tag's key or FOR condition, or a filter. Compiled
// once against a work area (field names are resolved then), evaluated against its
// current row as often as needed without looking anything up.
//
// The result's kind, width and decimals are known without a row, as a tag needs them to
// lay out its keys: a C field of width 15 gives 15, STR(x, 10) gives 10, DTOS gives 8,
// UPPER keeps its argument's width, a concatenation sums its parts, IIF takes the wider
// branch. Widths count characters of the table's code page, one byte each on disk.
//
// Texts come out as UTF-8, except through key(), which gives the bytes an index stores:
// the text in the source's code page (FieldSource::stored_text), DESCEND applied to those
// bytes, blank-padded or cut to result_width(). Number, date and logical keys are encoded
// by the index from evaluate()'s Value; DESCEND of a date already gives a number there.
//
// Copies share the compiled tree, which is never changed; an Expression may be used from
// several threads at once if its sources may.
class Expression {
 public:
  // The expression in `text` bound to the fields of `fields`. Errors: kExprSyntaxError,
  // kExprUnknownFunction, kExprUnknownField, kExprTypeMismatch, kExprBadArgumentCount,
  // each with a sentence that quotes the expression and names the fault and its position.
  [[nodiscard]] static Result<Expression> compile(std::string_view text, const FieldSource& fields);

  const std::string& text() const { return m_text; }
  ResultKind result_kind() const { return m_root->kind(); }
  int result_width() const { return m_root->type().width; }
  int result_decimals() const { return m_root->type().decimals; }
  // Whether the whole expression is DESCEND(…): its keys sort in reverse.
  bool is_descend() const { return m_root->descended() != nullptr; }

  // The result on the source's current row. A run-time fault (a source that returns a
  // value of another type than the field it declared) throws RuntimeError naming the
  // expression. Requires: `record` is the source the expression was compiled against, or
  // one with the same fields at the same positions.
  Value evaluate(const FieldSource& record) const;
  // The same, for a result of the named kind, without building a Value. `out` is cleared
  // first and keeps its capacity from row to row. Requires: result_kind() is that kind.
  void evaluate_text(const FieldSource& record, std::string& out) const;
  double evaluate_number(const FieldSource& record) const;
  Date evaluate_date(const FieldSource& record) const;
  bool evaluate_logical(const FieldSource& record) const;

  // The index key bytes of a text expression, exactly result_width() bytes. `out` is
  // cleared first. Requires: result_kind() is Text.
  void key(const FieldSource& record, std::string& out) const;

 private:
  Expression(std::string text, std::shared_ptr<const ExprNode> root)
      : m_text(std::move(text)), m_root(std::move(root)) {}

  [[noreturn]] void rethrow_with_text(const std::exception& fault) const;

  std::string m_text;
  std::shared_ptr<const ExprNode> m_root;  // Never null.
};

}  // namespace data
