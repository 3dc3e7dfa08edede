#pragma once

#include <cstdint>

namespace startup {

// The words of the last mouse-move message the main frame saw, kept in the settings (__L_WPARAM,
// __L_LPARAM and their low and high 16-bit words) for the suite's other screens.

// Records the words of a message; the frame's message handler calls it.
void record_last_message_words(std::uint64_t wparam, std::uint64_t lparam);

// The wParam of that message.
std::int64_t _LASTWPARAM();
// The high and low 16-bit words of its wParam.
std::int64_t _LASTHILPARAM();
std::int64_t _LASTLOLPARAM();
// The high and low 16-bit words of its lParam.
std::int64_t _XLASTHILPARAM();
std::int64_t _XLASTLOLPARAM();

}  // namespace startup
