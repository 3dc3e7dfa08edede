#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "data/date.h"

namespace data {

class Value;
using ValueList = std::vector<Value>;  // 1-based in business code; use at(n - 1).
// A callable taking its parameters, the "code block" of the business code.
using CodeBlock = std::function<Value(std::span<const Value>)>;

// One value of the business code: empty, text, number, logical, date, list or code
// block. Copied freely. Text is UTF-8. There is no == on text: comparisons go through
// xbase_equals (the prefix rule) or exact_equals, so each names its rule.
class Value {
 public:
  enum class Kind { Empty, Text, Number, Logical, Date, List, Block };

  Value() = default;
  Value(std::string text) : m_data(std::move(text)) {}
  Value(std::string_view text) : m_data(std::string(text)) {}
  Value(const char* text) : m_data(std::string(text)) {}
  Value(double number) : m_data(number) {}
  Value(int number) : m_data(static_cast<double>(number)) {}
  Value(long number) : m_data(static_cast<double>(number)) {}
  Value(long long number) : m_data(static_cast<double>(number)) {}
  Value(bool logical) : m_data(logical) {}
  Value(Date date) : m_data(date) {}
  Value(ValueList list) : m_data(std::make_shared<ValueList>(std::move(list))) {}
  Value(CodeBlock block) : m_data(std::make_shared<CodeBlock>(std::move(block))) {}

  Kind kind() const { return static_cast<Kind>(m_data.index()); }
  bool is_empty() const { return kind() == Kind::Empty; }
  bool is_text() const { return kind() == Kind::Text; }
  bool is_number() const { return kind() == Kind::Number; }
  bool is_logical() const { return kind() == Kind::Logical; }
  bool is_date() const { return kind() == Kind::Date; }
  bool is_list() const { return kind() == Kind::List; }
  bool is_block() const { return kind() == Kind::Block; }

  // Each accessor gives the neutral value of its kind ("", 0, false, blank date, empty
  // list) when the value is of another kind, as an uninitialised xBase variable reads.
  const std::string& text() const;
  double number() const;
  bool logical() const;
  Date date() const;
  const ValueList& list() const;
  // Calls the block; an empty Value when this is not a block.
  Value call(std::span<const Value> arguments = {}) const;

 private:
  // Lists and blocks are shared on copy, as the business code's references are.
  std::variant<std::monostate, std::string, double, bool, Date, std::shared_ptr<ValueList>,
               std::shared_ptr<CodeBlock>>
      m_data;
};

inline const std::string& Value::text() const {
  static const std::string kEmpty;
  const auto* text = std::get_if<std::string>(&m_data);
  return text ? *text : kEmpty;
}
inline double Value::number() const {
  const auto* number = std::get_if<double>(&m_data);
  return number ? *number : 0.0;
}
inline bool Value::logical() const {
  const auto* logical = std::get_if<bool>(&m_data);
  return logical ? *logical : false;
}
inline Date Value::date() const {
  const auto* date = std::get_if<Date>(&m_data);
  return date ? *date : Date{};
}
inline const ValueList& Value::list() const {
  static const ValueList kEmpty;
  const auto* list = std::get_if<std::shared_ptr<ValueList>>(&m_data);
  return list ? **list : kEmpty;
}
inline Value Value::call(std::span<const Value> arguments) const {
  const auto* block = std::get_if<std::shared_ptr<CodeBlock>>(&m_data);
  return block ? (**block)(arguments) : Value{};
}

}  // namespace data
