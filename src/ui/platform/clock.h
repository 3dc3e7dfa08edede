#pragma once

#include <chrono>
#include <optional>

namespace ui::platform {

// Milliseconds on a monotonic time line; every timer, wait and tick count of the window
// system is measured on it.
using Millis = std::chrono::milliseconds;

// The time source of the window system. The program runs on SteadyClock; tests run on
// ManualClock and fire timers by advancing it, without sleeping.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since the system started.
  virtual Millis now() const = 0;
  // Returns once `deadline` has passed, or earlier when the wait is cut short;
  // without a deadline, waits for a while and returns (callers loop).
  virtual void wait_until(std::optional<Millis> deadline) = 0;
};

// The system's monotonic clock (it counts from system start on Linux).
class SteadyClock final : public Clock {
 public:
  Millis now() const override;
  void wait_until(std::optional<Millis> deadline) override;
};

// A clock that moves only when told to. Waiting until a deadline moves it there at
// once; waiting without a deadline would wait forever, so it throws data::RuntimeError
// (a test whose loop has nothing left to do).
class ManualClock final : public Clock {
 public:
  explicit ManualClock(Millis start = Millis{0}) : m_now(start) {}
  Millis now() const override { return m_now; }
  void wait_until(std::optional<Millis> deadline) override;
  void advance(Millis step) { m_now += step; }
  void set(Millis time) { m_now = time; }

 private:
  Millis m_now;
};

}  // namespace ui::platform
