#include "shell/frame_status_bar.h"

namespace shell {

StatusBar::StatusBar()
    : m_panes{
          Pane{"Ready", -1, Binding::None, false},
          Pane{"INS", 30, Binding::InsertKey, false},
          Pane{"NUM", 30, Binding::NumLock, false},
          Pane{"CAPS", 30, Binding::CapsLock, false},
      } {}

void StatusBar::toggle_insert() {
  Pane& pane = m_panes[1];
  pane.is_on = !pane.is_on;
  pane.text = pane.is_on ? "OVR" : "INS";
}

void StatusBar::set_lock(Binding binding, bool is_on) {
  for (Pane& pane : m_panes) {
    if (pane.binding == binding && binding != Binding::InsertKey) pane.is_on = is_on;
  }
}

}  // namespace shell
