#include "data/crypt.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(Crypt, ScramblesEachCharacterWithItsPosition) {
  struct Case {
    std::string text, scrambled;
  };
  const Case kCases[] = {
      {"abc", "```"},     // Codes 97^1, 98^2, 99^3 are all 96.
      {"ab  ", "``  "},   // Trailing blanks stay blanks; the length is kept.
      {"  ab", "!\"  "},  // Leading blanks are scrambled and the end is lost.
      {"", ""},
      {"   ", "   "},
      {"\xC3\xB1", "\xC3\xB0"},        // "ñ" (0xF1) ^ 1 is "ð" (0xF0), in Windows-1252.
      {"\x01", std::string(1, '\0')},  // A code equal to its position becomes 0.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(ENCRYPT_STRING(c.text, 1), c.scrambled);
    EXPECT_EQ(DECRYPT_STRING(c.text, 1), c.scrambled);  // The same routine.
    EXPECT_EQ(ENCRYPT_STRING(c.text, 0), c.text);
  }
}

TEST(Crypt, TwiceGivesBackTextsWithoutLeadingBlanks) {
  const std::string kTexts[] = {"clave123", "CONTRASEÑA  ", "a b c", std::string(300, 'x'), "ÁÉÍÓÚ€"};
  for (const std::string& text : kTexts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(DECRYPT_STRING(ENCRYPT_STRING(text, 1), 1), text);
  }
}

}  // namespace
}  // namespace data
