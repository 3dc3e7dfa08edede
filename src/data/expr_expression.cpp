#include "data/expr_expression.h"

#include "data/expr_parser.h"
#include "data/runtime_error.h"

namespace data {
namespace {

// Longer texts are refused before parsing: evaluation recurses once per operator, and no
// key or condition of the suite comes near this.
constexpr std::size_t kMaxExpressionLength = 8192;

}  // namespace

Result<Expression> Expression::compile(std::string_view text, const FieldSource& fields) {
  const auto failure = [&](const Error& error) {
    return Error{error.code, "cannot compile \"" + std::string(text) + "\": " + error.text};
  };
  if (text.size() > kMaxExpressionLength) {
    return failure(Error{kExprSyntaxError, "longer than " + std::to_string(kMaxExpressionLength) + " bytes"});
  }
  ExprParser parser(text, fields);
  Result<ExprNodePtr> root = parser.parse();
  if (!root) return failure(root.error());
  return Expression(std::string(text), std::shared_ptr<const ExprNode>(std::move(*root)));
}

void Expression::rethrow_with_text(const std::exception& fault) const {
  if (const auto* error = dynamic_cast<const RuntimeError*>(&fault)) {
    throw RuntimeError(error->operation(), error->subsystem(), "\"" + m_text + "\": " + error->detail());
  }
  throw RuntimeError("Evaluate", "EXPR", "\"" + m_text + "\": " + fault.what());
}

Value Expression::evaluate(const FieldSource& record) const {
  try {
    return m_root->value(record);
  } catch (const RuntimeError& fault) {
    rethrow_with_text(fault);
  }
}

void Expression::evaluate_text(const FieldSource& record, std::string& out) const {
  out.clear();
  try {
    m_root->append_text(record, out);
  } catch (const RuntimeError& fault) {
    rethrow_with_text(fault);
  }
}

double Expression::evaluate_number(const FieldSource& record) const {
  try {
    return m_root->number(record);
  } catch (const RuntimeError& fault) {
    rethrow_with_text(fault);
  }
}

Date Expression::evaluate_date(const FieldSource& record) const {
  try {
    return m_root->date(record);
  } catch (const RuntimeError& fault) {
    rethrow_with_text(fault);
  }
}

bool Expression::evaluate_logical(const FieldSource& record) const {
  try {
    return m_root->logical(record);
  } catch (const RuntimeError& fault) {
    rethrow_with_text(fault);
  }
}

void Expression::key(const FieldSource& record, std::string& out) const {
  out.clear();
  try {
    m_root->append_key(record, out);
  } catch (const RuntimeError& fault) {
    rethrow_with_text(fault);
  }
  out.resize(static_cast<std::size_t>(result_width()), ' ');
}

}  // namespace data
