#include "ui/platform/rc_lexer.h"

#include <cctype>

#include "ui/platform/text_case.h"

namespace ui::platform {

namespace {

bool is_name_start(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool is_name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

data::Error error_at(std::string_view file_name, int line, const std::string& message) {
  return data::Error{1, std::string(file_name) + ":" + std::to_string(line) + ": " + message};
}

}  // namespace

bool RcToken::is_name(std::string_view t) const { return kind == Kind::Name && equals_ignoring_case(text, t); }

data::Result<std::vector<RcToken>> tokenize_resource_script(std::string_view text, std::string_view file_name) {
  std::vector<RcToken> tokens;
  int line = 1;
  bool at_line_start = true;
  std::size_t i = 0;
  const auto peek = [&](std::size_t ahead) { return i + ahead < text.size() ? text[i + ahead] : '\0'; };
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
      at_line_start = true;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '/' && peek(1) == '/') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && peek(1) == '*') {
      const int start_line = line;
      i += 2;
      while (i < text.size() && !(text[i] == '*' && peek(1) == '/')) {
        if (text[i] == '\n') ++line;
        ++i;
      }
      if (i >= text.size()) return error_at(file_name, start_line, "comment without its closing */");
      i += 2;
      continue;
    }
    if (c == '#' && at_line_start) {
      std::size_t end = i;
      while (end < text.size() && text[end] != '\n') ++end;
      std::string directive(text.substr(i, end - i));
      if (!directive.empty() && directive.back() == '\r') directive.pop_back();
      tokens.push_back(RcToken{RcToken::Kind::Directive, std::move(directive), 0, line});
      i = end;
      continue;
    }
    at_line_start = false;
    if (c == '"') {
      const int start_line = line;
      std::string value;
      ++i;
      for (;;) {
        if (i >= text.size() || text[i] == '\n') return error_at(file_name, start_line, "text without its closing quote");
        const char d = text[i];
        if (d == '"') {
          if (peek(1) == '"') {
            value += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (d == '\\' && i + 1 < text.size()) {
          const char e = text[i + 1];
          value += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e == '0' ? '\0' : e;
          i += 2;
          continue;
        }
        value += d;
        ++i;
      }
      tokens.push_back(RcToken{RcToken::Kind::Text, std::move(value), 0, start_line});
      continue;
    }
    if (std::isdigit(static_cast<unsigned char>(c))) {
      std::size_t end = i;
      int base = 10;
      if (c == '0' && (peek(1) == 'x' || peek(1) == 'X')) {
        base = 16;
        end += 2;
      }
      std::int64_t value = 0;
      const std::size_t digits_start = end;
      while (end < text.size() && std::isxdigit(static_cast<unsigned char>(text[end])) &&
             (base == 16 || std::isdigit(static_cast<unsigned char>(text[end])))) {
        const char d = text[end];
        const int digit = std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : ascii_upper(d) - 'A' + 10;
        value = (value * base + digit) & 0xFFFFFFFFLL;
        ++end;
      }
      if (end == digits_start) return error_at(file_name, line, "hexadecimal number without digits");
      while (end < text.size() && (ascii_upper(text[end]) == 'L' || ascii_upper(text[end]) == 'U')) ++end;
      if (end < text.size() && is_name_char(text[end])) {
        return error_at(file_name, line, "malformed number '" + std::string(text.substr(i, end - i + 1)) + "'");
      }
      tokens.push_back(RcToken{RcToken::Kind::Number, std::string(text.substr(i, end - i)), value, line});
      i = end;
      continue;
    }
    if (is_name_start(c)) {
      std::size_t end = i;
      while (end < text.size() && is_name_char(text[end])) ++end;
      tokens.push_back(RcToken{RcToken::Kind::Name, std::string(text.substr(i, end - i)), 0, line});
      i = end;
      continue;
    }
    if (std::string_view(",|(){}-+~").find(c) != std::string_view::npos) {
      tokens.push_back(RcToken{RcToken::Kind::Punct, std::string(1, c), 0, line});
      ++i;
      continue;
    }
    return error_at(file_name, line, std::string("unexpected character '") + c + "'");
  }
  tokens.push_back(RcToken{RcToken::Kind::End, "", 0, line});
  return tokens;
}

}  // namespace ui::platform
