#include "data/expr_field_source.h"

namespace data {
namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; 0 where the byte is unassigned.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char cp1252_byte(char32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) return static_cast<char>(code_point);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] == code_point) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

ResultKind kind_of_field(char type) {
  switch (type) {
    case 'N': case 'F': case 'I': case 'B': case 'Y':
      return ResultKind::Number;
    case 'D': case 'T':
      return ResultKind::Date;
    case 'L':
      return ResultKind::Logical;
    default:
      return ResultKind::Text;
  }
}

void FieldSource::append_field_text(int index, std::string& out) const { out += field(index).text(); }

Date FieldSource::today() const { return Date{}; }

std::string FieldSource::stored_text(std::string_view text) const { return utf8_to_cp1252(text); }

std::string utf8_to_cp1252(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
      result += static_cast<char>(lead);
      ++at;
      continue;
    }
    std::size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t code_point = size == 4 ? lead & 0x07 : size == 3 ? lead & 0x0F : lead & 0x1F;
    bool well_formed = size > 1 && at + size <= text.size();
    for (std::size_t i = 1; well_formed && i < size; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      well_formed = (next & 0xC0) == 0x80;
      code_point = (code_point << 6) | (next & 0x3F);
    }
    if (!well_formed) {
      result += '?';
      ++at;
      continue;
    }
    result += cp1252_byte(code_point);
    at += size;
  }
  return result;
}

}  // namespace data
