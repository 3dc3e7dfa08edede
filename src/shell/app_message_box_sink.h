#pragma once

#include "data/message_box_sink.h"
#include "ui/platform/window_system.h"

namespace shell {

// The data layer's way of telling the operator something (a busy table), shown as a message box of
// the main frame. It pumps messages while the box is up, as every message box does.
class WindowMessageBoxSink final : public data::MessageBoxSink {
 public:
  explicit WindowMessageBoxSink(ui::platform::WindowSystem& windows) : m_windows(windows) {}
  int MESSAGE_BOX(std::string_view text, std::string_view caption, int flags) override {
    return m_windows.MESSAGE_BOX(text, caption, static_cast<std::uint32_t>(flags));
  }

 private:
  ui::platform::WindowSystem& m_windows;
};

}  // namespace shell
