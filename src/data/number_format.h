#pragma once

#include <string>
#include <string_view>

#include "data/value.h"

// Numbers as the business code shows and indexes them.
namespace data {

// `number` rounded half away from zero to `decimals` places, the rounding every xBase
// display and key uses (STR(2.125, 6, 2) is "  2.13"). Values already carrying a tiny
// binary error (2.345 stored as 2.34499…) round the way their decimal text reads.
double xbase_round(double number, int decimals);

// The key and column form of a number: right-aligned in exactly `width` characters, a "-"
// directly before the first digit, `decimals` digits after ".". When the number does not
// fit, `width` asterisks, so a too-large amount is never shown or indexed as a smaller
// one. A width of 0 or less gives "". Decimals are ignored when width is 1.
std::string STR(double number, int width = 10, int decimals = 0);
// Appends STR(number, width, decimals) to `out`; allocates nothing when `out` has room.
void append_STR(std::string& out, double number, int width, int decimals);

// A number from the start of `text`: leading blanks, an optional sign, digits, an optional
// "." and decimals. Reading stops at the first other character; 0 when there is no number.
double VAL(std::string_view text);

// `number` through a numeric picture, the form users see. "9" (or "#") is a digit
// position, "," a thousands separator shown only between digits, "." the decimal point;
// any other character ("%", "$", blanks) is copied as it is. The result has the picture's
// width with the number right-aligned; a negative number gets "-" before its first digit.
// When the number (with its sign) needs more digit positions than the picture has, every
// digit position and separator shows "*".
// Functions before the template, separated from it by a blank: "@Z" blank when zero, "@B"
// left-aligned, "@E" "." for thousands and "," for decimals. A picture with no template
// gives the default form: STR(n, 10) for whole numbers, STR(n, 13, 2) otherwise.
std::string format_picture(double number, std::string_view picture);

// TRANSFORM of the business code: numbers as format_picture; texts through a text picture
// ("@!" upper case, "@R" with template characters 9 # A N X L ! taking the text's
// characters in turn and every other character inserted); dates as DTOC ("@E" the same,
// as dates are day-first everywhere); logicals as "T"/"F" ("Y" in the picture gives
// "Y"/"N"); an empty value gives "".
std::string TRANSFORM(const Value& value, std::string_view picture);

// a / b, and 0 when b is 0: a division by zero in a report or statistic yields 0 rather
// than stopping the cycle.
double safe_divide(double a, double b);

}  // namespace data
