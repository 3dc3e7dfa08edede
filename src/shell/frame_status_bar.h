#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace shell {

// The frame's status bar as state: its panes, what they show and its font. A display back end draws
// it from this; headless runs only keep it.
class StatusBar {
 public:
  // What a pane follows besides its text.
  enum class Binding { None, InsertKey, NumLock, CapsLock };
  struct Pane {
    std::string text;
    int width = -1;  // Pixels; -1 takes the space the others leave.
    Binding binding = Binding::None;
    bool is_on = false;  // Insert: overwrite mode off ("INS"); the locks: lit.
  };
  struct Font {
    std::string face = "Arial";
    int points = 8;
    int weight = 400;
  };
  static constexpr int kHeight = 20;

  // The four panes: "Ready", the insert/overwrite indicator, "NUM" and "CAPS".
  StatusBar();

  const std::vector<Pane>& panes() const { return m_panes; }
  const Font& font() const { return m_font; }
  int height() const { return kHeight; }

  // The text of the first pane (help texts and states).
  void set_text(std::string_view text) { m_panes[0].text = std::string(text); }
  // The Insert key switches between "INS" and "OVR".
  void toggle_insert();
  void set_lock(Binding binding, bool is_on);

 private:
  std::vector<Pane> m_panes;
  Font m_font;
};

}  // namespace shell
