#include "data/number_format.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "data/text.h"

namespace data {
namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
constexpr int kMaxDecimals = 15;
// Below this a scaled value is an exact integer in a double and fits an int64.
constexpr double kExactLimit = 4503599627370496.0;  // 2^52

double power_of_ten(int exponent) {
  return exponent < static_cast<int>(std::size(kPowersOfTen)) ? kPowersOfTen[exponent]
                                                              : std::pow(10.0, exponent);
}

// The digits of |number| rounded to `decimals` places, without sign or point:
// "12345" for 123.45 with 2 decimals. At least decimals + 1 digits, so that the integer
// part is never empty ("005" for 0.05). Kept on the stack: STR runs once per key.
class RoundedDigits {
 public:
  RoundedDigits(double number, int decimals) {
    const double scaled = std::fabs(number) * power_of_ten(decimals);
    if (scaled < kExactLimit) {
      auto value = static_cast<std::uint64_t>(std::floor(scaled * (1.0 + 8 * DBL_EPSILON) + 0.5));
      char* end = m_buffer + sizeof m_buffer;
      char* at = end;
      do {
        *--at = static_cast<char>('0' + value % 10);
        value /= 10;
      } while (value != 0);
      while (end - at < decimals + 1) *--at = '0';
      m_text = std::string_view(at, static_cast<std::size_t>(end - at));
    } else {
      // Too large for the integer path; at this magnitude the double has no fraction left
      // that could round differently, so printf's exact digits are the answer.
      const int length = std::snprintf(m_buffer, sizeof m_buffer, "%.0f", std::floor(scaled + 0.5));
      m_text = std::string_view(m_buffer, static_cast<std::size_t>(length));
    }
  }
  RoundedDigits(const RoundedDigits&) = delete;
  RoundedDigits& operator=(const RoundedDigits&) = delete;

  std::string_view text() const { return m_text; }

 private:
  char m_buffer[400];  // DBL_MAX has 309 integer digits.
  std::string_view m_text;
};

bool is_all_zero(std::string_view digits) { return digits.find_first_not_of('0') == std::string_view::npos; }

bool is_digit_position(char c) { return c == '9' || c == '#'; }

struct Picture {
  std::string_view functions;  // Letters after "@", up to the first blank.
  std::string_view mask;

  bool has(char function) const { return functions.find(function) != std::string_view::npos; }
};

Picture split_picture(std::string_view picture) {
  if (picture.empty() || picture.front() != '@') return {{}, picture};
  const std::size_t blank = picture.find(' ');
  if (blank == std::string_view::npos) return {picture.substr(1), {}};
  return {picture.substr(1, blank - 1), picture.substr(blank + 1)};
}

// The mask filled with `number`; empty when it overflows.
std::string fill_numeric_mask(double number, std::string_view mask) {
  const std::size_t point = mask.find('.');
  const std::size_t integer_end = point == std::string_view::npos ? mask.size() : point;
  int decimals = 0;
  if (point != std::string_view::npos) {
    for (std::size_t i = point + 1; i < mask.size(); ++i) decimals += is_digit_position(mask[i]) ? 1 : 0;
  }
  decimals = std::min(decimals, kMaxDecimals);
  const RoundedDigits rounded(number, decimals);
  const std::string_view digits = rounded.text();
  const bool negative = number < 0 && !is_all_zero(digits);

  std::string result(mask);
  // Integer digits right to left; "," only between two digits.
  std::size_t remaining = digits.size() - static_cast<std::size_t>(decimals);
  const bool integer_is_zero = remaining == 1 && digits[0] == '0';
  const bool has_decimal_digits = decimals > 0;
  if (integer_is_zero && has_decimal_digits) {
    bool has_integer_position = false;
    for (std::size_t i = 0; i < integer_end; ++i) has_integer_position |= is_digit_position(mask[i]);
    if (!has_integer_position) remaining = 0;  // ".99" shows ".50" for 0.5.
  }
  std::size_t first_digit = integer_end;
  for (std::size_t i = integer_end; i-- > 0;) {
    if (is_digit_position(mask[i])) {
      if (remaining > 0) {
        result[i] = digits[--remaining];
        first_digit = i;
      } else {
        result[i] = ' ';
      }
    } else if (mask[i] == ',') {
      result[i] = remaining > 0 ? ',' : ' ';
    }
  }
  if (remaining > 0) return {};
  if (negative) {
    if (first_digit == 0 || result[first_digit - 1] != ' ') return {};
    result[first_digit - 1] = '-';
  }
  std::size_t next_decimal = digits.size() - static_cast<std::size_t>(decimals);
  for (std::size_t i = integer_end + 1; i < mask.size() && point != std::string_view::npos; ++i) {
    if (is_digit_position(mask[i])) {
      result[i] = next_decimal < digits.size() ? digits[next_decimal++] : '0';
    }
  }
  return result;
}

std::string overflow_mask(std::string_view mask) {
  std::string result(mask);
  for (char& c : result) {
    if (is_digit_position(c) || c == ',') c = '*';
  }
  return result;
}

std::string default_number_text(double number) {
  const double integral = std::trunc(number);
  return integral == number ? STR(number, 10, 0) : STR(number, 13, 2);
}

std::string format_text(std::string_view text, const Picture& picture) {
  const bool upper = picture.has('!');
  if (picture.mask.empty()) return upper ? UPPER(text) : std::string(text);
  std::string result;
  std::size_t at = 0;  // Byte offset of the next character of `text`.
  for (const char c : picture.mask) {
    const bool takes_character = c == '9' || c == '#' || c == 'A' || c == 'N' || c == 'X' || c == 'L' ||
                                 c == '!' || c == 'a' || c == 'n' || c == 'x';
    if (!takes_character) {
      result += c;
      continue;
    }
    if (at >= text.size()) {
      result += ' ';
      continue;
    }
    const std::size_t next = at + utf8_offset(text.substr(at), 1);
    const std::string_view character = text.substr(at, next - at);
    result += c == '!' || upper ? UPPER(character) : std::string(character);
    at = next;
  }
  return result;
}

}  // namespace

