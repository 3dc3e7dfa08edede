#include "data/expr_node.h"

#include "data/runtime_error.h"
#include "data/text.h"

namespace data {
namespace {

[[noreturn]] void wrong_accessor(const char* accessor) {
  throw RuntimeError(
      "Evaluate", "EXPR",
      std::string("a node was read through ") + accessor + ", which is not the accessor of its kind");
}

class NoRowSource final : public FieldSource {
 public:
  int field_index(std::string_view, std::string_view) const override { return -1; }
  FieldInfo field_info(int) const override { fail(); }
  Value field(int) const override { fail(); }
  bool deleted() const override { fail(); }
  std::uint32_t recno() const override { fail(); }

 private:
  [[noreturn]] static void fail() {
    throw RuntimeError("Evaluate", "EXPR", "a constant part of the expression reads the row");
  }
};

class TextLiteral final : public ExprNode {
 public:
  explicit TextLiteral(std::string text)
      : ExprNode({ResultKind::Text, static_cast<int>(LEN(text)), 0}), m_text(std::move(text)) {}
  bool is_constant() const override { return true; }
  void append_text(const FieldSource&, std::string& out) const override { out += m_text; }

 private:
  std::string m_text;
};

class NumberLiteral final : public ExprNode {
 public:
  NumberLiteral(double number, int decimals)
      : ExprNode({ResultKind::Number, computed_number_width(decimals), decimals}), m_number(number) {}
  bool is_constant() const override { return true; }
  double number(const FieldSource&) const override { return m_number; }

 private:
  double m_number;
};

class DateLiteral final : public ExprNode {
 public:
  explicit DateLiteral(Date date) : ExprNode({ResultKind::Date, 8, 0}), m_date(date) {}
  bool is_constant() const override { return true; }
  Date date(const FieldSource&) const override { return m_date; }

 private:
  Date m_date;
};

class LogicalLiteral final : public ExprNode {
 public:
  explicit LogicalLiteral(bool logical) : ExprNode({ResultKind::Logical, 1, 0}), m_logical(logical) {}
  bool is_constant() const override { return true; }
  bool logical(const FieldSource&) const override { return m_logical; }

 private:
  bool m_logical;
};

// A field of the current row. The source promised its kind at compile time; a value of
// another kind is a fault of the source and stops the evaluation.
class FieldNode final : public ExprNode {
 public:
  FieldNode(ExprType type, int index, std::string name)
      : ExprNode(type), m_index(index), m_name(std::move(name)) {}

  void append_text(const FieldSource& source, std::string& out) const override {
    source.append_field_text(m_index, out);
  }
  double number(const FieldSource& source) const override {
    return checked(source, Value::Kind::Number).number();
  }
  Date date(const FieldSource& source) const override { return checked(source, Value::Kind::Date).date(); }
  bool logical(const FieldSource& source) const override {
    return checked(source, Value::Kind::Logical).logical();
  }

 private:
  Value checked(const FieldSource& source, Value::Kind kind) const {
    Value value = source.field(m_index);
    if (value.kind() != kind && !value.is_empty()) {
      throw RuntimeError("Evaluate", "EXPR",
                         "field " + m_name + " holds a value of another type than its declared " +
                             static_cast<char>(this->kind()));
    }
    return value;  // An empty value reads as the neutral value of the field's kind.
  }

  int m_index;
  std::string m_name;
};

}  // namespace

void ExprNode::append_text(const FieldSource&, std::string&) const { wrong_accessor("append_text"); }
double ExprNode::number(const FieldSource&) const { wrong_accessor("number"); }
Date ExprNode::date(const FieldSource&) const { wrong_accessor("date"); }
bool ExprNode::logical(const FieldSource&) const { wrong_accessor("logical"); }

void ExprNode::append_key(const FieldSource& source, std::string& out) const {
  std::string text;
  append_text(source, text);
  source.append_stored_text(text, out);
}

Value ExprNode::value(const FieldSource& source) const {
  switch (kind()) {
    case ResultKind::Text: {
      std::string text;
      append_text(source, text);
      return Value(std::move(text));
    }
    case ResultKind::Number:
      return Value(number(source));
    case ResultKind::Date:
      return Value(date(source));
    case ResultKind::Logical:
      return Value(logical(source));
  }
  return Value();
}

const FieldSource& no_row_source() {
  static const NoRowSource kSource;
  return kSource;
}

ExprNodePtr make_text_literal(std::string text) { return std::make_unique<TextLiteral>(std::move(text)); }
ExprNodePtr make_number_literal(double number, int decimals) {
  return std::make_unique<NumberLiteral>(number, decimals);
}
ExprNodePtr make_date_literal(Date date) { return std::make_unique<DateLiteral>(date); }
ExprNodePtr make_logical_literal(bool logical) { return std::make_unique<LogicalLiteral>(logical); }

ExprNodePtr make_field(const FieldSource& source, int index, std::string name) {
  const FieldInfo info = source.field_info(index);
  ExprType type{kind_of_field(info.type), info.width, info.decimals};
  if (type.kind == ResultKind::Date) type.width = 8;
  if (type.kind == ResultKind::Logical) type.width = 1;
  return std::make_unique<FieldNode>(type, index, std::move(name));
}

int computed_number_width(int decimals) { return 10 + (decimals > 0 ? decimals + 1 : 0); }

}  // namespace data
