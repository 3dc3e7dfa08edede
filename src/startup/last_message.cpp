#include "startup/last_message.h"

#include "startup/settings.h"

namespace startup {
namespace {

std::int64_t low_word(std::uint64_t value) { return static_cast<std::int64_t>(value & 0xFFFF); }
std::int64_t high_word(std::uint64_t value) { return static_cast<std::int64_t>(value >> 16 & 0xFFFF); }

}  // namespace

void record_last_message_words(std::uint64_t wparam, std::uint64_t lparam) {
  Settings& s = settings();
  s.__L_WPARAM = static_cast<std::int64_t>(wparam);
  s.__L_LPARAM = static_cast<std::int64_t>(lparam);
  s.__L_LOWPARAM = low_word(wparam);
  s.__L_HIWPARAM = high_word(wparam);
  s.__L_LOLPARAM = low_word(lparam);
  s.__L_HILPARAM = high_word(lparam);
}

std::int64_t _LASTWPARAM() { return settings().__L_WPARAM; }
std::int64_t _LASTHILPARAM() { return settings().__L_HIWPARAM; }
std::int64_t _LASTLOLPARAM() { return settings().__L_LOWPARAM; }
std::int64_t _XLASTHILPARAM() { return settings().__L_HILPARAM; }
std::int64_t _XLASTLOLPARAM() { return settings().__L_LOLPARAM; }

}  // namespace startup
