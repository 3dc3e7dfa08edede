#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/platform/clock.h"
#include "ui/platform/message.h"

namespace ui::platform {

class WindowSystem;

// A message box the program asks for.
struct MessageBoxRequest {
  int request = 0;    // Number to quote in WindowSystem::answer_message_box.
  Handle owner = 0;   // 0: no owner window.
  std::string caption;
  std::string text;
  std::uint32_t flags = 0;    // MB_ button set, icon and default button.
  std::vector<int> buttons;   // IDOK, IDCANCEL, … in display order.
  int default_button = 0;     // One of `buttons`.
};

// A display back end: it shows the window system's state to a person and turns their
// actions into messages. The window system is the only source of truth; a back end
// reads it (WindowSystem::describe, GET_MENU, …) when told that something changed and
// never keeps state the program could ask for.
//
// How a back end reports a person's action: it posts the message the real control would
// have sent, through the helpers of PersonInput (a click, an edited text, a chosen item
// or menu command, a key, a closed window). The loop picks those messages up after
// wait_for_input returns.
//
// Every notification is called on the user-interface thread, from inside the window
// system; a notification must not send messages or create windows.
class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;

  // Called once, when the window system that this back end serves is built.
  virtual void attach(WindowSystem& windows) { (void)windows; }

  virtual void window_created(Handle window) { (void)window; }
  virtual void window_destroyed(Handle window) { (void)window; }
  // Position or size changed.
  virtual void window_moved(Handle window) { (void)window; }
  // Shown, hidden, minimised, maximised or restored.
  virtual void window_shown(Handle window) { (void)window; }
  virtual void window_text_changed(Handle window) { (void)window; }
  // Enabled state, style, check state, items, selection or focus changed.
  virtual void window_state_changed(Handle window) { (void)window; }
  // The window's menu bar, or a menu it shows, changed.
  virtual void menu_changed(Handle window) { (void)window; }

  // Shows a message box. Answers the button at once when it can (a back end without a
  // screen answers the default button); otherwise answers nothing and later calls
  // WindowSystem::answer_message_box while the window system pumps messages.
  virtual std::optional<int> message_box(const MessageBoxRequest& request) = 0;

  // Waits for a person's action or until `deadline` (the next due timer) has passed on
  // the window system's clock; without a deadline, until an action comes. May return
  // early; the loop asks again.
  virtual void wait_for_input(std::optional<Millis> deadline) = 0;
};

}  // namespace ui::platform
