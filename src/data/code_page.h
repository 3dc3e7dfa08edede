#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace data {

// The single-byte character set a table stores its text in. Text is UTF-8 inside the
// program; each table's C and M fields hold bytes of the code page named by header byte
// 29, because the suite's other programs read those bytes directly and build index keys
// from them.
enum class CodePage { Windows1252, Dos437, Dos850 };

// The code page a header mark names: 0x01 DOS 437, 0x02 DOS 850, 0x03 and 0x57
// Windows-1252. Every other mark (0 included, which older tools leave) gives `unmarked`.
CodePage code_page_from_mark(std::uint8_t mark, CodePage unmarked = CodePage::Windows1252);
// The header mark to store for a code page.
std::uint8_t code_page_mark(CodePage page);
// "1252", "437" or "850", for tools and messages.
std::string_view code_page_name(CodePage page);

// The UTF-8 text of stored bytes. Every byte has a character, so this never fails.
std::string decode_text(CodePage page, std::string_view stored);
// Appends the stored form of UTF-8 text to `out`, at most `max_bytes` bytes. Characters
// the code page lacks, and bytes that are not valid UTF-8, become '?' so the loss shows;
// a character is never cut in half because every character takes one stored byte.
// Returns the number of bytes appended.
std::size_t encode_text(CodePage page, std::string_view utf8, std::string& out,
                        std::size_t max_bytes = std::string::npos);
// The stored form of UTF-8 text, whole.
std::string encode_text(CodePage page, std::string_view utf8);

}  // namespace data
