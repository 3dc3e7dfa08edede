#include "ui/control_window.h"

#include "data/runtime_error.h"
#include "startup/settings.h"
#include "ui/lr_wdialog.h"

namespace ui {

using namespace platform;

WindowSystem& WWindowBase::ws() const {
  if (!m_parent) throw data::RuntimeError("CONTROL", "WINDOWS", "control " + std::to_string(m_id) + " has no dialog");
  return m_parent->ws();
}

bool WWindowBase::Show(int command) const { return m_hwnd && ws().SHOWWINDOW(m_hwnd, command); }

Handle WWindowBase::SetFocus() const { return m_hwnd ? ws().SETFOCUS(m_hwnd) : 0; }

std::string WWindowBase::Text() const { return m_hwnd ? ws().GETWINDOWTEXT(m_hwnd) : std::string(); }

void WWindowBase::_Text(std::string_view text) const {
  if (m_hwnd) ws().SETWINDOWTEXT(m_hwnd, text);
}

bool WWindowBase::Visible() const { return m_hwnd && ws().ISWINDOWVISIBLE(m_hwnd); }

void WWindowBase::_Visible(bool is_visible) const { Show(is_visible ? SW_SHOW : SW_HIDE); }

void WWindowBase::Axit() {
  if (m_owns_window && m_hwnd) ws().DESTROYWINDOW(m_hwnd);
  if (m_owns_window) m_hwnd = 0;
}

WControlWindow::WControlWindow(LR_WDIALOG& dialog, std::int64_t id, std::optional<std::string> text) {
  Init(dialog, id, std::move(text));
}

void WControlWindow::Init(LR_WDIALOG& dialog, std::int64_t id, std::optional<std::string> text, bool create) {
  if (create) {
    // Identifiers of self-made controls come from the same counter as automatic menu items.
    if (id == 0) id = ++startup::settings().SNID;
    const Handle window = dialog.ws().CREATEWINDOW(native_class(), text.value_or(""), create_style(), 0, 0, 10, 10,
                                                   dialog.hWnd(), id);
    if (!window) {
      throw data::RuntimeError("CONTROL", "WINDOWS",
                               "control " + std::to_string(id) + " of dialog " + dialog.cDlgName + " not created");
    }
    set_binding(&dialog, id, window);
    set_owns_window(true);
  } else {
    set_binding(&dialog, id, dialog.item(id));  // Throws when the dialog lacks the item.
    if (text) _Text(*text);
  }
  on_bound();
}

void WControlWindow::OnInitDialog() {
  if (hWnd() == 0 && oParent()) {
    set_window(oParent()->item(nId()));
    on_bound();
  }
}

}  // namespace ui
