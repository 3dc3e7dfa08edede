#include "data/dbf_field_codec.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "data/table_types.h"

namespace data {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

template <typename T>
T load_le(std::string_view stored) {
  T value{};
  if (stored.size() >= sizeof(T)) std::memcpy(&value, stored.data(), sizeof(T));  // Linux is little-endian.
  return value;
}

template <typename T>
void store_le(T value, std::span<std::byte> dest) {
  std::memcpy(dest.data(), &value, sizeof(T));
}

void fill(std::span<std::byte> dest, char c) { std::memset(dest.data(), c, dest.size()); }

Error bad_value(const DbfField& field, const std::string& why) {
  return table_error(TableErrorCode::BadValue, "field " + field.name + ": " + why);
}

std::string two(int n) {
  char b[3] = {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10), 0};
  return b;
}

}  // namespace

double decode_number(const DbfField& field, std::string_view stored) {
  switch (field.type) {
    case 'I': return load_le<std::int32_t>(stored);
    case 'B': return load_le<double>(stored);
    case 'Y': return static_cast<double>(load_le<std::int64_t>(stored)) / 10000.0;
    default: break;
  }
  std::string_view text = trim(stored);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  return ec == std::errc{} ? value : 0.0;
}

Date decode_date(std::string_view stored) { return STOD(stored); }

bool decode_logical(std::string_view stored) {
  if (stored.empty()) return false;
  const char c = stored[0];
  return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

std::string decode_datetime(std::string_view stored) {
  const auto day = load_le<std::int32_t>(stored);
  const auto ms = load_le<std::int32_t>(stored.size() >= 8 ? stored.substr(4) : std::string_view{});
  if (day <= 0) return "";
  const Date date = Date::from_julian(day);
  const int seconds = ms / 1000;
  return std::to_string(date.year()) + "-" + two(date.month()) + "-" + two(date.day()) + " " + two(seconds / 3600) +
         ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}

std::uint32_t decode_memo_block(const DbfField& field, std::string_view stored) {
  if (field.width == 4) return load_le<std::uint32_t>(stored);
  std::uint64_t block = 0;
  for (const char c : stored) {
    if (c >= '0' && c <= '9') block = block * 10 + static_cast<unsigned>(c - '0');  // Other bytes are padding.
    if (block > 0xFFFFFFFFu) return 0xFFFFFFFFu;
  }
  return static_cast<std::uint32_t>(block);
}

Value decode_value(const DbfField& field, std::string_view stored, CodePage page) {
  switch (field.type) {
    case 'C':
      return (field.flags & 0x04) ? Value(std::string(stored)) : Value(decode_text(page, stored));
    case 'N':
    case 'F':
    case 'I':
    case 'B':
    case 'Y': return Value(decode_number(field, stored));
    case 'D': return Value(decode_date(stored));
    case 'L': return Value(decode_logical(stored));
    case 'T': return Value(decode_datetime(stored));
    case 'V':
    case 'Q':
    case '0':
    default: return Value(std::string(stored));
  }
}

std::string format_number(double value, int width, int decimals) {
  if (!std::isfinite(value)) return "";
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  if (n <= 0 || n >= static_cast<int>(sizeof buffer)) return "";
  std::string text(buffer, static_cast<std::size_t>(n));
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);  // No "-0.00".
  if (static_cast<int>(text.size()) > width) return "";
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

Result<void> encode_value(const DbfField& field, const Value& value, CodePage page, std::span<std::byte> dest) {
  switch (field.type) {
    case 'C': {
      if (!value.is_text() && !value.is_empty()) return bad_value(field, "a text field takes text");
      std::string stored;
      stored.reserve(dest.size());
      if (field.flags & 0x04) {
        stored = value.text().substr(0, dest.size());
      } else {
        encode_text(page, value.text(), stored, dest.size());
      }
      stored.resize(dest.size(), ' ');
      std::memcpy(dest.data(), stored.data(), dest.size());
      return {};
    }
    case 'N':
    case 'F': {
      if (value.is_empty()) {
        fill(dest, ' ');
        return {};
      }
      if (!value.is_number()) return bad_value(field, "a numeric field takes a number");
      const std::string text = format_number(value.number(), field.width, field.decimals);
      if (text.empty()) return bad_value(field, "the number does not fit in " + std::to_string(field.width) + " places");
      std::memcpy(dest.data(), text.data(), dest.size());
      return {};
    }
    case 'D': {
      if (!value.is_date() && !value.is_empty()) return bad_value(field, "a date field takes a date");
      const std::string text = DTOS(value.date());
      std::memcpy(dest.data(), text.data(), 8);
      return {};
    }
    case 'L': {
      if (!value.is_logical() && !value.is_empty()) return bad_value(field, "a logical field takes a logical");
      dest[0] = std::byte(value.logical() ? 'T' : 'F');
      return {};
    }
    case 'I': {
      if (!value.is_number() && !value.is_empty()) return bad_value(field, "an integer field takes a number");
      const double rounded = std::round(value.number());
      if (rounded < -2147483648.0 || rounded > 2147483647.0) return bad_value(field, "the number does not fit");
      store_le(static_cast<std::int32_t>(rounded), dest);
      return {};
    }
    case 'B': {
      if (!value.is_number() && !value.is_empty()) return bad_value(field, "a double field takes a number");
      store_le(value.number(), dest);
      return {};
    }
    case 'Y': {
      if (!value.is_number() && !value.is_empty()) return bad_value(field, "a currency field takes a number");
      const double scaled = std::round(value.number() * 10000.0);
      if (std::fabs(scaled) > 9.2e18) return bad_value(field, "the number does not fit");
      store_le(static_cast<std::int64_t>(scaled), dest);
      return {};
    }
    default: return bad_value(field, std::string("type ") + field.type + " is read-only here");
  }
}

void encode_memo_block(const DbfField& field, std::uint32_t block, std::span<std::byte> dest) {
  if (field.width == 4) {
    store_le(block, dest);
    return;
  }
  fill(dest, ' ');
  if (block == 0) return;
  const std::string digits = std::to_string(block);
  if (digits.size() <= dest.size()) {
    std::memcpy(dest.data() + dest.size() - digits.size(), digits.data(), digits.size());
  }
}

void blank_field(const DbfField& field, std::span<std::byte> dest) {
  switch (field.type) {
    case 'I':
    case 'B':
    case 'Y':
    case 'T':
    case '0': fill(dest, '\0'); return;
    case 'M':
    case 'G':
    case 'P':
    case 'W': field.width == 4 ? fill(dest, '\0') : fill(dest, ' '); return;
    default: fill(dest, ' '); return;
  }
}

}  // namespace data
