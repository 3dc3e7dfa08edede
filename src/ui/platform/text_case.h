#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace ui::platform {

// Class names, template names and list-box searches ignore ASCII case, as the system does.
inline char ascii_upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

inline bool equals_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return ascii_upper(x) == ascii_upper(y);
         });
}

inline bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equals_ignoring_case(text.substr(0, prefix.size()), prefix);
}

inline std::string to_upper(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), ascii_upper);
  return result;
}

}  // namespace ui::platform
