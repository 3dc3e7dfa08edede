#pragma once

#include <optional>
#include <string>

#include "data/value.h"

namespace data {

// Bit tests on single characters, as the suite's stored flags and scrambled codes use them. A
// character's code is its byte in Windows-1252, the code page the suite's tables store text in; a
// text gives the code of its first character, "" gives 0.

// Whether bit `bit` (0 = lowest) of the character is set. Nothing when `byte` is not text or `bit`
// is not a whole number from 0 to 7.
std::optional<bool> FT_ISBIT(const Value& byte, const Value& bit);

// The character with bit `bit` set, as one-character text. Nothing on the same wrong input.
std::optional<std::string> FT_BITSET(const Value& byte, const Value& bit);

// The exclusive-or of two bytes, each a number (taken modulo 256, as a character code) or a text.
// Nothing when either is of another kind.
std::optional<int> C4W_XOR(const Value& left, const Value& right);

}  // namespace data
