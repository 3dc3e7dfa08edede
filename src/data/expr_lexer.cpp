#include "data/expr_lexer.h"

#include <cstdio>
#include <cstdlib>

#include "data/expr_node.h"
#include "data/text.h"

namespace data {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_name_start(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool is_name_char(char c) { return is_name_start(c) || is_digit(c); }

Error syntax_error(std::string what, std::size_t position) {
  return Error{kExprSyntaxError, std::move(what) + " at position " + std::to_string(position + 1)};
}

}  // namespace

Token ExprLexer::make(TokenType type, std::size_t start, std::size_t length) {
  Token token;
  token.type = type;
  token.position = start;
  token.spelling = m_text.substr(start, length);
  m_at = start + length;
  return token;
}

Result<Token> ExprLexer::next() {
  while (m_at < m_text.size() &&
         (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\r' || m_text[m_at] == '\n')) {
    ++m_at;
  }
  const std::size_t start = m_at;
  if (start >= m_text.size()) return make(TokenType::End, start, 0);
  const char c = m_text[start];
  const char following = start + 1 < m_text.size() ? m_text[start + 1] : '\0';

  if (is_digit(c) || (c == '.' && is_digit(following))) return read_number(start);
  if (c == '.') return read_dot_word(start);
  if (c == '"' || c == '\'') return read_text(start, c);
  if (c == '[') return read_text(start, ']');
  if (c == '{') return read_date(start);
  if (is_name_start(c)) {
    std::size_t end = start;
    while (end < m_text.size() && is_name_char(m_text[end])) ++end;
    Token token = make(TokenType::Name, start, end - start);
    token.text = std::string(token.spelling);
    return token;
  }
  switch (c) {
    case '(':
      return make(TokenType::LeftParen, start, 1);
    case ')':
      return make(TokenType::RightParen, start, 1);
    case ',':
      return make(TokenType::Comma, start, 1);
    case '+':
      return make(TokenType::Plus, start, 1);
    case '-':
      return following == '>' ? make(TokenType::Arrow, start, 2) : make(TokenType::Minus, start, 1);
    case '*':
      return make(TokenType::Star, start, 1);
    case '/':
      return make(TokenType::Slash, start, 1);
    case '%':
      return make(TokenType::Percent, start, 1);
    case '$':
      return make(TokenType::Dollar, start, 1);
    case '#':
      return make(TokenType::NotEqual, start, 1);
    case '=':
      return following == '=' ? make(TokenType::ExactEqual, start, 2) : make(TokenType::Equal, start, 1);
    case '!':
      return following == '=' ? make(TokenType::NotEqual, start, 2) : make(TokenType::Not, start, 1);
    case '<':
      if (following == '=') return make(TokenType::LessEqual, start, 2);
      if (following == '>') return make(TokenType::NotEqual, start, 2);
      return make(TokenType::Less, start, 1);
    case '>':
      return following == '=' ? make(TokenType::GreaterEqual, start, 2) : make(TokenType::Greater, start, 1);
    default:
      break;
  }
  const std::size_t size = utf8_offset(m_text.substr(start), 1);
  return syntax_error("unexpected character '" + std::string(m_text.substr(start, size)) + "'", start);
}

Result<Token> ExprLexer::read_number(std::size_t start) {
  std::size_t end = start;
  while (end < m_text.size() && is_digit(m_text[end])) ++end;
  int decimals = 0;
  // "1.AND." is 1 followed by .AND.: a point belongs to the number only before a digit or
  // when no letter follows.
  if (end < m_text.size() && m_text[end] == '.' &&
      !(end + 1 < m_text.size() && is_name_start(m_text[end + 1]))) {
    ++end;
    while (end < m_text.size() && is_digit(m_text[end])) {
      ++end;
      ++decimals;
    }
  }
  Token token = make(TokenType::Number, start, end - start);
  token.number = std::strtod(std::string(token.spelling).c_str(), nullptr);
  token.decimals = decimals;
  return token;
}

Result<Token> ExprLexer::read_text(std::size_t start, char close) {
  const std::size_t end = m_text.find(close, start + 1);
  if (end == std::string_view::npos) return syntax_error("unclosed text", start);
  Token token = make(TokenType::Text, start, end + 1 - start);
  token.text = std::string(m_text.substr(start + 1, end - start - 1));
  return token;
}

Result<Token> ExprLexer::read_date(std::size_t start) {
  const std::size_t end = m_text.find('}', start + 1);
  if (end == std::string_view::npos) return syntax_error("unclosed date", start);
  Token token = make(TokenType::Date, start, end + 1 - start);
  const std::string inside = ALLTRIM(m_text.substr(start + 1, end - start - 1));
  if (inside.empty() || inside.find_first_not_of(" /^-.") == std::string::npos) return token;  // Blank date.
  if (inside[0] == '^') {
    // {^yyyy-mm-dd}, with "-", "/" or "." between the parts; a time after it is ignored.
    const std::string digits = ALLTRIM(std::string_view(inside).substr(1));
    int year = 0, month = 0, day = 0;
    char separator1 = 0, separator2 = 0;
    int consumed = 0;
    if (std::sscanf(digits.c_str(), "%4d%c%2d%c%2d%n", &year, &separator1, &month, &separator2, &day,
                    &consumed) != 5 ||
        separator1 != separator2 || (separator1 != '-' && separator1 != '/' && separator1 != '.')) {
      return syntax_error("invalid date {" + inside + "}", start);
    }
    token.date = Date::from_ymd(year, month, day);
    if (token.date.is_blank()) return syntax_error("invalid date {" + inside + "}", start);
    return token;
  }
  token.date = CTOD(inside);
  return token;
}

Result<Token> ExprLexer::read_dot_word(std::size_t start) {
  std::size_t end = start + 1;
  while (end < m_text.size() && is_name_char(m_text[end])) ++end;
  if (end == start + 1 || end >= m_text.size() || m_text[end] != '.')
    return syntax_error("unexpected '.'", start);
  const std::string word = UPPER(m_text.substr(start + 1, end - start - 1));
  Token token = make(TokenType::Logical, start, end + 1 - start);
  if (word == "T" || word == "Y") {
    token.logical = true;
  } else if (word == "F" || word == "N") {
    token.logical = false;
  } else if (word == "AND") {
    token.type = TokenType::And;
  } else if (word == "OR") {
    token.type = TokenType::Or;
  } else if (word == "NOT") {
    token.type = TokenType::Not;
  } else {
    return syntax_error("unknown word ." + word + ".", start);
  }
  return token;
}

}  // namespace data
