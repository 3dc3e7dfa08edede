#include "ui/platform/clock.h"

#include <thread>

#include "data/runtime_error.h"

namespace ui::platform {

Millis SteadyClock::now() const {
  return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

void SteadyClock::wait_until(std::optional<Millis> deadline) {
  // An idle unattended server with no timer has nothing to wake it but the operator;
  // sleeping in long slices keeps the loop's contract of returning now and then.
  const Millis wait = deadline ? *deadline - now() : Millis{60'000};
  if (wait > Millis{0}) std::this_thread::sleep_for(wait);
}

void ManualClock::wait_until(std::optional<Millis> deadline) {
  if (!deadline) {
    throw data::RuntimeError("GETMESSAGE", "WINDOWS",
                             "the message loop waits with no timer set and no input to come");
  }
  if (*deadline > m_now) m_now = *deadline;
}

}  // namespace ui::platform
