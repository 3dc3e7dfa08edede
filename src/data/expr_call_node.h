#pragma once

#include <cstddef>
#include <string>

#include "data/expr_node.h"

// The node that runs a function of the expression library; expr_functions.h checks the
// call and gives it its type.
namespace data {

enum class ExprFunction {
  Str,
  StrZero,
  Val,
  Transform,
  Dtos,
  Dtoc,
  Ctod,
  Stod,
  Today,
  Year,
  Month,
  Day,
  Dow,
  Upper,
  Lower,
  Left,
  Right,
  Substr,
  Len,
  At,
  Trim,
  Ltrim,
  Alltrim,
  Padr,
  Padl,
  Padc,
  Space,
  Replicate,
  Iif,
  Empty,
  Descend,
  Int,
  Abs,
  Round,
  Deleted,
  Recno,
};

// The longest text SPACE, REPLICATE, the PAD functions and STR build, as the suite's
// runtimes limit their strings; it keeps a hostile expression from exhausting memory.
constexpr long kMaxTextLength = 65535;

// `wanted` as a text length between 0 and kMaxTextLength.
int text_length(long wanted);
// The value of argument `index` when it is constant, or `fallback` when it depends on the
// row or is absent.
long constant_count(const ExprNodes& arguments, std::size_t index, long fallback);
// The UTF-8 text of a text node.
std::string text_of(const ExprNode& node, const FieldSource& source);

// The node of a call whose arguments have the kinds `id` needs and whose type is `type`.
ExprNodePtr make_call_node(ExprType type, ExprFunction id, ExprNodes arguments);

}  // namespace data
