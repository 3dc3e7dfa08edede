#include "data/number_format.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(NumberFormat, StrRightAlignsAndRounds) {
  struct Case {
    double number;
    int width, decimals;
    std::string_view text;
  };
  constexpr Case kCases[] = {
      {5, 3, 0, "  5"},
      {-5, 4, 0, "  -5"},  // The sign sits before the first digit.
      {-10, 8, 2, "  -10.00"},
      {10, 6, 2, " 10.00"},
      {2.125, 6, 2, "  2.13"},  // Half away from zero.
      {-2.125, 6, 2, " -2.13"},
      {2.345, 6, 2, "  2.35"},  // Stored as 2.34499…, rounded as its text reads.
      {1.005, 6, 2, "  1.01"},
      {2.5, 3, 0, "  3"},
      {-2.5, 3, 0, " -3"},
      {1234, 3, 0, "***"},  // Overflow never shows a smaller number.
      {-100, 3, 0, "***"},  // The sign needs its own position.
      {-99, 3, 0, "-99"},
      {123456789.12, 12, 2, "123456789.12"},
      {-12345678.90, 12, 2, "-12345678.90"},
      {-426.69, 12, 2, "     -426.69"},
      {0, 12, 2, "        0.00"},
      {-0.001, 6, 2, "  0.00"},  // Rounds to zero: no sign.
      {0.05, 5, 2, " 0.05"},
      {7, 1, 2, "7"},  // Width 1 ignores the decimals.
      {0, 0, 0, ""},
      {42, 10, 0, "        42"},
      {1e300, 12, 2, "************"},
      {99999999999999999999.0, 25, 0, "    100000000000000000000"},  // Past the exact range.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "STR(" << c.number << ',' << c.width << ',' << c.decimals << ')');
    EXPECT_EQ(STR(c.number, c.width, c.decimals), c.text);
  }
  EXPECT_EQ(STR(42), "        42");
}

TEST(NumberFormat, ValReadsTheLeadingNumber) {
  struct Case {
    std::string_view text;
    double number;
  };
  constexpr Case kCases[] = {
      {"  123", 123}, {"-4.5", -4.5}, {"+7", 7}, {"12abc", 12}, {"1.2.3", 1.2},         {"abc", 0},
      {"", 0},        {"   ", 0},     {"-", 0},  {".5", 0.5},   {"  -426.69", -426.69},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(VAL(c.text), c.number);
  }
}

TEST(NumberFormat, PicturesRightAlignInThePictureWidth) {
  struct Case {
    double number;
    std::string_view picture, text;
  };
  constexpr Case kCases[] = {
      {1234567, "999,999,999", "  1,234,567"},
      {0, "999,999,999", "          0"},
      {999999999, "999,999,999", "999,999,999"},
      {1000000000, "999,999,999", "***********"},  // Overflow keeps the width.
      {-1234, "999,999,999", "     -1,234"},
      {-123456789, "999,999,999", "***********"},  // No room for the sign.
      {-234, "9,999", " -234"},
      {1234.5, "9,999.99", "1,234.50"},
      {0.5, "9,999.99", "    0.50"},
      {12.345, "9,999.99", "   12.35"},
      {99.999, "9,999.99", "  100.00"},
      {12345.67, "9,999.99", "*****.**"},  // The point stays.
      {45.678, "9,999.99%", "   45.68%"},  // Literal characters are copied.
      {1234567.891, "999,999,999.99", "  1,234,567.89"},
      {-0.5, "999,999,999.99", "         -0.50"},
      {12.5, "9999.99", "  12.50"},
      {1234567.5, "9999,999,999.99", "   1,234,567.50"},  // Separators only between digits.
      {1234567, "9,999,999,999", "    1,234,567"},
      {2026, "9999", "2026"},
      {0.5, ".99", ".50"},
      {42, "$ 999", "$  42"},
      {1234.5, "@E 9,999.99", "1.234,50"},
      {0, "@Z 9,999.99", "        "},
      {42, "@B 9,999", "42   "},
      {42, "", "        42"},
      {1.5, "", "         1.50"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.number << " \"" << c.picture << '"');
    EXPECT_EQ(format_picture(c.number, c.picture), c.text);
    EXPECT_EQ(TRANSFORM(Value(c.number), c.picture), c.text);
  }
}

TEST(NumberFormat, TransformFormatsEveryKindAKeyCanHold) {
  EXPECT_EQ(TRANSFORM(Value("ñandú"), "@!"), "ÑANDÚ");
  EXPECT_EQ(TRANSFORM(Value("abc"), ""), "abc");
  EXPECT_EQ(TRANSFORM(Value("5551234"), "@R 999-9999"), "555-1234");
  EXPECT_EQ(TRANSFORM(Value("ab"), "!!!!"), "AB  ");
  EXPECT_EQ(TRANSFORM(Value(Date::from_ymd(2026, 12, 11)), ""), "11/12/26");
  EXPECT_EQ(TRANSFORM(Value(true), ""), "T");
  EXPECT_EQ(TRANSFORM(Value(false), "Y"), "N");
  EXPECT_EQ(TRANSFORM(Value(), "999"), "");
}

TEST(NumberFormat, DivisionByZeroYieldsZero) {
  EXPECT_DOUBLE_EQ(safe_divide(10, 4), 2.5);
  EXPECT_DOUBLE_EQ(safe_divide(10, 0), 0);
  EXPECT_DOUBLE_EQ(safe_divide(-3, -0.0), 0);
}

TEST(NumberFormat, RoundsHalfAwayFromZero) {
  EXPECT_DOUBLE_EQ(xbase_round(2.5, 0), 3);
  EXPECT_DOUBLE_EQ(xbase_round(-2.5, 0), -3);
  EXPECT_DOUBLE_EQ(xbase_round(2.345, 2), 2.35);
  EXPECT_DOUBLE_EQ(xbase_round(2.344, 2), 2.34);
  EXPECT_DOUBLE_EQ(xbase_round(0, 2), 0);
}

}  // namespace
}  // namespace data
