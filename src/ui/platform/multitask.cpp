#include "ui/platform/multitask.h"

namespace ui::platform {

void MULTITASK(WindowSystem& windows, MultitaskState& state, int rounds, bool force) {
  if (state.in_multitask != 0) return;
  // Cleared on every way out, a run-time error from a handler included.
  struct Running {
    int& flag;
    explicit Running(int& f) : flag(f) { flag = 1; }
    ~Running() { flag = 0; }
  } running(state.in_multitask);
  if (state.every != 0 && state.counter % state.every != 0 && !force) {
    ++state.counter;
    return;
  }
  for (int round = 0; round < rounds; ++round) {
    state.counter = 1;
    Message message;
    while (windows.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // The quit request belongs to the main loop; leave it for that loop to take.
        windows.POSTQUITMESSAGE(static_cast<int>(message.wParam.number()));
        return;
      }
      windows.TRANSLATEMESSAGE(message);
      windows.DISPATCHMESSAGE(message);
    }
  }
}

}  // namespace ui::platform
