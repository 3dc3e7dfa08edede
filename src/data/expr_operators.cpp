#include "data/expr_operators.h"

#include <algorithm>
#include <cmath>

#include "data/number_format.h"
#include "data/text.h"

namespace data {
namespace {

constexpr double kLastJulianDay = 5373484;  // 9999-12-31.

bool all_constant(const ExprNode& left, const ExprNode& right) {
  return left.is_constant() && right.is_constant();
}

// Base of the two-operand nodes: owns both operands and is constant when both are.
class BinaryNode : public ExprNode {
 public:
  BinaryNode(ExprType type, ExprNodePtr left, ExprNodePtr right)
      : ExprNode(type), m_left(std::move(left)), m_right(std::move(right)) {}
  bool is_constant() const override { return all_constant(*m_left, *m_right); }

 protected:
  ExprNodePtr m_left;
  ExprNodePtr m_right;
};

class ConcatNode final : public BinaryNode {
 public:
  using BinaryNode::BinaryNode;
  void append_text(const FieldSource& source, std::string& out) const override {
    m_left->append_text(source, out);
    m_right->append_text(source, out);
  }
  void append_key(const FieldSource& source, std::string& out) const override {
    m_left->append_key(source, out);
    m_right->append_key(source, out);
  }
};

class ConcatMovingBlanksNode final : public BinaryNode {
 public:
  using BinaryNode::BinaryNode;
  void append_text(const FieldSource& source, std::string& out) const override {
    std::string left;
    std::string right;
    m_left->append_text(source, left);
    m_right->append_text(source, right);
    out += concat_moving_blanks(left, right);
  }
  void append_key(const FieldSource& source, std::string& out) const override {
    std::string left;
    std::string right;
    m_left->append_key(source, left);
    m_right->append_key(source, right);
    out += concat_moving_blanks(left, right);  // Blanks are 0x20 in every code page.
  }
};

class ArithmeticNode final : public BinaryNode {
 public:
  ArithmeticNode(BinaryOperator op, ExprType type, ExprNodePtr left, ExprNodePtr right)
      : BinaryNode(type, std::move(left), std::move(right)), m_op(op) {}
  double number(const FieldSource& source) const override {
    const double a = m_left->number(source);
    const double b = m_right->number(source);
    switch (m_op) {
      case BinaryOperator::Add:
        return a + b;
      case BinaryOperator::Subtract:
        return a - b;
      case BinaryOperator::Multiply:
        return a * b;
      case BinaryOperator::Divide:
        return safe_divide(a, b);
      default:
        return b == 0 ? 0.0 : std::fmod(a, b);
    }
  }

 private:
  BinaryOperator m_op;
};

// date + days, days + date and date - days; the blank date stays blank.
class DateShiftNode final : public ExprNode {
 public:
  DateShiftNode(ExprNodePtr date, ExprNodePtr days, int sign)
      : ExprNode({ResultKind::Date, 8, 0}), m_date(std::move(date)), m_days(std::move(days)), m_sign(sign) {}
  bool is_constant() const override { return all_constant(*m_date, *m_days); }
  Date date(const FieldSource& source) const override {
    const Date date = m_date->date(source);
    const double julian = date.julian() + m_sign * std::trunc(m_days->number(source));
    // A shift past the calendar (before 4713 BC or after 9999) has no date: blank.
    if (date.is_blank() || !(julian >= 1 && julian <= kLastJulianDay)) return Date{};
    return Date::from_julian(static_cast<std::int32_t>(julian));
  }

