#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "data/date.h"
#include "data/result.h"

namespace data {

enum class TokenType {
  End,
  Number,
  Text,
  Date,
  Logical,
  Name,
  Arrow,
  LeftParen,
  RightParen,
  Comma,
  Plus,
  Minus,
  Star,
  Slash,
  Percent,
  Equal,
  ExactEqual,
  NotEqual,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  Dollar,
  And,
  Or,
  Not,
};

struct Token {
  TokenType type = TokenType::End;
  std::size_t position = 0;   // Byte offset in the expression.
  std::string_view spelling;  // As written.
  std::string text;           // Text: its contents; Name: the name.
  double number = 0;          // Number.
  int decimals = 0;           // Number: digits written after the point.
  Date date;                  // Date.
  bool logical = false;       // Logical.
};

// Splits an expression into tokens. Literals: numbers (12, 4.50, .5), texts in "…", '…'
// or […], dates {^2026-12-11}, {11/12/2026} (day first) and {} (blank), logicals .T. .F.
// .Y. .N.; operators + - * / % = == <> != # < <= > >= $ .AND. .OR. .NOT. ! -> ( ) ,.
// Keywords are read in any case.
class ExprLexer {
 public:
  // Requires: `text` outlives the lexer and its tokens.
  explicit ExprLexer(std::string_view text) : m_text(text) {}

  // The next token; End at the end of the text. Errors (kExprSyntaxError): an unclosed
  // text or date, an invalid {^…} date, a character the language does not use; the
  // text says what and where.
  [[nodiscard]] Result<Token> next();

 private:
  Result<Token> read_number(std::size_t start);
  Result<Token> read_text(std::size_t start, char close);
  Result<Token> read_date(std::size_t start);
  Result<Token> read_dot_word(std::size_t start);
  Token make(TokenType type, std::size_t start, std::size_t length);

  std::string_view m_text;
  std::size_t m_at = 0;
};

}  // namespace data
