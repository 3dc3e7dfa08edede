#pragma once

#include "ui/platform/window_system.h"

namespace ui::platform {

// The state of the message pump, the process-wide settings XMULTITASK ({call counter,
// pump every n-th call}) and XINMULTITASK (1 while a pump runs). The settings object
// owns one and hands it to MULTITASK.
struct MultitaskState {
  int counter = 1;        // XMULTITASK[1].
  int every = 3;          // XMULTITASK[2]; 0 pumps on every call.
  int in_multitask = 0;   // XINMULTITASK.
};

// Lets the user interface breathe during a long loop: removes, translates and dispatches
// every waiting message, timers included, `rounds` times — but only on every
// `state.every`-th call unless `force`, and never inside another pump. Handlers of the
// program run inside this call.
void MULTITASK(WindowSystem& windows, MultitaskState& state, int rounds = 1, bool force = false);

}  // namespace ui::platform
