#pragma once

#include "ui/control_window.h"

namespace ui {

// A check box of a dialog.
class WCheckBox : public WControlWindow {
 public:
  using WControlWindow::WControlWindow;

  bool Checked() const { return hWnd() && ws().SENDMESSAGE(hWnd(), platform::BM_GETCHECK) == platform::BST_CHECKED; }
  void _Checked(bool checked) const {
    if (hWnd()) ws().SENDMESSAGE(hWnd(), platform::BM_SETCHECK, checked ? platform::BST_CHECKED : platform::BST_UNCHECKED);
  }

 protected:
  std::string_view native_class() const override { return "Button"; }
  platform::Style create_style() const override { return 0x50010003; }
};

}  // namespace ui
