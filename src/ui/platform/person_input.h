#pragma once

#include <string_view>

#include "ui/platform/window_system.h"

namespace ui::platform {

// What a display back end calls when a person acts. Each call changes the control the
// way the person did and posts the message the real control would have sent to its
// parent, so the program's handlers run from the loop, never inside the back end.
// Unknown or destroyed windows are ignored.
class PersonInput {
 public:
  explicit PersonInput(WindowSystem& windows) : m_windows(windows) {}

  // A button pressed: auto check boxes and radio buttons change; BN_CLICKED is posted.
  void click(Handle button);
  // The text of an edit field changed to `text`; EN_CHANGE is posted.
  void edit_text(Handle edit, std::string_view text);
  // An item of a combo box or list box chosen; CBN_SELCHANGE / LBN_SELCHANGE is posted.
  void choose_item(Handle list, int index);
  // A menu command chosen in the window's menu; WM_COMMAND is posted.
  void choose_command(Handle window, int id);
  // A key pressed and released while `window` has the focus.
  void press_key(Handle window, int virtual_key);
  // The window's close box; WM_SYSCOMMAND SC_CLOSE is posted.
  void close(Handle window);
  // A message box answered.
  void answer(int request, int button) { m_windows.answer_message_box(request, button); }

 private:
  void post_notification(Handle control, std::int64_t code);

  WindowSystem& m_windows;
};

}  // namespace ui::platform