 private:
  ExprNodePtr m_date;
  ExprNodePtr m_days;
  int m_sign;
};

class DateDifferenceNode final : public BinaryNode {
 public:
  DateDifferenceNode(ExprNodePtr left, ExprNodePtr right)
      : BinaryNode({ResultKind::Number, computed_number_width(0), 0}, std::move(left), std::move(right)) {}
  double number(const FieldSource& source) const override {
    return m_left->date(source) - m_right->date(source);
  }
};

template <typename T>
int three_way(const T& a, const T& b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

class CompareNode final : public BinaryNode {
 public:
  CompareNode(BinaryOperator op, ExprNodePtr left, ExprNodePtr right)
      : BinaryNode({ResultKind::Logical, 1, 0}, std::move(left), std::move(right)), m_op(op) {}

  bool logical(const FieldSource& source) const override {
    switch (m_left->kind()) {
      case ResultKind::Text:
        return compare_texts(source);
      case ResultKind::Number:
        return holds(three_way(m_left->number(source), m_right->number(source)));
      case ResultKind::Date:
        return holds(three_way(m_left->date(source), m_right->date(source)));
      case ResultKind::Logical:
        return holds(three_way(m_left->logical(source), m_right->logical(source)));
    }
    return false;
  }

 private:
  bool compare_texts(const FieldSource& source) const {
    std::string left;
    std::string right;
    m_left->append_text(source, left);
    m_right->append_text(source, right);
    switch (m_op) {
      case BinaryOperator::Equal:
        return xbase_equals(left, right);
      case BinaryOperator::ExactEqual:
        return exact_equals(left, right);
      case BinaryOperator::NotEqual:
        return !xbase_equals(left, right);
      case BinaryOperator::Contains:
        return !left.empty() && right.find(left) != std::string::npos;
      default:
        return holds(xbase_compare(left, right));
    }
  }

  bool holds(int order) const {
    switch (m_op) {
      case BinaryOperator::Equal:
      case BinaryOperator::ExactEqual:
        return order == 0;
      case BinaryOperator::NotEqual:
        return order != 0;
      case BinaryOperator::Less:
        return order < 0;
      case BinaryOperator::LessEqual:
        return order <= 0;
      case BinaryOperator::Greater:
        return order > 0;
      case BinaryOperator::GreaterEqual:
        return order >= 0;
      default:
        return false;
    }
  }

  BinaryOperator m_op;
};

class LogicalNode final : public BinaryNode {
 public:
  LogicalNode(bool is_and, ExprNodePtr left, ExprNodePtr right)
      : BinaryNode({ResultKind::Logical, 1, 0}, std::move(left), std::move(right)), m_is_and(is_and) {}
  bool logical(const FieldSource& source) const override {
    const bool left = m_left->logical(source);
    if (left != m_is_and) return left;  // .F. .AND. x and .T. .OR. x need no x.
    return m_right->logical(source);
  }

 private:
  bool m_is_and;
};

class NotNode final : public ExprNode {
 public:
  explicit NotNode(ExprNodePtr operand)
      : ExprNode({ResultKind::Logical, 1, 0}), m_operand(std::move(operand)) {}
  bool is_constant() const override { return m_operand->is_constant(); }
  bool logical(const FieldSource& source) const override { return !m_operand->logical(source); }

 private:
  ExprNodePtr m_operand;
};

class NegateNode final : public ExprNode {
 public:
  explicit NegateNode(ExprNodePtr operand) : ExprNode(operand->type()), m_operand(std::move(operand)) {}
  bool is_constant() const override { return m_operand->is_constant(); }
  double number(const FieldSource& source) const override { return -m_operand->number(source); }

 private:
  ExprNodePtr m_operand;
};

Error mismatch(BinaryOperator op, const ExprNode& left, const ExprNode& right) {
  return Error{kExprTypeMismatch, std::string(operator_text(op)) + " between " +
                                      static_cast<char>(left.kind()) + " and " +
                                      static_cast<char>(right.kind())};
}

ExprType number_result(BinaryOperator op, const ExprType& a, const ExprType& b) {
  int decimals = std::max(a.decimals, b.decimals);
  if (op == BinaryOperator::Multiply) decimals = a.decimals + b.decimals;
  if (op == BinaryOperator::Divide) decimals = std::max(decimals, 2);
  return {ResultKind::Number, computed_number_width(decimals), decimals};
}

}  // namespace

const char* operator_text(BinaryOperator op) {
  switch (op) {
    case BinaryOperator::Add:
      return "+";
    case BinaryOperator::Subtract:
      return "-";
    case BinaryOperator::Multiply:
      return "*";
    case BinaryOperator::Divide:
      return "/";
    case BinaryOperator::Modulo:
      return "%";
    case BinaryOperator::Equal:
      return "=";
    case BinaryOperator::ExactEqual:
      return "==";
    case BinaryOperator::NotEqual:
      return "<>";
    case BinaryOperator::Less:
      return "<";
    case BinaryOperator::LessEqual:
      return "<=";
    case BinaryOperator::Greater:
      return ">";
    case BinaryOperator::GreaterEqual:
      return ">=";
    case BinaryOperator::Contains:
      return "$";
    case BinaryOperator::And:
      return ".AND.";
    case BinaryOperator::Or:
      return ".OR.";
  }
  return "?";
}

Result<ExprNodePtr> make_binary(BinaryOperator op, ExprNodePtr left, ExprNodePtr right) {
  const ResultKind a = left->kind();
  const ResultKind b = right->kind();
  const ExprType& ta = left->type();
  const ExprType& tb = right->type();
  using K = ResultKind;
  switch (op) {
    case BinaryOperator::Add:
    case BinaryOperator::Subtract:
      if (a == K::Text && b == K::Text) {
        const ExprType type{K::Text, ta.width + tb.width, 0};
        if (op == BinaryOperator::Add)
          return ExprNodePtr(std::make_unique<ConcatNode>(type, std::move(left), std::move(right)));
        return ExprNodePtr(std::make_unique<ConcatMovingBlanksNode>(type, std::move(left), std::move(right)));
      }
      if (a == K::Date && b == K::Number) {
        return ExprNodePtr(std::make_unique<DateShiftNode>(std::move(left), std::move(right),
                                                           op == BinaryOperator::Add ? 1 : -1));
      }
      if (op == BinaryOperator::Add && a == K::Number && b == K::Date) {
        return ExprNodePtr(std::make_unique<DateShiftNode>(std::move(right), std::move(left), 1));
      }
      if (op == BinaryOperator::Subtract && a == K::Date && b == K::Date) {
        return ExprNodePtr(std::make_unique<DateDifferenceNode>(std::move(left), std::move(right)));
      }
      [[fallthrough]];
    case BinaryOperator::Multiply:
    case BinaryOperator::Divide:
    case BinaryOperator::Modulo:
      if (a != K::Number || b != K::Number) return mismatch(op, *left, *right);
      return ExprNodePtr(
          std::make_unique<ArithmeticNode>(op, number_result(op, ta, tb), std::move(left), std::move(right)));
    case BinaryOperator::Contains:
      if (a != K::Text || b != K::Text) return mismatch(op, *left, *right);
      return ExprNodePtr(std::make_unique<CompareNode>(op, std::move(left), std::move(right)));
    case BinaryOperator::And:
    case BinaryOperator::Or:
      if (a != K::Logical || b != K::Logical) return mismatch(op, *left, *right);
      return ExprNodePtr(
          std::make_unique<LogicalNode>(op == BinaryOperator::And, std::move(left), std::move(right)));
    default:
      if (a != b) return mismatch(op, *left, *right);
      return ExprNodePtr(std::make_unique<CompareNode>(op, std::move(left), std::move(right)));
  }
}

Result<ExprNodePtr> make_not(ExprNodePtr operand) {
  if (operand->kind() != ResultKind::Logical) {
    return Error{kExprTypeMismatch, std::string(".NOT. of ") + static_cast<char>(operand->kind())};
  }
  return ExprNodePtr(std::make_unique<NotNode>(std::move(operand)));
}

Result<ExprNodePtr> make_negate(ExprNodePtr operand) {
  if (operand->kind() != ResultKind::Number) {
    return Error{kExprTypeMismatch, std::string("- of ") + static_cast<char>(operand->kind())};
  }
  return ExprNodePtr(std::make_unique<NegateNode>(std::move(operand)));
}

}  // namespace data
