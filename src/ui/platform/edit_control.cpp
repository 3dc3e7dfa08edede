#include "ui/platform/control_procedures.h"
#include "ui/platform/window_system.h"

#include <algorithm>

namespace ui::platform {

namespace {

int text_length(const Window& window) { return static_cast<int>(window.text.size()); }

// Replaces the selection with `insert`, keeping to the field's limit; the caret ends
// after the inserted text.
void replace_selection(Window& window, EditState& state, std::string insert) {
  const int start = std::clamp(state.selection_start, 0, text_length(window));
  const int end = std::clamp(state.selection_end, start, text_length(window));
  if (state.limit > 0) {
    const int room = state.limit - (text_length(window) - (end - start));
    insert.resize(static_cast<std::size_t>(std::clamp(room, 0, static_cast<int>(insert.size()))));
  }
  state.undo_text = window.text;
  state.can_undo = true;
  window.text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), insert);
  state.selection_start = state.selection_end = start + static_cast<int>(insert.size());
  state.modified = true;
}

}  // namespace

std::int64_t ControlProcedures::edit(WindowSystem& ws, Handle handle, MessageId message, const Param& wParam,
                                     const Param& lParam) {
  Window* window = ws.find(handle);
  if (!window) return 0;
  if (!std::holds_alternative<EditState>(window->control)) {
    EditState fresh;
    fresh.password_char = (window->style & ES_PASSWORD) ? '*' : 0;
    window->control = fresh;
  }
  EditState& state = std::get<EditState>(window->control);
  const bool is_multiline = window->style & ES_MULTILINE;
  switch (message) {
    case WM_SETTEXT:
      window->text = lParam.text();
      state.selection_start = state.selection_end = 0;
      state.modified = false;
      state.can_undo = false;
      ws.m_backend.window_text_changed(handle);
      if (!is_multiline) ws.notify_parent(handle, EN_CHANGE);
      return 1;
    case WM_CHAR: {
      if (window->style & ES_READONLY) return 0;
      const char typed = static_cast<char>(wParam.number());
      if (typed == '\b') {
        if (state.selection_start == state.selection_end) {
          if (state.selection_start == 0) return 0;
          --state.selection_start;
        }
        replace_selection(*window, state, "");
      } else if (typed == '\r') {
        if (!is_multiline) return 0;
        replace_selection(*window, state, "\r\n");
      } else if (static_cast<unsigned char>(typed) >= 0x20 || typed == '\t') {
        if (typed == '\t' && !is_multiline) return 0;
        replace_selection(*window, state, std::string(1, typed));
      } else {
        return 0;
      }
      ws.m_backend.window_text_changed(handle);
      ws.notify_parent(handle, EN_CHANGE);
      return 0;
    }
    case EM_GETSEL: return MAKELPARAM(state.selection_start, state.selection_end);
    case EM_SETSEL: {
      const int length = text_length(*window);
      int start = static_cast<int>(wParam.number());
      int end = static_cast<int>(lParam.number());
      if (start == -1) {
        start = end = state.selection_end;  // Removes the selection, keeps the caret.
      } else {
        if (end < 0) end = length;
        start = std::clamp(start, 0, length);
        end = std::clamp(end, 0, length);
        if (start > end) std::swap(start, end);
      }
      state.selection_start = start;
      state.selection_end = end;
      ws.m_backend.window_state_changed(handle);
      return 0;
    }
    case EM_REPLACESEL:
      replace_selection(*window, state, lParam.text());
      ws.m_backend.window_text_changed(handle);
      ws.notify_parent(handle, EN_CHANGE);
      return 0;
    case EM_GETMODIFY: return state.modified ? 1 : 0;
    case EM_SETMODIFY: state.modified = wParam.number() != 0; return 0;
    case EM_LIMITTEXT: state.limit = static_cast<int>(std::max<std::int64_t>(wParam.number(), 0)); return 0;
    case EM_SETREADONLY:
      window->style = wParam.number() ? window->style | ES_READONLY : window->style & ~ES_READONLY;
      ws.m_backend.window_state_changed(handle);
      return 1;
    case EM_SETPASSWORDCHAR:
      state.password_char = static_cast<char>(wParam.number());
      window->style = state.password_char ? window->style | ES_PASSWORD : window->style & ~ES_PASSWORD;
      ws.m_backend.window_state_changed(handle);
      return 0;
    case EM_GETPASSWORDCHAR: return static_cast<unsigned char>(state.password_char);
    case EM_CANUNDO: return state.can_undo ? 1 : 0;
    case EM_UNDO:
      if (!state.can_undo) return 0;
      std::swap(window->text, state.undo_text);
      state.selection_start = state.selection_end = 0;
      ws.m_backend.window_text_changed(handle);
      return 1;
    case EM_EMPTYUNDOBUFFER: state.can_undo = false; return 0;
    case EM_GETLINECOUNT:
      return 1 + std::count(window->text.begin(), window->text.end(), '\n');
    case WM_GETDLGCODE:
      return DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS | (is_multiline ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS: ws.notify_parent(handle, EN_SETFOCUS); return 0;
    case WM_KILLFOCUS: ws.notify_parent(handle, EN_KILLFOCUS); return 0;
    default: return ws.DEFWINDOWPROC(handle, message, wParam, lParam);
  }
}

}  // namespace ui::platform
