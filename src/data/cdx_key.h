#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/date.h"

namespace data {

// What a tag's keys hold. Character keys are the table's code-page bytes padded with
// blanks; numeric and date keys are 8-byte sortable doubles padded with zero bytes;
// logical keys are one byte 'T' or 'F'.
enum class CdxKeyType { Character, Numeric, Date, Logical };

// The byte that fills a key's tail and that leaf compression counts as "trailing".
constexpr char cdx_pad_byte(CdxKeyType type) {
  return type == CdxKeyType::Character || type == CdxKeyType::Logical ? ' ' : '\0';
}

// The 8 key bytes of a number: the double big-endian with the sign bit flipped for
// values >= 0 and every bit flipped for negative ones, so that memcmp gives numeric
// order. -0.0 is stored as +0.0, as the other programs do.
std::string cdx_numeric_key(double value);
// The number an 8-byte numeric key holds. Requires: key.size() == 8.
double cdx_numeric_value(std::string_view key);
// A date key: the Julian day number as a numeric key; the blank date is 0.
std::string cdx_date_key(const Date& date);

// A key padded (or cut) to the tag's key length with its pad byte.
std::string cdx_fit_key(std::string_view key, std::size_t key_length, char pad);

// Total order of index entries: key bytes (unsigned), then record number.
inline std::strong_ordering cdx_compare(std::string_view a_key, std::uint32_t a_recno, std::string_view b_key,
                                        std::uint32_t b_recno) {
  const int c = a_key.compare(b_key);  // char_traits<char>::compare is an unsigned memcmp.
  if (c != 0) return c < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
  return a_recno <=> b_recno;
}

}  // namespace data
