#pragma once

#include "data/expr_node.h"
#include "data/result.h"

// The operators of the expression language, as node factories. Each checks the operand
// kinds once; a pair it does not accept gives an Error that names the operator and the
// two kinds ("+ between C and N").
namespace data {

enum class BinaryOperator {
  Add,       // N+N, C+C (plain concatenation), D+N, N+D
  Subtract,  // N-N, C-C (left operand's trailing blanks moved to the end), D-N, D-D
  Multiply,
  Divide,      // A division by zero yields 0.
  Modulo,      // Also 0 for a zero divisor.
  Equal,       // Texts: the prefix rule over the right-hand length.
  ExactEqual,  // Texts: same bytes.
  NotEqual,    // The negation of Equal (<>, != and #).
  Less,        // Texts: ordered over the right-hand length.
  LessEqual,
  Greater,
  GreaterEqual,
  Contains,  // C $ C: the left text occurs in the right one ("" occurs nowhere).
  And,       // Evaluated left to right, stopping as soon as the result is known.
  Or,
};

// The operator's spelling for messages.
const char* operator_text(BinaryOperator op);

[[nodiscard]] Result<ExprNodePtr> make_binary(BinaryOperator op, ExprNodePtr left, ExprNodePtr right);
// .NOT. / ! of a logical.
[[nodiscard]] Result<ExprNodePtr> make_not(ExprNodePtr operand);
// Unary minus of a number.
[[nodiscard]] Result<ExprNodePtr> make_negate(ExprNodePtr operand);

}  // namespace data
