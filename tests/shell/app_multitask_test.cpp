#include <gtest/gtest.h>

#include "shell/app_multitask.h"
#include "startup/settings.h"
#include "ui/platform/clock.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/window_system.h"

namespace shell_test {
namespace {

using namespace ui::platform;

TEST(Multitask, PumpsOnEveryThirdCallAndNeverNests) {
  startup::reset_settings();
  ManualClock clock{Millis{1000}};
  HeadlessBackend backend{clock, [](std::string_view) {}};
  WindowSystem ws{clock, backend};
  ws.REGISTERCLASS("Counter");
  const Handle window = ws.CREATEWINDOW("Counter", "", 0, 0, 0, 10, 10, 0, 0);
  int handled = 0;
  ws.SUBCLASSWINDOW(window, [&](Handle, MessageId message, const Param&, const Param&) -> std::int64_t {
    if (message == WM_USER) {
      ++handled;
      shell::MULTITASK(ws, 1, true);  // From inside a pump: refused.
    }
    return 0;
  }, MessageFilter::all());

  for (int call = 1; call <= 3; ++call) {
    SCOPED_TRACE(call);
    ws.POSTMESSAGE(window, WM_USER);
    shell::MULTITASK(ws);
    EXPECT_EQ(handled, call == 3 ? 3 : 0);  // Calls 1 and 2 only count; call 3 pumps all three.
  }
  EXPECT_EQ(startup::settings().XMULTITASK.calls, 1);
  EXPECT_EQ(startup::settings().XINMULTITASK, 0);

  ws.POSTMESSAGE(window, WM_USER);
  shell::MULTITASK(ws, 1, true);  // Forced: pumps at once.
  EXPECT_EQ(handled, 4);
}

}  // namespace
}  // namespace shell_test
