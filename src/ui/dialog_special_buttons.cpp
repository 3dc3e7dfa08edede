#include "ui/dialog_special_buttons.h"

#include <algorithm>

#include "ui/dialog_messages.h"

namespace ui {

using namespace platform;

void SpecialButtons::record(int id) {
  if (find(id)) return;
  SpecialButton button;
  button.id = id;
  m_buttons.push_back(std::move(button));
}

void SpecialButtons::bind(WindowSystem& ws, Handle dialog) {
  for (SpecialButton& button : m_buttons) {
    button.window = ws.GETDLGITEM(dialog, button.id);
    if (button.window) refresh(ws, button);
  }
}

const SpecialButton* SpecialButtons::find(int id) const {
  const auto it = std::find_if(m_buttons.begin(), m_buttons.end(), [&](const SpecialButton& b) { return b.id == id; });
  return it == m_buttons.end() ? nullptr : &*it;
}

SpecialButton* SpecialButtons::find_window(Handle window) {
  const auto it =
      std::find_if(m_buttons.begin(), m_buttons.end(), [&](const SpecialButton& b) { return b.window == window; });
  return it == m_buttons.end() ? nullptr : &*it;
}

void SpecialButtons::set_scheme(int id, ButtonScheme scheme) {
  std::erase_if(m_schemes, [&](const auto& entry) { return entry.first == id; });
  m_schemes.emplace_back(id, scheme);
}

ButtonScheme SpecialButtons::scheme(int id, bool is_enabled) const {
  if (!is_enabled) return ButtonScheme::Disabled;
  for (const auto& [scheme_id, scheme] : m_schemes) {
    if (scheme_id == id) return scheme;
  }
  if (id == IDOK) return ButtonScheme::Accept;
  if (id == IDCANCEL) return ButtonScheme::Cancel;
  return ButtonScheme::Other;
}

void SpecialButtons::refresh(WindowSystem& ws, SpecialButton& button) {
  const bool is_enabled = ws.ISWINDOWENABLED(button.window);
  ButtonPictureKey key{ws.GETWINDOWTEXT(button.window), is_enabled, scheme(button.id, is_enabled)};
  if (button.pictures == key) return;
  button.pictures = std::move(key);
  ++button.picture_builds;
}

void SpecialButtons::refresh_window(WindowSystem& ws, Handle window) {
  if (SpecialButton* button = find_window(window)) refresh(ws, *button);
}

std::optional<std::int64_t> SpecialButtons::on_button_message(WindowSystem& ws, Handle dialog, Handle window,
                                                              MessageId message, const Param& wParam,
                                                              const Param& lParam, std::int64_t& focus_before_press) {
  SpecialButton* button = find_window(window);
  if (!button) return std::nullopt;
  switch (message) {
    case WM_LBUTTONDOWN:
      focus_before_press = ws.GETFOCUS();
      button->is_pressed = true;
      m_active = button->id;
      return 0;
    case WM_MOUSEMOVE:
      if (m_active == button->id) {
        // The pressed picture follows the pointer while the mouse button is held.
        const Rect rect = ws.GETWINDOWRECT(window);
        const auto x = static_cast<std::int16_t>(C4W_LOWORD(lParam.number()));
        const auto y = static_cast<std::int16_t>(C4W_HIWORD(lParam.number()));
        button->is_pressed = x >= 0 && y >= 0 && x < rect.width() && y < rect.height();
      }
      return 0;
    case WM_LBUTTONUP: {
      const bool was_pressed = button->is_pressed && m_active == button->id;
      button->is_pressed = false;
      m_active = 0;
      if (was_pressed && ws.ISWINDOWENABLED(window)) {
        ws.POSTMESSAGE(dialog, WM_COMMAND, MAKELPARAM(button->id, BN_CLICKED), window);
      }
      return 0;
    }
    case BM_SETSTATE: button->is_pressed = wParam.number() != 0; return std::nullopt;
    case WM_SETFOCUS: button->has_focus = true; return std::nullopt;
    case WM_KILLFOCUS: button->has_focus = false; return std::nullopt;
    case kButtonCaptionFromText:
    case kButtonSetCaption:
      ws.SETWINDOWTEXT(window, lParam.has_text() ? lParam.text() : wParam.text());
      refresh(ws, *button);
      return 1;
    case kButtonRepaint: refresh(ws, *button); return 1;
    default: return std::nullopt;
  }
}

}  // namespace ui
