#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/result.h"

namespace ui::platform {

// One token of a resource script.
struct RcToken {
  enum class Kind { Name, Number, Text, Punct, Directive, End };
  Kind kind = Kind::End;
  std::string text;         // Name, unescaped text, punctuation, or the whole directive line.
  std::int64_t number = 0;  // Numbers.
  int line = 0;

  bool is(Kind k, std::string_view t) const { return kind == k && text == t; }
  bool is_name(std::string_view t) const;  // Keywords ignore case.
};

// Splits resource-script text into tokens: names, numbers (decimal, 0x hex, with an
// optional L or U suffix), quoted texts ("" and backslash escapes), punctuation, and
// preprocessor lines (#define, #include, …) as single Directive tokens. Comments are
// dropped. An unterminated text or comment, or a stray character, gives an Error whose
// text names the file and line.
[[nodiscard]] data::Result<std::vector<RcToken>> tokenize_resource_script(std::string_view text,
                                                                         std::string_view file_name);

}  // namespace ui::platform
