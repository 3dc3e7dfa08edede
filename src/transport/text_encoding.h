#pragma once

#include <string>
#include <string_view>

namespace transport {

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool is_valid_utf8(std::string_view text);

// Windows-1252 bytes as UTF-8. The suite's other programs write templates and mail
// texts in that code page, so it is the reading of any text that is not UTF-8; the five
// bytes the code page leaves undefined become U+FFFD.
std::string windows1252_to_utf8(std::string_view bytes);

// `text` when it is valid UTF-8, else its Windows-1252 reading.
std::string as_utf8(std::string_view text);

// At most `limit` bytes of the UTF-8 `text`, cut before a character, never inside one.
std::string_view utf8_prefix(std::string_view text, size_t limit);

}  // namespace transport
