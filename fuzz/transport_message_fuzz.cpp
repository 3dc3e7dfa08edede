// Raw bytes as a fetched message, through the reader the mailbox calls use. The text
// must always come back as valid UTF-8 (or as a clean refusal), and the keyword search
// of the reply readers must hold up on it.
#include <gmime/gmime.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "transport/message_reader.h"
#include "transport/see_engine.h"
#include "transport/text_encoding.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_mime_init();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  auto text = transport::read_message_text(raw);
  if (!text) return 0;
  if (!transport::is_valid_utf8(*text)) __builtin_trap();
  std::string line;
  const int length = transport::SeeEngine::seeExtractText(*text, "FROM:", line, 5000);
  if (length < 0 || length > 4999 || static_cast<size_t>(length) != line.size()) __builtin_trap();
  return 0;
}
