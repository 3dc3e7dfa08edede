#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/date.h"
#include "data/expr_field_source.h"
#include "data/value.h"

// The compiled form of an expression: a tree of typed nodes, built once by the parser.
// Every node's kind, width and decimals are fixed when it is built, so evaluation never
// checks types or looks names up; it only calls the one accessor of the node's kind.
namespace data {

// Codes of the Errors that compiling an expression gives.
constexpr int kExprSyntaxError = -1;  // Not an expression: a missing operand, an unclosed text…
constexpr int kExprUnknownFunction = -2;
constexpr int kExprUnknownField = -3;
constexpr int kExprTypeMismatch = -4;  // An operator or function given a value of the wrong type.
constexpr int kExprBadArgumentCount = -5;

// A node's static type. `width` is in stored characters (the key length a text result
// takes in an index); `decimals` matters only for numbers (STR without a width).
struct ExprType {
  ResultKind kind = ResultKind::Text;
  int width = 0;
  int decimals = 0;
};

class ExprNode {
 public:
  explicit ExprNode(ExprType type) : m_type(type) {}
  virtual ~ExprNode() = default;
  ExprNode(const ExprNode&) = delete;
  ExprNode& operator=(const ExprNode&) = delete;

  const ExprType& type() const { return m_type; }
  ResultKind kind() const { return m_type.kind; }

  // True when the result depends on no field and no row: such nodes are evaluated while
  // compiling when a width or a count must be known (STR(x, 10), LEFT(c, 3)).
  virtual bool is_constant() const { return false; }
  // DESCEND(x) at this node: its argument, else null.
  virtual const ExprNode* descended() const { return nullptr; }

  // The accessor of the node's kind. Requires: kind() is that kind.
  // append_text appends the UTF-8 text of the result to `out`.
  virtual void append_text(const FieldSource& source, std::string& out) const;
  virtual double number(const FieldSource& source) const;
  virtual Date date(const FieldSource& source) const;
  virtual bool logical(const FieldSource& source) const;
  // Appends the result as index key bytes in the source's code page. Requires: a text
  // node. Only concatenation, IIF and DESCEND look inside; the rest convert their text.
  virtual void append_key(const FieldSource& source, std::string& out) const;

  Value value(const FieldSource& source) const;

 private:
  ExprType m_type;
};

using ExprNodePtr = std::unique_ptr<ExprNode>;
using ExprNodes = std::vector<ExprNodePtr>;

// A FieldSource with no row, for evaluating constant nodes while compiling.
const FieldSource& no_row_source();

ExprNodePtr make_text_literal(std::string text);
ExprNodePtr make_number_literal(double number, int decimals);
ExprNodePtr make_date_literal(Date date);
ExprNodePtr make_logical_literal(bool logical);
// A field of `source` at `index`; `name` is kept for error messages.
ExprNodePtr make_field(const FieldSource& source, int index, std::string name);

// Widths of numbers that are not fields: ten integer positions plus the decimals.
int computed_number_width(int decimals);

}  // namespace data
