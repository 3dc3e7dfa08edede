#include "ui/platform/person_input.h"

#include "ui/platform/control_procedures.h"

namespace ui::platform {

// The controls are changed directly, not through messages, so that no handler of the
// program runs inside the back end; the notification is posted.

void PersonInput::post_notification(Handle control, std::int64_t code) {
  const Window* window = m_windows.find(control);
  if (!window || !(window->style & WS_CHILD)) return;
  m_windows.POSTMESSAGE(window->parent, WM_COMMAND, MAKELPARAM(window->id, code), control);
}

void PersonInput::click(Handle button) {
  Window* window = m_windows.find(button);
  if (!window || (window->style & WS_DISABLED) || window->proc != &ControlProcedures::button) return;
  if (!std::holds_alternative<ButtonState>(window->control)) window->control = ButtonState{};
  ButtonState& state = std::get<ButtonState>(window->control);
  switch (window->style & BS_TYPEMASK) {
    case BS_GROUPBOX: return;
    case BS_AUTOCHECKBOX: state.check = state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED; break;
    case BS_AUTO3STATE: state.check = (state.check + 1) % 3; break;
    case BS_AUTORADIOBUTTON: ControlProcedures::check_radio_in_group(m_windows, button); break;
    default: break;
  }
  m_windows.m_backend.window_state_changed(button);
  post_notification(button, BN_CLICKED);
}

void PersonInput::edit_text(Handle edit, std::string_view text) {
  Window* window = m_windows.find(edit);
  if (!window || window->proc != &ControlProcedures::edit || (window->style & WS_DISABLED)) return;
  if (!std::holds_alternative<EditState>(window->control)) window->control = EditState{};
  EditState& state = std::get<EditState>(window->control);
  state.undo_text = window->text;
  state.can_undo = true;
  window->text = std::string(text);
  state.selection_start = state.selection_end = static_cast<int>(window->text.size());
  state.modified = true;
  m_windows.m_backend.window_text_changed(edit);
  post_notification(edit, EN_CHANGE);
}

void PersonInput::choose_item(Handle list, int index) {
  Window* window = m_windows.find(list);
  if (!window || (window->style & WS_DISABLED)) return;
  const bool is_combo = window->proc == &ControlProcedures::combo_box;
  if (!is_combo && window->proc != &ControlProcedures::list_box) return;
  if (!std::holds_alternative<ListState>(window->control)) window->control = ListState{};
  ListState& state = std::get<ListState>(window->control);
  if (index < 0 || static_cast<std::size_t>(index) >= state.items.size()) return;
  state.current = index;
  if (window->style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL) && !is_combo) {
    state.items[static_cast<std::size_t>(index)].selected = !state.items[static_cast<std::size_t>(index)].selected;
  }
  if (is_combo) {
    window->text = state.items[static_cast<std::size_t>(index)].text;
    m_windows.m_backend.window_text_changed(list);
  }
  m_windows.m_backend.window_state_changed(list);
  post_notification(list, is_combo ? CBN_SELCHANGE : LBN_SELCHANGE);
}

void PersonInput::choose_command(Handle window, int id) {
  if (!m_windows.find(window)) return;
  m_windows.POSTMESSAGE(window, WM_COMMAND, MAKELPARAM(id, 0), 0);
}

void PersonInput::press_key(Handle window, int virtual_key) {
  if (!m_windows.find(window)) return;
  m_windows.POSTMESSAGE(window, WM_KEYDOWN, virtual_key, 1);
  m_windows.POSTMESSAGE(window, WM_KEYUP, virtual_key, 0xC0000001LL);
}

void PersonInput::close(Handle window) {
  if (!m_windows.find(window)) return;
  m_windows.POSTMESSAGE(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace ui::platform
