#pragma once

#include <string>
#include <vector>

#include "ui/platform/window_system.h"

namespace shell {

// The warning window "ALARM" (caption "ADVERTENCIA") that tells the operator the program has been asked
// to stop: its first line, then `lines`. Modeless, owned by `owner`; OK or Cancel closes it. Returns the
// window; 0 when the program's resources have no "ALARM" dialog.
ui::platform::Handle open_alarm_window(ui::platform::WindowSystem& windows, ui::platform::Handle owner,
                                       const std::vector<std::string>& lines);

// The identifiers of the window's text lines, first line first.
inline constexpr int kAlarmFirstLine = 101;
inline constexpr int kAlarmLines = 4;

}  // namespace shell