double xbase_round(double number, int decimals) {
  if (number == 0 || !std::isfinite(number)) return number;
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  const double scale = power_of_ten(decimals);
  const double scaled = std::fabs(number) * scale;
  if (scaled >= kExactLimit) return number;
  const double rounded = std::floor(scaled * (1.0 + 8 * DBL_EPSILON) + 0.5) / scale;
  return number < 0 ? -rounded : rounded;
}

std::string STR(double number, int width, int decimals) {
  std::string result;
  append_STR(result, number, width, decimals);
  return result;
}

void append_STR(std::string& out, double number, int width, int decimals) {
  if (width <= 0) return;
  const auto size = static_cast<std::size_t>(width);
  if (width == 1 || decimals < 0) decimals = 0;
  decimals = std::max(0, std::min({decimals, width - 2, kMaxDecimals}));
  if (!std::isfinite(number)) {
    out.append(size, '*');
    return;
  }
  const RoundedDigits rounded(number, decimals);
  const std::string_view digits = rounded.text();
  const bool negative = number < 0 && !is_all_zero(digits);
  const std::size_t integer_digits = digits.size() - static_cast<std::size_t>(decimals);
  const std::size_t length = (negative ? 1 : 0) + integer_digits + (decimals > 0 ? decimals + 1 : 0);
  if (length > size) {
    out.append(size, '*');
    return;
  }
  out.append(size - length, ' ');
  if (negative) out += '-';
  out.append(digits.substr(0, integer_digits));
  if (decimals > 0) {
    out += '.';
    out.append(digits.substr(integer_digits));
  }
}

double VAL(std::string_view text) {
  std::size_t at = text.find_first_not_of(' ');
  if (at == std::string_view::npos) return 0;
  const std::size_t begin = at;
  if (text[at] == '-' || text[at] == '+') ++at;
  bool has_digits = false;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    ++at;
    has_digits = true;
  }
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      ++at;
      has_digits = true;
    }
  }
  if (!has_digits) return 0;
  const std::string number(text.substr(begin, at - begin));
  return std::strtod(number.c_str(), nullptr);
}

std::string format_picture(double number, std::string_view picture_text) {
  const Picture picture = split_picture(picture_text);
  std::string result;
  if (picture.has('Z') && xbase_round(number, 15) == 0) {
    const std::size_t width = picture.mask.empty() ? 10 : picture.mask.size();
    return std::string(width, ' ');
  }
  if (picture.mask.empty()) {
    result = default_number_text(number);
  } else {
    result = fill_numeric_mask(number, picture.mask);
    if (result.empty()) return overflow_mask(picture.mask);
  }
  if (picture.has('E')) {
    for (char& c : result) c = c == ',' ? '.' : c == '.' ? ',' : c;
  }
  if (picture.has('B')) result = PADR(LTRIM(result), static_cast<long>(result.size()));
  return result;
}

std::string TRANSFORM(const Value& value, std::string_view picture_text) {
  switch (value.kind()) {
    case Value::Kind::Number:
      return format_picture(value.number(), picture_text);
    case Value::Kind::Text:
      return format_text(value.text(), split_picture(picture_text));
    case Value::Kind::Date:
      return DTOC(value.date());
    case Value::Kind::Logical: {
      const bool yes_no = split_picture(picture_text).mask.find_first_of("Yy") != std::string_view::npos;
      return value.logical() ? (yes_no ? "Y" : "T") : (yes_no ? "N" : "F");
    }
    default:
      return {};
  }
}

double safe_divide(double a, double b) { return b == 0 ? 0.0 : a / b; }

}  // namespace data
