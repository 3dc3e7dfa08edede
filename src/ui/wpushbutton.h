#pragma once

#include "ui/control_window.h"

namespace ui {

// A push button of a dialog.
class WPushButton : public WControlWindow {
 public:
  using WControlWindow::WControlWindow;

 protected:
  std::string_view native_class() const override { return "Button"; }
  platform::Style create_style() const override { return 0x50010000; }
};

}  // namespace ui
