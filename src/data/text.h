#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text helpers of the business code.
//
// Texts are UTF-8 inside the program. Every count below (LEN, LEFT, RIGHT, SUBSTR and the
// PAD widths) is in characters, not bytes: a table stores each character of its code page
// (Windows-1252, DOS 437/850) in one byte, so a width in characters is the width the field
// and the index key have on disk. A byte that is not part of a well-formed UTF-8 sequence
// counts as one character, so malformed text is never split or lost.
//
// Comparisons compare bytes. For the letters the suite uses (ASCII and the Latin-1 range:
// á, Ñ, ü…) UTF-8 byte order is the order of the Windows-1252 bytes the indexes use.
namespace data {

// The "=" of the business code, the prefix rule: true when `left` begins with `right`,
// compared over the right-hand length. A blank-padded field equals its trimmed value and
// every text equals "".
bool xbase_equals(std::string_view left, std::string_view right);

// The "==" of the business code: same length, same bytes.
bool exact_equals(std::string_view left, std::string_view right);

// The ordering of "<", "<=", ">", ">=": negative, 0 or positive. Bytes are compared over the
// right-hand length, so a left text that begins with the right one compares equal; a left
// text that is a proper prefix of a longer right text compares less.
int xbase_compare(std::string_view left, std::string_view right);

// Number of characters.
std::size_t LEN(std::string_view text);

std::string ALLTRIM(std::string_view text);
// TRIM and RTRIM remove trailing blanks; LTRIM leading blanks (spaces only, as xBase does).
std::string TRIM(std::string_view text);
std::string RTRIM(std::string_view text);
std::string LTRIM(std::string_view text);

// `text` cut or padded with `fill` to `width` characters: PADR keeps the start and pads on
// the right, PADL keeps the end and pads on the left, PADC centres (the extra blank goes
// right). A width of 0 or less gives "".
std::string PADR(std::string_view text, long width, char fill = ' ');
std::string PADL(std::string_view text, long width, char fill = ' ');
std::string PADC(std::string_view text, long width, char fill = ' ');

// Case mapping of the letters the tables' code pages hold: a–z, the accented letters of
// Latin-1 (à→À … þ→Þ, not ß, ÷ or ÿ) and š œ ž. This is the case table the shared indexes
// were built with, so UPPER(CODIGO) here gives the key bytes the other programs expect.
// The byte length never changes.
std::string UPPER(std::string_view text);
std::string LOWER(std::string_view text);

// The first / last `count` characters; "" when count <= 0, the whole text when it is longer.
std::string LEFT(std::string_view text, long count);
std::string RIGHT(std::string_view text, long count);
// The characters from the 1-based `start` on, at most `count` of them. A start of 0 reads
// as 1; a negative start counts from the end (-1 is the last character); a start past the
// end or a count <= 0 gives "".
std::string SUBSTR(std::string_view text, long start);
std::string SUBSTR(std::string_view text, long start, long count);

// Byte offset of the character at 0-based index `chars` (text.size() when past the end).
std::size_t utf8_offset(std::string_view text, std::size_t chars);

// The "-" of texts: `left` without its trailing blanks, then `right`, then those blanks.
std::string concat_moving_blanks(std::string_view left, std::string_view right);

}  // namespace data
