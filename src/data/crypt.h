#pragma once

#include <string>
#include <string_view>

namespace data {

// The suite's scrambling of stored passwords (the users table, the password log). Both names are the
// same routine: with `is_on` 0 the text comes back unchanged; otherwise, for L the length of the text
// and n its length without leading and trailing blanks, the first n characters (counted from the very
// first, blanks included) are each exclusive-or'ed with their 1-based position, and the result is
// padded with blanks to L characters. Applied twice it gives back any text without leading blanks.
// Character codes are Windows-1252 bytes, the form the other programs of the suite scramble, so a
// password scrambled here matches the one they store. Characters outside Windows-1252 cannot be
// stored by the suite and come out as "?".
std::string ENCRYPT_STRING(std::string_view text, int is_on);
std::string DECRYPT_STRING(std::string_view text, int is_on);

}  // namespace data
