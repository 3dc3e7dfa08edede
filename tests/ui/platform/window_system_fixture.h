#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/platform/clock.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/window_system.h"

namespace ui::platform {

// A window system on a manual clock and the headless back end, whose log lines are kept.
class WindowSystemTest : public testing::Test {
 protected:
  WindowSystemTest()
      : backend(clock, [this](std::string_view line) { log.emplace_back(line); }), ws(clock, backend) {
    ws.set_error_handler([this](const data::RuntimeError& error, const Message& message) {
      errors.push_back(error.detail());
      error_messages.push_back(message.message);
    });
  }

  // A visible top-level window of a registered class.
  Handle make_window(std::string_view title = "frame") {
    ws.REGISTERCLASS("TestWindow");
    return ws.CREATEWINDOW("TestWindow", title, WS_OVERLAPPED | WS_VISIBLE, 10, 10, 300, 200, 0, 0);
  }

  // Dispatches every waiting message; returns how many were dispatched.
  int pump() {
    int count = 0;
    Message message;
    while (ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE)) {
      ws.TRANSLATEMESSAGE(message);
      ws.DISPATCHMESSAGE(message);
      ++count;
    }
    return count;
  }

  ManualClock clock{Millis{1'000'000}};
  std::vector<std::string> log;
  HeadlessBackend backend;
  WindowSystem ws;
  std::vector<std::string> errors;
  std::vector<MessageId> error_messages;
};

}  // namespace ui::platform
