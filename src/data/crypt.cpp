#include "data/crypt.h"

#include "data/code_page.h"

namespace data {

std::string ENCRYPT_STRING(std::string_view text, int is_on) {
  if (is_on == 0) return std::string(text);
  const std::string stored = encode_text(CodePage::Windows1252, text);
  const std::size_t first = stored.find_first_not_of(' ');
  const std::size_t trimmed = first == std::string::npos ? 0 : stored.find_last_not_of(' ') - first + 1;
  std::string scrambled(stored.size(), ' ');
  for (std::size_t i = 0; i < trimmed; ++i) {
    scrambled[i] = static_cast<char>((static_cast<unsigned char>(stored[i]) ^ (i + 1)) & 0xFF);
  }
  return decode_text(CodePage::Windows1252, scrambled);
}

std::string DECRYPT_STRING(std::string_view text, int is_on) { return ENCRYPT_STRING(text, is_on); }

}  // namespace data
