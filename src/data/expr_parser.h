#pragma once

#include <string_view>

#include "data/expr_field_source.h"
#include "data/expr_lexer.h"
#include "data/expr_node.h"
#include "data/result.h"

namespace data {

// Reads one expression and builds its typed node tree, resolving every field name
// against `fields` as it goes.
//
// Precedence, loosest first: .OR.; .AND.; .NOT. and !; the comparisons = == <> != # < <=
// > >= $; + and -; * / %; unary - and +. Operators of one level group from the left.
class ExprParser {
 public:
  // Requires: `text` and `fields` outlive the parser.
  ExprParser(std::string_view text, const FieldSource& fields) : m_lexer(text), m_fields(fields) {}

  // The tree of the whole text. Errors carry the kExpr… code and a sentence naming the
  // fault and its position ("unknown field FOO at position 9"); nothing is thrown.
  [[nodiscard]] Result<ExprNodePtr> parse();

 private:
  Result<ExprNodePtr> parse_or();
  Result<ExprNodePtr> parse_and();
  Result<ExprNodePtr> parse_not();
  Result<ExprNodePtr> parse_comparison();
  Result<ExprNodePtr> parse_additive();
  Result<ExprNodePtr> parse_multiplicative();
  Result<ExprNodePtr> parse_unary();
  Result<ExprNodePtr> parse_primary();
  Result<ExprNodePtr> parse_call(const Token& name);
  Result<ExprNodePtr> parse_field(const Token& first);

  Result<void> advance();
  Error error_here(int code, std::string what) const;

  ExprLexer m_lexer;
  const FieldSource& m_fields;
  Token m_token;    // The current, not yet consumed token.
  int m_depth = 0;  // Nesting, bounded so that hostile text cannot exhaust the stack.
};

}  // namespace data
