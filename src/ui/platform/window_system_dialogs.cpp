#include "ui/platform/window_system.h"

#include <cstdio>

#include "ui/platform/dialog_units.h"
#include "ui/platform/text_case.h"

namespace ui::platform {

namespace {
constexpr std::size_t kMaxStringResource = 1023;
constexpr std::size_t kMaxDialogItemText = 64455;
}  // namespace

std::int64_t WindowSystem::dialog_procedure(WindowSystem& ws, Handle handle, MessageId message,
                                            const Param& wParam, const Param& lParam) {
  Window* window = ws.find(handle);
  if (!window || !window->dialog) return 0;
  DialogState& dialog = *window->dialog;
  if (dialog.pending_block && !dialog.is_block_installed) {
    // A modal dialog's block answers from the very first message on.
    if (!window->handlers) window->handlers = std::make_unique<HandlerRecord>();
    window->handlers->dialog_level.insert(window->handlers->dialog_level.begin(), std::move(dialog.pending_block));
    dialog.pending_block.reset();
    dialog.is_block_installed = true;
  }
  // A modeless dialog answers 0 to whatever arrives before its block is installed, and so
  // does a dialog whose handler record was released at WM_NCDESTROY.
  if (!window->handlers || window->handlers->dialog_level.empty() || !window->handlers->dialog_level.front()) {
    return 0;
  }
  const std::shared_ptr<const Handler> block = window->handlers->dialog_level.front();
  ws.record_last_params(wParam, lParam);
  const std::int64_t answer = (*block)(handle, message, wParam, lParam);
  if (answer != 0) return answer;

  // What the system's dialog procedure does with a message the block left alone.
  window = ws.find(handle);
  if (!window || !window->dialog) return 0;
  switch (message) {
    case WM_CLOSE:
      ws.POSTMESSAGE(handle, WM_COMMAND, MAKELPARAM(IDCANCEL, BN_CLICKED), ws.GETDLGITEM(handle, IDCANCEL));
      return 0;
    case DM_GETDEFID: return MAKELPARAM(window->dialog->default_id, DC_HASDEFID);
    case DM_SETDEFID: window->dialog->default_id = static_cast<int>(wParam.number()); return 1;
    case WM_INITDIALOG: return 0;
    default: return ws.DEFWINDOWPROC(handle, message, wParam, lParam);
  }
}

Handle WindowSystem::create_dialog(const DialogTemplate& dialog, Handle owner, Handler block, bool is_modal) {
  if (owner && !find(owner)) owner = 0;
  const DialogBaseUnits units = dialog_base_units(dialog.font);
  Rect rect = dialog_units_to_pixels(dialog.x, dialog.y, dialog.width, dialog.height, units);
  const bool is_child = dialog.style & WS_CHILD;
  if (!is_child && owner) {
    // A pop-up dialog is placed relative to its owner's client area.
    const Point origin = client_origin(owner);
    rect = Rect{rect.left + origin.x, rect.top + origin.y, rect.right + origin.x, rect.bottom + origin.y};
  }
  auto state = std::make_unique<DialogState>();
  state->is_modal = is_modal;
  if (is_modal) state->pending_block = block ? std::make_shared<const Handler>(std::move(block)) : nullptr;
  m_next_dialog = std::move(state);
  const std::string class_name =
      !dialog.class_name.empty() && find_class(dialog.class_name) &&
              find_class(dialog.class_name)->proc == &WindowSystem::dialog_procedure
          ? dialog.class_name
          : std::string("#32770");
  const Handle handle = CREATEWINDOWEX(dialog.ex_style, class_name, dialog.caption, dialog.style & ~WS_VISIBLE,
                                       rect.left, rect.top, rect.width(), rect.height(), owner, 0);
  m_next_dialog.reset();
  if (!handle) return 0;

  for (const DialogItem& item : dialog.items) {
    const Rect item_rect = dialog_units_to_pixels(item.x, item.y, item.width, item.height, units);
    const Handle control = CREATEWINDOWEX(item.ex_style, item.class_name, item.text, item.style | WS_CHILD,
                                          item_rect.left, item_rect.top, item_rect.width(), item_rect.height(),
                                          handle, item.id);
    if (!control) {
      // A template naming an unknown control class makes no dialog at all.
      std::fprintf(stderr, "dialog %s: control %d of unknown class %s\n", dialog.name.c_str(), item.id,
                   item.class_name.c_str());
      DESTROYWINDOW(handle);
      return 0;
    }
    if (equals_ignoring_case(item.class_name, "Button") && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      find(handle)->dialog->default_id = item.id;
    }
  }
  if (!find(handle)) return 0;

  const Handle first_tab = GETNEXTDLGTABITEM(handle, 0, false);
  if (!is_modal) {
    // The system's own WM_INITDIALOG went by while the block was not yet installed; the
    // block gets one of its own, with both parameters 0.
    Window* window = find(handle);
    window->handlers->dialog_level.insert(window->handlers->dialog_level.begin(),
                                          block ? std::make_shared<const Handler>(std::move(block)) : nullptr);
    window->dialog->is_block_installed = true;
    if (deliver(handle, WM_INITDIALOG, 0, 0) != 0 && first_tab) SETFOCUS(first_tab);
  } else if (deliver(handle, WM_INITDIALOG, first_tab, 0) != 0 && first_tab) {
    SETFOCUS(first_tab);
  }
  if (!find(handle)) return 0;
  if (dialog.style & DS_CENTER) CENTERWINDOW(handle);
  if ((dialog.style & WS_VISIBLE) && !is_modal) SHOWWINDOW(handle, SW_SHOW);
  return handle;
}

Handle WindowSystem::CREATEDIALOGEX(std::string_view template_name, Handle owner, Handler block) {
  const DialogTemplate* dialog = m_resources.dialog(template_name);
  return dialog ? create_dialog(*dialog, owner, std::move(block), false) : 0;
}

Handle WindowSystem::WDCREATEDIALOGINDIRECT(const DialogTemplate& dialog, Handle owner, Handler block) {
  return create_dialog(dialog, owner, std::move(block), false);
}

std::int64_t WindowSystem::DIALOGBOX(std::string_view template_name, Handle owner, Handler block) {
  const DialogTemplate* dialog = m_resources.dialog(template_name);
  if (!dialog) return -1;
  const bool disables_owner = owner && ISWINDOWENABLED(owner);
  const Handle handle = create_dialog(*dialog, owner, std::move(block), true);
  if (!handle) return -1;
  const auto finish = [&] {
    if (disables_owner) ENABLEWINDOW(owner, true);
    if (find(handle)) DESTROYWINDOW(handle);
  };
  std::int64_t result = 0;
  try {
    if (disables_owner) ENABLEWINDOW(owner, false);
    if (find(handle) && !find(handle)->dialog->has_ended) SHOWWINDOW(handle, SW_SHOW);
    for (;;) {
      const Window* window = find(handle);
      if (!window || window->dialog->has_ended) break;
      Message message;
      if (!GETMESSAGE(message, 0, 0, 0)) {
        POSTQUITMESSAGE(static_cast<int>(message.wParam.number()));  // The outer loop must see it too.
        break;
      }
      if (!ISDIALOGMESSAGE(handle, message)) {
        TRANSLATEMESSAGE(message);
        DISPATCHMESSAGE(message);
      }
    }
    if (const Window* window = find(handle)) result = window->dialog->result;
  } catch (const data::RuntimeError&) {
    finish();
    throw;
  }
  finish();
  return result;
}

bool WindowSystem::ENDDIALOG(Handle handle, std::int64_t result) {
  Window* window = find(handle);
  if (!window || !window->dialog) return false;
  window->dialog->has_ended = true;
  window->dialog->result = result;
  return true;
}

bool WindowSystem::ISDIALOGMESSAGE(Handle dialog, const Message& record) {
  if (!find(dialog) || (record.window != dialog && !is_descendant(record.window, dialog))) return false;
  if (record.message == WM_KEYDOWN) {
    const std::int64_t key = record.wParam.number();
    const std::int64_t wants = deliver(record.window, WM_GETDLGCODE, key, 0);
    if (key == VK_TAB && !(wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
      if (const Handle next = GETNEXTDLGTABITEM(dialog, m_focus, m_is_shift_down)) SETFOCUS(next);
      return true;
    }
    if (key == VK_RETURN && !(wants & DLGC_WANTALLKEYS)) {
      std::int64_t id = IDOK;
      if (wants & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
        id = GETDLGCTRLID(record.window);
      } else if (const std::int64_t defid = deliver(dialog, DM_GETDEFID, 0, 0); C4W_HIWORD(defid) == DC_HASDEFID) {
        id = C4W_LOWORD(defid);
      }
      const Handle button = GETDLGITEM(dialog, id);
      if (!button || ISWINDOWENABLED(button)) deliver(dialog, WM_COMMAND, MAKELPARAM(id, BN_CLICKED), button);
      return true;
    }
    if (key == VK_ESCAPE && !(wants & DLGC_WANTALLKEYS)) {
      const Handle button = GETDLGITEM(dialog, IDCANCEL);
      if (!button || ISWINDOWENABLED(button)) {
        deliver(dialog, WM_COMMAND, MAKELPARAM(IDCANCEL, BN_CLICKED), button);
      }
      return true;
    }
  }
  TRANSLATEMESSAGE(record);
  DISPATCHMESSAGE(record);
  return true;
}

Handle WindowSystem::GETDLGITEM(Handle dialog, std::int64_t id) const {
  const Window* window = find(dialog);
  if (!window) return 0;
  for (Handle child : window->children) {
    if (find(child)->id == id) return child;
  }
  return 0;
}

std::int64_t WindowSystem::GETDLGCTRLID(Handle control) const {
  const Window* window = find(control);
  return window && (window->style & WS_CHILD) ? window->id : 0;
}

std::string WindowSystem::GETDLGITEMTEXT(Handle dialog, std::int64_t id) {
  const Handle item = GETDLGITEM(dialog, id);
  return item ? GETWINDOWTEXT(item).substr(0, kMaxDialogItemText) : std::string();
}

bool WindowSystem::SETDLGITEMTEXT(Handle dialog, std::int64_t id, std::string_view text) {
  const Handle item = GETDLGITEM(dialog, id);
  return item && SETWINDOWTEXT(item, text);
}

std::int64_t WindowSystem::SENDDLGITEMMESSAGE(Handle dialog, std::int64_t id, MessageId message,
                                              const Param& wParam, const Param& lParam) {
  const Handle item = GETDLGITEM(dialog, id);
  return item ? SENDMESSAGE(item, message, wParam, lParam) : 0;
}

bool WindowSystem::CHECKRADIOBUTTON(Handle dialog, std::int64_t first, std::int64_t last, std::int64_t check) {
  if (!find(dialog)) return false;
  for (std::int64_t id = first; id <= last; ++id) {
    if (const Handle button = GETDLGITEM(dialog, id)) {
      SENDMESSAGE(button, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED);
    }
  }
  return true;
}

Handle WindowSystem::GETNEXTDLGTABITEM(Handle dialog, Handle control, bool previous) {
  const Window* window = find(dialog);
  if (!window) return 0;
  const std::vector<Handle>& items = window->children;
  const auto can_focus = [&](Handle item) {
    const Window* w = find(item);
    return w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
  };
  const std::size_t count = items.size();
  if (count == 0) return 0;
  std::size_t start = previous ? 0 : count - 1;  // So the first step lands on the first (or last) item.
  for (std::size_t i = 0; i < count; ++i) {
    if (items[i] == control) start = i;
  }
  for (std::size_t step = 1; step <= count; ++step) {
    const std::size_t index = previous ? (start + count - step) % count : (start + step) % count;
    if (can_focus(items[index])) return items[index];
  }
  return 0;
}

std::string WindowSystem::LOADSTRING(int number) const {
  const std::string* text = m_resources.string(number);
  return text ? text->substr(0, kMaxStringResource) : std::string();
}

}  // namespace ui::platform
