#include "data/text.h"

#include <algorithm>
#include <cstring>

namespace data {
namespace {

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes taken by the character that starts at `at`: its well-formed UTF-8 length, else 1.
std::size_t char_size(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t size = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
  }
  if (at + size > text.size()) return 1;
  for (std::size_t i = 1; i < size; ++i) {
    if (!is_continuation(static_cast<unsigned char>(text[at + i]))) return 1;
  }
  return size;
}

// Byte offset where the last `chars` characters begin.
std::size_t offset_from_end(std::string_view text, std::size_t chars) {
  const std::size_t total = LEN(text);
  return chars >= total ? 0 : utf8_offset(text, total - chars);
}

std::string pad_with(std::string_view text, std::size_t left, std::size_t right, char fill) {
  std::string result;
  result.reserve(left + text.size() + right);
  result.append(left, fill);
  result.append(text);
  result.append(right, fill);
  return result;
}

}  // namespace

bool xbase_equals(std::string_view left, std::string_view right) {
  return left.size() >= right.size() && std::memcmp(left.data(), right.data(), right.size()) == 0;
}

bool exact_equals(std::string_view left, std::string_view right) { return left == right; }

int xbase_compare(std::string_view left, std::string_view right) {
  const std::size_t common = std::min(left.size(), right.size());
  const int order = common == 0 ? 0 : std::memcmp(left.data(), right.data(), common);
  if (order != 0) return order < 0 ? -1 : 1;
  return left.size() < right.size() ? -1 : 0;
}

std::size_t LEN(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += char_size(text, at)) ++count;
  return count;
}

std::size_t utf8_offset(std::string_view text, std::size_t chars) {
  std::size_t at = 0;
  for (; chars > 0 && at < text.size(); --chars) at += char_size(text, at);
  return at;
}

std::string RTRIM(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}

std::string TRIM(std::string_view text) { return RTRIM(text); }

std::string LTRIM(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  return std::string(begin == std::string_view::npos ? std::string_view{} : text.substr(begin));
}

std::string ALLTRIM(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

std::string PADR(std::string_view text, long width, char fill) {
  if (width <= 0) return {};
  const std::size_t length = LEN(text);
  const auto wanted = static_cast<std::size_t>(width);
  if (length >= wanted) return std::string(text.substr(0, utf8_offset(text, wanted)));
  return pad_with(text, 0, wanted - length, fill);
}

std::string PADL(std::string_view text, long width, char fill) {
  if (width <= 0) return {};
  const std::size_t length = LEN(text);
  const auto wanted = static_cast<std::size_t>(width);
  if (length >= wanted) return std::string(text.substr(offset_from_end(text, wanted)));
  return pad_with(text, wanted - length, 0, fill);
}

std::string PADC(std::string_view text, long width, char fill) {
  if (width <= 0) return {};
  const std::size_t length = LEN(text);
  const auto wanted = static_cast<std::size_t>(width);
  if (length >= wanted) return std::string(text.substr(0, utf8_offset(text, wanted)));
  const std::size_t left = (wanted - length) / 2;
  return pad_with(text, left, wanted - length - left, fill);
}

std::string UPPER(std::string_view text) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    auto& byte = reinterpret_cast<unsigned char&>(result[i]);
    if (byte >= 'a' && byte <= 'z') {
      byte -= 0x20;
    } else if (i + 1 < result.size()) {
      auto& next = reinterpret_cast<unsigned char&>(result[i + 1]);
      if (byte == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7) {
        next -= 0x20;  // à..þ to À..Þ, leaving ÷ and ÿ.
        ++i;
      } else if (byte == 0xC5 && (next == 0xA1 || next == 0x93 || next == 0xBE)) {
        next -= 1;  // š œ ž to Š Œ Ž.
        ++i;
      }
    }
  }
  return result;
}

std::string LOWER(std::string_view text) {
  std::string result(text);
  for (std::size_t i = 0; i < result.size(); ++i) {
    auto& byte = reinterpret_cast<unsigned char&>(result[i]);
    if (byte >= 'A' && byte <= 'Z') {
      byte += 0x20;
    } else if (i + 1 < result.size()) {
      auto& next = reinterpret_cast<unsigned char&>(result[i + 1]);
      if (byte == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) {
        next += 0x20;  // À..Þ to à..þ, leaving ×.
        ++i;
      } else if (byte == 0xC5 && (next == 0xA0 || next == 0x92 || next == 0xBD)) {
        next += 1;  // Š Œ Ž to š œ ž.
        ++i;
      }
    }
  }
  return result;
}

std::string LEFT(std::string_view text, long count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, utf8_offset(text, static_cast<std::size_t>(count))));
}

std::string RIGHT(std::string_view text, long count) {
  if (count <= 0) return {};
  return std::string(text.substr(offset_from_end(text, static_cast<std::size_t>(count))));
}

std::string SUBSTR(std::string_view text, long start) {
  return SUBSTR(text, start, static_cast<long>(text.size()));
}

std::string SUBSTR(std::string_view text, long start, long count) {
  if (count <= 0) return {};
  std::size_t begin = 0;
  if (start < 0) {
    begin = offset_from_end(text, static_cast<std::size_t>(-start));
  } else if (start > 0) {
    begin = utf8_offset(text, static_cast<std::size_t>(start - 1));
  }
  if (begin >= text.size()) return {};
  const std::string_view rest = text.substr(begin);
  return std::string(rest.substr(0, utf8_offset(rest, static_cast<std::size_t>(count))));
}

std::string concat_moving_blanks(std::string_view left, std::string_view right) {
  const std::size_t end = left.find_last_not_of(' ');
  const std::size_t kept = end == std::string_view::npos ? 0 : end + 1;
  std::string result;
  result.reserve(left.size() + right.size());
  result.append(left.substr(0, kept));
  result.append(right);
  result.append(left.size() - kept, ' ');
  return result;
}

}  // namespace data
