#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/platform/window_system.h"

namespace ui {

using platform::Handle;

// The colour scheme a framework-drawn push button is painted in.
enum class ButtonScheme { Accept, Cancel, Other, Disabled };

// What the button's two pictures (up and pressed) were last drawn from; they are redrawn only when
// one of these changes.
struct ButtonPictureKey {
  std::string caption;
  bool is_enabled = true;
  ButtonScheme scheme = ButtonScheme::Other;
  bool operator==(const ButtonPictureKey&) const = default;
};

// One push button the framework draws.
struct SpecialButton {
  int id = 0;
  Handle window = 0;
  bool is_pressed = false;
  bool has_focus = false;
  std::optional<ButtonPictureKey> pictures;  // Empty until first drawn.
  int picture_builds = 0;                    // How often the pictures were rebuilt.
};

// The push buttons of one dialog that the framework draws (`Special_Buttons`, `Spec_B_State`,
// `Act_Spec_Button`, `Spec_Colors`): their pressed and focus state and their colour scheme. The
// drawing itself belongs to the display back end, which reads this state; here the state follows the
// button's messages.
class SpecialButtons {
 public:
  // A push button of the template, before the window exists.
  void record(int id);
  // Binds each recorded button to its window in `dialog` and builds its pictures.
  void bind(platform::WindowSystem& ws, Handle dialog);
  void clear() { m_buttons.clear(); }

  const std::vector<SpecialButton>& buttons() const { return m_buttons; }
  const SpecialButton* find(int id) const;
  int active_button() const { return m_active; }  // The button being pressed; 0 when none.

  // Spec_Colors: the scheme of one identifier, whatever its role.
  void set_scheme(int id, ButtonScheme scheme);
  // The scheme a button is drawn in now.
  ButtonScheme scheme(int id, bool is_enabled) const;

  // A message of one of the buttons, before the button's own procedure: nothing when the message
  // goes on to it, else the answer. `focus_before_press` receives the focused window on a press
  // (XOLD_DLGFOCUS). The release posts the button's command to `dialog`.
  std::optional<std::int64_t> on_button_message(platform::WindowSystem& ws, Handle dialog, Handle button,
                                                platform::MessageId message, const platform::Param& wParam,
                                                const platform::Param& lParam, std::int64_t& focus_before_press);
  // Rebuilds the button's pictures when caption, enabled state or scheme changed.
  void refresh(platform::WindowSystem& ws, SpecialButton& button);
  // The same for the button with that window, once a caption or enabled change has been applied.
  void refresh_window(platform::WindowSystem& ws, Handle window);

 private:
  SpecialButton* find_window(Handle window);

  std::vector<SpecialButton> m_buttons;
  std::vector<std::pair<int, ButtonScheme>> m_schemes;
  int m_active = 0;
};

}  // namespace ui
