#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ui/platform/clock.h"
#include "ui/platform/message.h"

namespace ui::platform {

// The window timers. A due timer yields one WM_TIMER when the queue is read and is then
// rescheduled one period later, so however late the loop is, a timer never has more
// than one WM_TIMER waiting.
class TimerQueue {
 public:
  struct Timer {
    Handle window = 0;
    std::uint32_t id = 0;
    Millis period{0};
    Millis due{0};
  };

  // Starts or restarts the timer {window, id}. With window 0 and id 0 a fresh identifier
  // is chosen. Returns the identifier.
  std::uint32_t set(Handle window, std::uint32_t id, Millis period, Millis now);
  bool kill(Handle window, std::uint32_t id);
  void kill_all(Handle window);

  // The timer due earliest (at or before `now`) among those `matches` admits.
  std::optional<Timer> due(Millis now, const std::function<bool(const Timer&)>& matches) const;
  // Reschedules a timer whose WM_TIMER was taken.
  void restart(Handle window, std::uint32_t id, Millis now);
  // When the next timer falls due; nothing when no timer runs.
  std::optional<Millis> next_due() const;
  std::size_t size() const { return m_timers.size(); }

 private:
  std::vector<Timer> m_timers;
  std::uint32_t m_next_free_id = 0x7FFF0000;
};

}  // namespace ui::platform
