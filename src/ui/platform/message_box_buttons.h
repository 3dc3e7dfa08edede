#pragma once

#include <cstdint>
#include <vector>

namespace ui::platform {

// The buttons of a message box with these MB_ flags, in display order (IDOK, IDCANCEL, …).
std::vector<int> message_box_buttons(std::uint32_t flags);
// The button MB_DEFBUTTON2/3/4 selects; the first button when that one does not exist.
int message_box_default_button(std::uint32_t flags);

}  // namespace ui::platform
