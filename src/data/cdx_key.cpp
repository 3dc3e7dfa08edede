#include "data/cdx_key.h"

#include <bit>
#include <cstring>

namespace data {

std::string cdx_numeric_key(double value) {
  if (value == 0.0) value = 0.0;  // Folds -0.0 into +0.0.
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  bits = (bits & 0x8000000000000000ULL) ? ~bits : bits ^ 0x8000000000000000ULL;
  std::string key(8, '\0');
  for (int i = 0; i < 8; ++i) key[i] = static_cast<char>(bits >> (56 - 8 * i));
  return key;
}

double cdx_numeric_value(std::string_view key) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | static_cast<unsigned char>(key[i]);
  bits = (bits & 0x8000000000000000ULL) ? bits ^ 0x8000000000000000ULL : ~bits;
  return std::bit_cast<double>(bits);
}

std::string cdx_date_key(const Date& date) { return cdx_numeric_key(static_cast<double>(date.julian())); }

std::string cdx_fit_key(std::string_view key, std::size_t key_length, char pad) {
  std::string fitted(key.substr(0, key_length));
  fitted.resize(key_length, pad);
  return fitted;
}

}  // namespace data
