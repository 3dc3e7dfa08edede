#include "ui/platform/timer_queue.h"

#include <algorithm>

namespace ui::platform {

std::uint32_t TimerQueue::set(Handle window, std::uint32_t id, Millis period, Millis now) {
  if (window == 0 && id == 0) id = ++m_next_free_id;
  const Millis floor{kTimerMinimumMs};
  period = std::max(period, floor);
  for (Timer& timer : m_timers) {
    if (timer.window == window && timer.id == id) {
      timer.period = period;
      timer.due = now + period;
      return id;
    }
  }
  m_timers.push_back(Timer{window, id, period, now + period});
  return id;
}

bool TimerQueue::kill(Handle window, std::uint32_t id) {
  return std::erase_if(m_timers, [&](const Timer& t) { return t.window == window && t.id == id; }) > 0;
}

void TimerQueue::kill_all(Handle window) {
  std::erase_if(m_timers, [&](const Timer& t) { return t.window == window; });
}

std::optional<TimerQueue::Timer> TimerQueue::due(Millis now,
                                                 const std::function<bool(const Timer&)>& matches) const {
  const Timer* earliest = nullptr;
  for (const Timer& timer : m_timers) {
    if (timer.due > now || !matches(timer)) continue;
    if (!earliest || timer.due < earliest->due) earliest = &timer;
  }
  if (!earliest) return std::nullopt;
  return *earliest;
}

void TimerQueue::restart(Handle window, std::uint32_t id, Millis now) {
  for (Timer& timer : m_timers) {
    if (timer.window == window && timer.id == id) timer.due = now + timer.period;
  }
}

std::optional<Millis> TimerQueue::next_due() const {
  std::optional<Millis> next;
  for (const Timer& timer : m_timers) {
    if (!next || timer.due < *next) next = timer.due;
  }
  return next;
}

}  // namespace ui::platform
