#include "ui/platform/control_procedures.h"
#include "ui/platform/text_case.h"
#include "ui/platform/window_system.h"

namespace ui::platform {

namespace {

bool is_checkable(Style type) {
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
         type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

bool is_radio(Style type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

}  // namespace

std::int64_t ControlProcedures::button(WindowSystem& ws, Handle handle, MessageId message, const Param& wParam,
                                       const Param& lParam) {
  Window* window = ws.find(handle);
  if (!window) return 0;
  if (!std::holds_alternative<ButtonState>(window->control)) window->control = ButtonState{};
  ButtonState& state = std::get<ButtonState>(window->control);
  const Style type = window->style & BS_TYPEMASK;
  switch (message) {
    case BM_GETCHECK: return is_checkable(type) ? state.check : 0;
    case BM_SETCHECK: {
      if (!is_checkable(type)) return 0;
      const std::int64_t wanted = wParam.number();
      const bool three_states = type == BS_3STATE || type == BS_AUTO3STATE;
      state.check = wanted == BST_INDETERMINATE && three_states ? BST_INDETERMINATE
                    : wanted != 0                               ? BST_CHECKED
                                                                : BST_UNCHECKED;
      ws.m_backend.window_state_changed(handle);
      return 0;
    }
    case BM_GETSTATE: return state.check | (state.pushed ? 0x4 : 0) | (ws.m_focus == handle ? 0x8 : 0);
    case BM_SETSTATE:
      state.pushed = wParam.number() != 0;
      ws.m_backend.window_state_changed(handle);
      return 0;
    case BM_SETSTYLE:
      window->style = (window->style & ~Style{0xFFFF}) | static_cast<Style>(wParam.number() & 0xFFFF);
      ws.m_backend.window_state_changed(handle);
      return 0;
    case BM_CLICK: click_button(ws, handle); return 0;
    case WM_KEYUP:
      if (wParam.number() == VK_SPACE) click_button(ws, handle);
      return 0;
    case WM_GETDLGCODE:
      if (type == BS_GROUPBOX) return DLGC_STATIC;
      if (is_radio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (type == BS_PUSHBUTTON || type == BS_OWNERDRAW) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    default: return ws.DEFWINDOWPROC(handle, message, wParam, lParam);
  }
}

void ControlProcedures::click_button(WindowSystem& ws, Handle handle) {
  Window* window = ws.find(handle);
  if (!window || (window->style & WS_DISABLED)) return;
  if (!std::holds_alternative<ButtonState>(window->control)) window->control = ButtonState{};
  ButtonState& state = std::get<ButtonState>(window->control);
  switch (window->style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX: state.check = state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED; break;
    case BS_AUTO3STATE: state.check = (state.check + 1) % 3; break;
    case BS_AUTORADIOBUTTON: check_radio_in_group(ws, handle); break;
    case BS_GROUPBOX: return;
    default: break;
  }
  ws.m_backend.window_state_changed(handle);
  ws.notify_parent(handle, BN_CLICKED);
}

void ControlProcedures::check_radio_in_group(WindowSystem& ws, Handle handle) {
  const Window* window = ws.find(handle);
  const Window* parent = window ? ws.find(window->parent) : nullptr;
  if (!parent) return;
  // A group runs from a control with WS_GROUP up to the next one with it.
  const std::vector<Handle>& siblings = parent->children;
  std::size_t at = 0;
  while (at < siblings.size() && siblings[at] != handle) ++at;
  std::size_t first = at;
  while (first > 0 && !(ws.find(siblings[first])->style & WS_GROUP)) --first;
  std::size_t last = at + 1;
  while (last < siblings.size() && !(ws.find(siblings[last])->style & WS_GROUP)) ++last;
  for (std::size_t i = first; i < last && i < siblings.size(); ++i) {
    Window* sibling = ws.find(siblings[i]);
    if (!equals_ignoring_case(sibling->class_name, "Button") || !is_radio(sibling->style & BS_TYPEMASK)) continue;
    if (!std::holds_alternative<ButtonState>(sibling->control)) sibling->control = ButtonState{};
    const std::int64_t check = siblings[i] == handle ? BST_CHECKED : BST_UNCHECKED;
    if (std::get<ButtonState>(sibling->control).check != check) {
      std::get<ButtonState>(sibling->control).check = check;
      ws.m_backend.window_state_changed(siblings[i]);
    }
  }
}

}  // namespace ui::platform
