#include "shell/app_multitask.h"

#include "startup/settings.h"
#include "ui/platform/multitask.h"

namespace shell {

void MULTITASK(ui::platform::WindowSystem& windows, int rounds, bool force) {
  startup::Settings& s = startup::settings();
  if (s.XINMULTITASK != 0) return;
  ui::platform::MultitaskState state{s.XMULTITASK.calls, s.XMULTITASK.every, 0};
  // The settings say "running" for the whole call, so that a handler that calls MULTITASK again
  // from inside the pump returns at once; cleared on every way out.
  struct Running {
    int& flag;
    ~Running() { flag = 0; }
  } running{s.XINMULTITASK};
  s.XINMULTITASK = 1;
  struct WriteBack {
    ui::platform::MultitaskState& state;
    startup::MultitaskSetting& setting;
    ~WriteBack() { setting.calls = state.counter; }
  } write_back{state, s.XMULTITASK};
  ui::platform::MULTITASK(windows, state, rounds, force);
}

}  // namespace shell
