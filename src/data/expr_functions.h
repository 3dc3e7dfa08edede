#pragma once

#include <string_view>

#include "data/expr_node.h"
#include "data/result.h"

// The function library of the expression language: the functions index keys and FOR
// conditions of the suite's tables use.
//
//   STR(n [,w [,d]])  STRZERO(n [,w [,d]])  VAL(c)  TRANSFORM(x, picture)
//   DTOS(d)  DTOC(d)  CTOD(c)  STOD(c)  DATE()  YEAR(d)  MONTH(d)  DAY(d)  DOW(d)
//   UPPER(c)  LOWER(c)  LEFT(c, n)  RIGHT(c, n)  SUBSTR(c, start [,n])  LEN(c)  AT(c, c)
//   TRIM(c)  RTRIM(c)  LTRIM(c)  ALLTRIM(c)  PADR(c, n [,fill])  PADL(…)  PADC(…)
//   SPACE(n)  REPLICATE(c, n)  IIF(l, x, y)  EMPTY(x)  DESCEND(x)
//   INT(n)  ABS(n)  ROUND(n, d)  DELETED()  RECNO()
//
// Names are matched in any case, and a name of four letters or more may be cut short
// (SUBS for SUBSTR, DESC for DESCEND), as the other programs accept.
//
// DESCEND(x) makes a key sort the other way: a text becomes its stored bytes b each
// turned into (256 - b) mod 256, so its value is key bytes, not UTF-8 (use it only inside
// a key, through Expression::key); a number n gives -n; a date gives the number
// 5231808 - its day number (the blank date gives 5231808); a logical its negation.
//
// STR without a width takes the width and decimals of its argument: the field's own for a
// field, ten integer positions plus the decimals for anything else.
namespace data {

// The node of `name(arguments)`. Errors: kExprUnknownFunction, kExprBadArgumentCount,
// kExprTypeMismatch, each naming the function.
[[nodiscard]] Result<ExprNodePtr> make_call(std::string_view name, ExprNodes arguments);

}  // namespace data
