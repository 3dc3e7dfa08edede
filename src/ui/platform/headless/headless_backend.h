#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/platform/clock.h"
#include "ui/platform/display_backend.h"

namespace ui::platform {

// The display back end without a screen, for tests and unattended servers. It draws
// nothing. Message boxes are written to the log as one line (owner, caption, text,
// buttons, answer) and answered with their default button. Waiting for input waits on
// the clock until the next due timer.
//
// Tests stand in for a person with act(): each queued action runs when the loop would
// otherwise wait, in order, one per wait.
class HeadlessBackend final : public DisplayBackend {
 public:
  using LogSink = std::function<void(std::string_view line)>;
  using Action = std::function<void()>;

  // Without a sink, log lines go to standard error.
  explicit HeadlessBackend(Clock& clock, LogSink log = {});

  void act(Action action) { m_actions.push_back(std::move(action)); }
  std::size_t pending_actions() const { return m_actions.size(); }

  std::optional<int> message_box(const MessageBoxRequest& request) override;
  void wait_for_input(std::optional<Millis> deadline) override;

 private:
  Clock& m_clock;
  LogSink m_log;
  std::deque<Action> m_actions;
};

// The label of a message-box button for logs ("OK", "Cancel", "Yes", …).
std::string_view button_label(int button);

}  // namespace ui::platform
