#pragma once

#include <signal.h>

#include <functional>
#include <optional>

#include "ui/platform/clock.h"
#include "ui/platform/display_backend.h"
#include "ui/platform/headless/headless_backend.h"

namespace shell {

// The operator's termination signals (SIGTERM, SIGINT) as something the message loop can wait on.
// Construction blocks both signals for the process, so they are never delivered asynchronously, and
// opens a descriptor that becomes readable when one is pending. Nothing runs in a signal handler.
// Destruction closes the descriptor and restores the previous signal mask.
// Requires: built on the main thread before any other thread starts (threads inherit the mask).
class SignalWatch {
 public:
  SignalWatch();
  ~SignalWatch();
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

  // The descriptor to wait on; -1 when it could not be opened (the signals then keep their defaults).
  int fd() const { return m_fd; }
  // Takes one pending signal; nothing when none is pending.
  std::optional<int> take();

 private:
  int m_fd = -1;
  bool m_has_mask = false;
  sigset_t m_old_mask{};
};

// The headless back end that also wakes up for a termination signal: while the loop waits for the
// next timer, a pending signal ends the wait and is handed to `on_signal` (which posts the frame its
// exit request). A signal taken before `on_signal` is set is kept and handed over when it is.
class SignalWakingBackend final : public ui::platform::DisplayBackend {
 public:
  SignalWakingBackend(ui::platform::HeadlessBackend& inner, ui::platform::Clock& clock, SignalWatch& watch);

  void set_on_signal(std::function<void(int)> on_signal);

  void attach(ui::platform::WindowSystem& windows) override { m_inner.attach(windows); }
  std::optional<int> message_box(const ui::platform::MessageBoxRequest& request) override {
    return m_inner.message_box(request);
  }
  void wait_for_input(std::optional<ui::platform::Millis> deadline) override;

 private:
  void deliver(int signal);

  ui::platform::HeadlessBackend& m_inner;
  ui::platform::Clock& m_clock;
  SignalWatch& m_watch;
  std::function<void(int)> m_on_signal;
  std::optional<int> m_pending;
};

}  // namespace shell
