#include "data/text.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(TextCompare, EqualsComparesOverTheRightHandLength) {
  struct Case {
    std::string_view left, right;
    bool equal;
  };
  constexpr Case kCases[] = {
      {"GARCIA    ", "GARCIA", true},  // A padded field equals its trimmed value.
      {"GARCIA", "GAR", true},         // A text equals any text it begins with.
      {"GARCIA", "", true},            // Every text equals the empty text.
      {"GAR", "GARCIA", false},        // The right-hand text is longer.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << '"' << c.left << "\" = \"" << c.right << '"');
    EXPECT_EQ(xbase_equals(c.left, c.right), c.equal);
  }
}

TEST(TextCompare, ExactEqualsNeedsTheSameBytes) {
  EXPECT_TRUE(exact_equals("GARCIA", "GARCIA"));
  EXPECT_FALSE(exact_equals("GARCIA    ", "GARCIA"));  // Padding counts.
  EXPECT_FALSE(exact_equals("GARCIA", "GAR"));
  EXPECT_FALSE(exact_equals("", "A"));
}

TEST(TextCompare, OrdersOverTheRightHandLength) {
  struct Case {
    std::string_view left, right;
    int order;
  };
  constexpr Case kCases[] = {
      {"ABC", "ABD", -1},    {"ABD", "ABC", 1},
      {"ABCD", "ABC", 0},  // Begins with the right text: equal, so >= and <= hold.
      {"AB", "ABC", -1},   // A proper prefix of the right text sorts first.
      {"B", "ABC", 1},       {"", "", 0},
      {"ZETA", "", 0},       // Nothing to compare: equal.
      {"Zeta", "café", -1},  // Upper case before lower case before accented letters.
      {"café", "Árbol", -1}, {"ÑANDÚ", "ñandú", -1},
      {"CAFE", "CAFÉ", -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << '"' << c.left << "\" vs \"" << c.right << '"');
    EXPECT_EQ(xbase_compare(c.left, c.right), c.order);
  }
}

TEST(TextTrim, RemovesBlanksOnTheNamedSide) {
  EXPECT_EQ(ALLTRIM("  a b  "), "a b");
  EXPECT_EQ(TRIM("  a b  "), "  a b");
  EXPECT_EQ(RTRIM("  a b  "), "  a b");
  EXPECT_EQ(LTRIM("  a b  "), "a b  ");
  EXPECT_EQ(ALLTRIM("    "), "");
  EXPECT_EQ(TRIM(""), "");
  EXPECT_EQ(ALLTRIM("\tx\t"), "\tx\t");  // Only blanks are trimmed, as the other programs do.
}

TEST(TextPad, CountsCharactersNotBytes) {
  struct Case {
    std::string_view text;
    long width;
    std::string_view right, left, centre;
  };
  constexpr Case kCases[] = {
      {"ab", 5, "ab   ", "   ab", " ab  "},
      {"ñandú", 7, "ñandú  ", "  ñandú", " ñandú "},  // 5 characters in 7 bytes.
      {"ÑANDÚ", 3, "ÑAN", "NDÚ", "ÑAN"},              // Cut on character boundaries.
      {"abc", 0, "", "", ""},
      {"abc", -2, "", "", ""},
      {"", 2, "  ", "  ", "  "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << '"' << c.text << "\" " << c.width);
    EXPECT_EQ(PADR(c.text, c.width), c.right);
    EXPECT_EQ(PADL(c.text, c.width), c.left);
    EXPECT_EQ(PADC(c.text, c.width), c.centre);
  }
  EXPECT_EQ(PADL("7", 3, '0'), "007");
}

TEST(TextCase, MapsTheAccentedLettersOfTheTables) {
  struct Case {
    std::string_view lower, upper;
  };
  constexpr Case kCases[] = {
      {"ñandú", "ÑANDÚ"},
      {"pingüino cigüeña", "PINGÜINO CIGÜEÑA"},
      {"acción café árbol", "ACCIÓN CAFÉ ÁRBOL"},
      {"àâçèêëîïôöùûæøåþð", "ÀÂÇÈÊËÎÏÔÖÙÛÆØÅÞÐ"},
      {"šœž", "ŠŒŽ"},
      {"cod12345", "COD12345"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.lower);
    EXPECT_EQ(UPPER(c.lower), c.upper);
    EXPECT_EQ(LOWER(c.upper), c.lower);
  }
  // Signs and letters without a single-byte partner keep their bytes.
  EXPECT_EQ(UPPER("÷ÿß€×"), "÷ÿß€×");
  EXPECT_EQ(LOWER("÷ÿß€×"), "÷ÿß€×");
  EXPECT_EQ(UPPER("\xC3"), "\xC3");  // A cut sequence stays as it is.
}

TEST(TextCut, CountsCharactersNotBytes) {
  EXPECT_EQ(LEN("ñandú"), 5u);
  EXPECT_EQ(LEN(""), 0u);
  EXPECT_EQ(LEN("a\xC3z"), 3u);  // A stray byte counts as one character.
  EXPECT_EQ(LEFT("ñandú", 2), "ña");
  EXPECT_EQ(LEFT("ñandú", 0), "");
  EXPECT_EQ(LEFT("ñandú", 9), "ñandú");
  EXPECT_EQ(RIGHT("ñandú", 2), "dú");
  EXPECT_EQ(RIGHT("ñandú", -1), "");
  EXPECT_EQ(RIGHT("ñandú", 9), "ñandú");
  struct Case {
    long start, count;
    std::string_view result;
  };
  constexpr Case kCases[] = {
      {1, 3, "ñan"}, {2, 2, "an"}, {4, 99, "dú"},
      {5, 1, "ú"},   {6, 1, ""},   {0, 2, "ña"},  // Start 0 reads as 1.
      {-2, 2, "dú"},                              // A negative start counts from the end.
      {2, 0, ""},    {2, -1, ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.start << ',' << c.count);
    EXPECT_EQ(SUBSTR("ñandú", c.start, c.count), c.result);
  }
  EXPECT_EQ(SUBSTR("ñandú", 3), "ndú");
}

TEST(TextConcat, MinusMovesTrailingBlanksToTheEnd) {
  EXPECT_EQ(concat_moving_blanks("AB  ", "CD "), "ABCD   ");
  EXPECT_EQ(concat_moving_blanks("    ", "CD"), "CD    ");
  EXPECT_EQ(concat_moving_blanks("AB", "CD"), "ABCD");
}

}  // namespace
}  // namespace data
