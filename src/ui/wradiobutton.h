#pragma once

#include <vector>

#include "ui/control_window.h"

namespace ui {

// A radio button of a dialog. Checking it unchecks the other buttons of its group: the radio buttons
// between two windows with WS_GROUP in the dialog's child order.
class WRadioButton : public WControlWindow {
 public:
  using WControlWindow::WControlWindow;

  bool Checked() const;
  // True checks this button and unchecks the rest of its group; false unchecks it only.
  void _Checked(bool checked);
  // The identifiers of the group, sorted; found once and kept (`anGroupIds`).
  const std::vector<std::int64_t>& anGroupIds();

 protected:
  std::string_view native_class() const override { return "Button"; }
  platform::Style create_style() const override { return 0x50000009; }

 private:
  std::vector<std::int64_t> m_group;
};

}  // namespace ui
