#include "ui/platform/headless/headless_backend.h"

#include <cstdio>
#include <string>

#include "ui/platform/messages.h"

namespace ui::platform {

namespace {

// Texts go on one log line: line breaks become "\n".
std::string one_line(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') {
      result += "\\n";
    } else if (c != '\r') {
      result += c;
    }
  }
  return result;
}

}  // namespace

std::string_view button_label(int button) {
  switch (button) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    case IDTRYAGAIN: return "Try Again";
    case IDCONTINUE: return "Continue";
    default: return "?";
  }
}

HeadlessBackend::HeadlessBackend(Clock& clock, LogSink log) : m_clock(clock), m_log(std::move(log)) {
  if (!m_log) {
    m_log = [](std::string_view line) { std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data()); };
  }
}

std::optional<int> HeadlessBackend::message_box(const MessageBoxRequest& request) {
  std::string buttons;
  for (int button : request.buttons) {
    if (!buttons.empty()) buttons += '/';
    buttons += button_label(button);
  }
  m_log("MESSAGE_BOX owner=" + std::to_string(request.owner) + " caption=\"" + one_line(request.caption) +
        "\" text=\"" + one_line(request.text) + "\" buttons=" + buttons +
        " answer=" + std::string(button_label(request.default_button)));
  return request.default_button;
}

void HeadlessBackend::wait_for_input(std::optional<Millis> deadline) {
  if (!m_actions.empty()) {
    Action action = std::move(m_actions.front());
    m_actions.pop_front();
    action();
    return;
  }
  m_clock.wait_until(deadline);
}

}  // namespace ui::platform
