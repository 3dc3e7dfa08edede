#include "data/expr_parser.h"

#include "data/expr_functions.h"
#include "data/expr_operators.h"
#include "data/text.h"

namespace data {
namespace {

constexpr int kMaxDepth = 200;

// Adds the position of the operator or call that failed to a factory's Error.
Error at_position(Error error, std::size_t position) {
  error.text += " at position " + std::to_string(position + 1);
  return error;
}

// Leaves the nesting level on every way out of a parse step.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
  ~DepthGuard() { --m_depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& m_depth;
};

}  // namespace

Result<void> ExprParser::advance() {
  Result<Token> token = m_lexer.next();
  if (!token) return token.error();
  m_token = std::move(*token);
  return {};
}

Error ExprParser::error_here(int code, std::string what) const {
  if (m_token.type == TokenType::End) return Error{code, std::move(what) + " at the end"};
  return Error{code, std::move(what) + " at position " + std::to_string(m_token.position + 1)};
}

Result<ExprNodePtr> ExprParser::parse() {
  if (Result<void> first = advance(); !first) return first.error();
  if (m_token.type == TokenType::End) return error_here(kExprSyntaxError, "empty expression");
  Result<ExprNodePtr> root = parse_or();
  if (!root) return root;
  if (m_token.type != TokenType::End) {
    return error_here(kExprSyntaxError, "unexpected '" + std::string(m_token.spelling) + "'");
  }
  return root;
}

Result<ExprNodePtr> ExprParser::parse_or() {
  Result<ExprNodePtr> left = parse_and();
  while (left && m_token.type == TokenType::Or) {
    const std::size_t position = m_token.position;
    if (Result<void> moved = advance(); !moved) return moved.error();
    Result<ExprNodePtr> right = parse_and();
    if (!right) return right;
    left = make_binary(BinaryOperator::Or, std::move(*left), std::move(*right));
    if (!left) return at_position(left.error(), position);
  }
  return left;
}

Result<ExprNodePtr> ExprParser::parse_and() {
  Result<ExprNodePtr> left = parse_not();
  while (left && m_token.type == TokenType::And) {
    const std::size_t position = m_token.position;
    if (Result<void> moved = advance(); !moved) return moved.error();
    Result<ExprNodePtr> right = parse_not();
    if (!right) return right;
    left = make_binary(BinaryOperator::And, std::move(*left), std::move(*right));
    if (!left) return at_position(left.error(), position);
  }
  return left;
}

Result<ExprNodePtr> ExprParser::parse_not() {
  if (m_token.type != TokenType::Not) return parse_comparison();
  const DepthGuard guard(m_depth);
  if (m_depth > kMaxDepth) return error_here(kExprSyntaxError, "expression nested too deeply");
  const std::size_t position = m_token.position;
  if (Result<void> moved = advance(); !moved) return moved.error();
  Result<ExprNodePtr> operand = parse_not();
  if (!operand) return operand;
  Result<ExprNodePtr> node = make_not(std::move(*operand));
  if (!node) return at_position(node.error(), position);
  return node;
}

Result<ExprNodePtr> ExprParser::parse_comparison() {
  Result<ExprNodePtr> left = parse_additive();
  while (left) {
    BinaryOperator op;
    switch (m_token.type) {
      case TokenType::Equal:
        op = BinaryOperator::Equal;
        break;
      case TokenType::ExactEqual:
        op = BinaryOperator::ExactEqual;
        break;
      case TokenType::NotEqual:
        op = BinaryOperator::NotEqual;
        break;
      case TokenType::Less:
        op = BinaryOperator::Less;
        break;
      case TokenType::LessEqual:
        op = BinaryOperator::LessEqual;
        break;
      case TokenType::Greater:
        op = BinaryOperator::Greater;
        break;
      case TokenType::GreaterEqual:
        op = BinaryOperator::GreaterEqual;
        break;
      case TokenType::Dollar:
        op = BinaryOperator::Contains;
        break;
      default:
        return left;
    }
    const std::size_t position = m_token.position;
    if (Result<void> moved = advance(); !moved) return moved.error();
    Result<ExprNodePtr> right = parse_additive();
    if (!right) return right;
    left = make_binary(op, std::move(*left), std::move(*right));
    if (!left) return at_position(left.error(), position);
  }
  return left;
}

Result<ExprNodePtr> ExprParser::parse_additive() {
  Result<ExprNodePtr> left = parse_multiplicative();
  while (left && (m_token.type == TokenType::Plus || m_token.type == TokenType::Minus)) {
    const BinaryOperator op =
        m_token.type == TokenType::Plus ? BinaryOperator::Add : BinaryOperator::Subtract;
    const std::size_t position = m_token.position;
    if (Result<void> moved = advance(); !moved) return moved.error();
    Result<ExprNodePtr> right = parse_multiplicative();
    if (!right) return right;
    left = make_binary(op, std::move(*left), std::move(*right));
    if (!left) return at_position(left.error(), position);
  }
  return left;
}

Result<ExprNodePtr> ExprParser::parse_multiplicative() {
  Result<ExprNodePtr> left = parse_unary();
  while (left && (m_token.type == TokenType::Star || m_token.type == TokenType::Slash ||
                  m_token.type == TokenType::Percent)) {
    const BinaryOperator op = m_token.type == TokenType::Star    ? BinaryOperator::Multiply
                              : m_token.type == TokenType::Slash ? BinaryOperator::Divide
                                                                 : BinaryOperator::Modulo;
    const std::size_t position = m_token.position;
    if (Result<void> moved = advance(); !moved) return moved.error();
    Result<ExprNodePtr> right = parse_unary();
    if (!right) return right;
    left = make_binary(op, std::move(*left), std::move(*right));
    if (!left) return at_position(left.error(), position);
  }
  return left;
}

Result<ExprNodePtr> ExprParser::parse_unary() {
  if (m_token.type != TokenType::Minus && m_token.type != TokenType::Plus) return parse_primary();
  const DepthGuard guard(m_depth);
  if (m_depth > kMaxDepth) return error_here(kExprSyntaxError, "expression nested too deeply");
  const bool negate = m_token.type == TokenType::Minus;
  const std::size_t position = m_token.position;
  if (Result<void> moved = advance(); !moved) return moved.error();
  Result<ExprNodePtr> operand = parse_unary();
  if (!operand) return operand;
  if (!negate) {
    if ((*operand)->kind() != ResultKind::Number) {
      return at_position(
          Error{kExprTypeMismatch, std::string("+ of ") + static_cast<char>((*operand)->kind())}, position);
    }
    return operand;
  }
  Result<ExprNodePtr> node = make_negate(std::move(*operand));
  if (!node) return at_position(node.error(), position);
  return node;
}

Result<ExprNodePtr> ExprParser::parse_primary() {
  const DepthGuard guard(m_depth);
  if (m_depth > kMaxDepth) return error_here(kExprSyntaxError, "expression nested too deeply");
  Token token = m_token;
  switch (token.type) {
    case TokenType::Number:
    case TokenType::Text:
    case TokenType::Date:
    case TokenType::Logical: {
      if (Result<void> moved = advance(); !moved) return moved.error();
      if (token.type == TokenType::Number) return make_number_literal(token.number, token.decimals);
      if (token.type == TokenType::Text) return make_text_literal(std::move(token.text));
      if (token.type == TokenType::Date) return make_date_literal(token.date);
      return make_logical_literal(token.logical);
    }
    case TokenType::LeftParen: {
      if (Result<void> moved = advance(); !moved) return moved.error();
      Result<ExprNodePtr> inner = parse_or();
      if (!inner) return inner;
      if (m_token.type != TokenType::RightParen) return error_here(kExprSyntaxError, "missing ')'");
      if (Result<void> moved = advance(); !moved) return moved.error();
      return inner;
    }
    case TokenType::Name: {
      if (Result<void> moved = advance(); !moved) return moved.error();
      if (m_token.type == TokenType::LeftParen) return parse_call(token);
      return parse_field(token);
    }
    case TokenType::End:
      return error_here(kExprSyntaxError, "missing operand");
    default:
      return error_here(kExprSyntaxError, "unexpected '" + std::string(token.spelling) + "'");
  }
}

Result<ExprNodePtr> ExprParser::parse_call(const Token& name) {
  if (Result<void> moved = advance(); !moved) return moved.error();  // The "(".
  ExprNodes arguments;
  if (m_token.type != TokenType::RightParen) {
    while (true) {
      Result<ExprNodePtr> argument = parse_or();
      if (!argument) return argument;
      arguments.push_back(std::move(*argument));
      if (m_token.type == TokenType::RightParen) break;
      if (m_token.type != TokenType::Comma)
        return error_here(kExprSyntaxError, "missing ')' after the arguments of " + UPPER(name.text) + "()");
      if (Result<void> moved = advance(); !moved) return moved.error();
    }
  }
  if (Result<void> moved = advance(); !moved) return moved.error();  // The ")".
  Result<ExprNodePtr> call = make_call(name.text, std::move(arguments));
  if (!call) return at_position(call.error(), name.position);
  return call;
}

Result<ExprNodePtr> ExprParser::parse_field(const Token& first) {
  std::string alias;
  std::string name = first.text;
  std::size_t position = first.position;
  if (m_token.type == TokenType::Arrow) {
    if (Result<void> moved = advance(); !moved) return moved.error();
    if (m_token.type != TokenType::Name) return error_here(kExprSyntaxError, "missing field name after '->'");
    alias = UPPER(first.text);
    if (alias == "FIELD" || alias == "_FIELD") alias.clear();  // FIELD->NAME is the current work area.
    name = m_token.text;
    position = m_token.position;
    if (Result<void> moved = advance(); !moved) return moved.error();
  }
  const int index = m_fields.field_index(alias, name);
  if (index < 0) {
    const std::string spelled = alias.empty() ? UPPER(name) : alias + "->" + UPPER(name);
    return at_position(Error{kExprUnknownField, "unknown field " + spelled}, position);
  }
  return make_field(m_fields, index, UPPER(name));
}

}  // namespace data
