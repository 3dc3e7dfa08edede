#include "notify/valid_email.h"

#include "data/text.h"

namespace notify {

bool VALID_EMAIL(std::string_view address) {
  const std::string trimmed = data::ALLTRIM(address);
  if (data::LEN(trimmed) <= 4) return false;
  if (trimmed.find('@') == std::string::npos || trimmed.find('.') == std::string::npos) return false;
  for (const char c : trimmed) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '\x7f') return false;
  }
  return true;
}

}  // namespace notify
