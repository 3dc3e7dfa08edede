#include "data/bit_helpers.h"

#include <cmath>

#include "data/code_page.h"

namespace data {
namespace {

int character_code(const std::string& text) {
  const std::string stored = encode_text(CodePage::Windows1252, text);
  return stored.empty() ? 0 : static_cast<unsigned char>(stored[0]);
}

std::string character_of(int code) {
  return decode_text(CodePage::Windows1252, std::string(1, static_cast<char>(code & 0xFF)));
}

std::optional<int> bit_number(const Value& bit) {
  if (!bit.is_number()) return std::nullopt;
  const double number = bit.number();
  if (!(number >= 0 && number <= 7) || number != std::floor(number)) return std::nullopt;
  return static_cast<int>(number);
}

// A value as one character: a text stays, a number becomes the character of that code.
std::optional<std::string> as_character(const Value& value) {
  if (value.is_text()) return value.text();
  if (!value.is_number() || !std::isfinite(value.number())) return std::nullopt;
  const long long code = static_cast<long long>(std::fmod(std::trunc(value.number()), 256.0));
  return character_of(static_cast<int>((code + 256) % 256));
}

}  // namespace

std::optional<bool> FT_ISBIT(const Value& byte, const Value& bit) {
  const std::optional<int> position = bit_number(bit);
  if (!byte.is_text() || !position) return std::nullopt;
  return (character_code(byte.text()) >> *position & 1) != 0;
}

std::optional<std::string> FT_BITSET(const Value& byte, const Value& bit) {
  const std::optional<int> position = bit_number(bit);
  if (!byte.is_text() || !position) return std::nullopt;
  return character_of(character_code(byte.text()) | 1 << *position);
}

std::optional<int> C4W_XOR(const Value& left, const Value& right) {
  const std::optional<std::string> a = as_character(left);
  const std::optional<std::string> b = as_character(right);
  if (!a || !b) return std::nullopt;
  // Bit by bit, as the suite's own routine builds it, so both agree on every byte.
  std::string result = character_of(0);
  for (int bit = 0; bit < 8; ++bit) {
    if (*FT_ISBIT(Value(*a), Value(bit)) != *FT_ISBIT(Value(*b), Value(bit))) {
      result = *FT_BITSET(Value(result), Value(bit));
    }
  }
  return character_code(result);
}

}  // namespace data
