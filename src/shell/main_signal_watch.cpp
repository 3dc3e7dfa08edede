#include "shell/main_signal_watch.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>


namespace shell {

using ui::platform::Millis;

SignalWatch::SignalWatch() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  if (sigprocmask(SIG_BLOCK, &signals, &m_old_mask) != 0) return;
  m_has_mask = true;
  m_fd = signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
  if (m_fd < 0) {
    // Without a descriptor the signals must keep ending the process as they would by default.
    sigprocmask(SIG_SETMASK, &m_old_mask, nullptr);
    m_has_mask = false;
  }
}

SignalWatch::~SignalWatch() {
  // A signal still pending would end the process by its default action once unblocked.
  while (take()) {
  }
  if (m_fd >= 0) ::close(m_fd);
  if (m_has_mask) sigprocmask(SIG_SETMASK, &m_old_mask, nullptr);
}

std::optional<int> SignalWatch::take() {
  if (m_fd < 0) return std::nullopt;
  signalfd_siginfo info{};
  const ssize_t got = ::read(m_fd, &info, sizeof info);
  if (got != static_cast<ssize_t>(sizeof info)) return std::nullopt;
  return static_cast<int>(info.ssi_signo);
}

SignalWakingBackend::SignalWakingBackend(ui::platform::HeadlessBackend& inner, ui::platform::Clock& clock,
                                         SignalWatch& watch)
    : m_inner(inner), m_clock(clock), m_watch(watch) {}

void SignalWakingBackend::set_on_signal(std::function<void(int)> on_signal) {
  m_on_signal = std::move(on_signal);
  if (m_pending && m_on_signal) {
    const int signal = *m_pending;
    m_pending.reset();
    m_on_signal(signal);
  }
}

void SignalWakingBackend::deliver(int signal) {
  if (m_on_signal) {
    m_on_signal(signal);
  } else if (!m_pending) {
    m_pending = signal;
  }
}

void SignalWakingBackend::wait_for_input(std::optional<Millis> deadline) {
  if (m_inner.pending_actions() > 0 || m_watch.fd() < 0) {
    m_inner.wait_for_input(deadline);
    return;
  }
  // Without a timer the wait still ends now and then, as the loop expects.
  constexpr Millis kLongestWait{60'000};
  Millis wait = deadline ? *deadline - m_clock.now() : kLongestWait;
  if (wait > kLongestWait) wait = kLongestWait;
  if (wait < Millis{0}) wait = Millis{0};
  pollfd watched{m_watch.fd(), POLLIN, 0};
  const int ready = ::poll(&watched, 1, static_cast<int>(wait.count()));
  if (ready > 0) {
    while (const auto signal = m_watch.take()) deliver(*signal);
  }
}

}  // namespace shell
