#include "data/bit_helpers.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(BitHelpers, TestsAndSetsBitsOfACharacter) {
  struct Case {
    Value byte, bit;
    std::optional<bool> is_set;
    std::optional<std::string> with_bit;
  };
  const Case kCases[] = {
      {Value("A"), Value(0), true, "A"},  // 0x41.
      {Value("A"), Value(1), false, "C"},
      {Value("A"), Value(7), false, "\xC3\x81"},           // 0xC1 is "Á" in Windows-1252.
      {Value("\xC3\x91"), Value(7), true, "\xC3\x91"},     // "Ñ" is 0xD1.
      {Value("AB"), Value(1), false, "C"},                 // Only the first character counts.
      {Value(""), Value(0), false, "\x01"},                // "" has code 0.
      {Value(65), Value(0), std::nullopt, std::nullopt},   // Not text.
      {Value("A"), Value(8), std::nullopt, std::nullopt},  // Outside 0..7.
      {Value("A"), Value(-1), std::nullopt, std::nullopt},
      {Value("A"), Value(1.5), std::nullopt, std::nullopt},  // Fractional bit.
      {Value("A"), Value("1"), std::nullopt, std::nullopt},  // Bit given as text.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.byte.text()) + " bit " + testing::PrintToString(c.bit.number()));
    EXPECT_EQ(FT_ISBIT(c.byte, c.bit), c.is_set);
    EXPECT_EQ(FT_BITSET(c.byte, c.bit), c.with_bit);
  }
}

TEST(BitHelpers, ExclusiveOrOfTwoBytes) {
  struct Case {
    Value left, right;
    std::optional<int> result;
  };
  const Case kCases[] = {
      {Value(61), Value(74), 61 ^ 74},       {Value("a"), Value(1), 96},        {Value(255), Value(0), 255},
      {Value(256 + 3), Value(1), 2},        // Numbers are character codes, modulo 256.
      {Value("\xC3\xB1"), Value(0xF1), 0},  // "ñ" is 0xF1.
      {Value(0x81), Value(0), 0x81},        // A code Windows-1252 leaves unassigned survives.
      {Value(true), Value(1), std::nullopt}, {Value(1), Value(), std::nullopt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.result));
    EXPECT_EQ(C4W_XOR(c.left, c.right), c.result);
  }
}

}  // namespace
}  // namespace data
