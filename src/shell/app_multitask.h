#pragma once

#include "ui/platform/window_system.h"

namespace shell {

// MULTITASK on the process-wide pump state: XMULTITASK ({call count, pump every n-th call}) and
// XINMULTITASK of the settings. Lets the user interface breathe during a long loop; handlers of the
// program, timers included, run inside this call. Refuses to nest.
void MULTITASK(ui::platform::WindowSystem& windows, int rounds = 1, bool force = false);

}  // namespace shell
