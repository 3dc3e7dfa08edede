#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/value.h"
#include "ui/platform/window_system.h"

namespace ui {

using platform::Handle;
class LR_WDIALOG;

// The window part every control object shares: its window handle, a value the caller attaches
// (`Cargo`), the dialog it belongs to and its identifier. The window system owns the window; the
// object holds its handle, which is 0 until bound and again once the dialog has released it.
class WWindowBase {
 public:
  WWindowBase() = default;
  virtual ~WWindowBase() = default;
  WWindowBase(const WWindowBase&) = delete;
  WWindowBase& operator=(const WWindowBase&) = delete;

  Handle hWnd() const { return m_hwnd; }
  std::int64_t nId() const { return m_id; }
  LR_WDIALOG* oParent() const { return m_parent; }
  // Requires: the control belongs to a dialog.
  platform::WindowSystem& ws() const;

  bool Show(int command = platform::SW_SHOW) const;
  Handle SetFocus() const;
  std::string Text() const;
  void _Text(std::string_view text) const;
  bool Visible() const;
  void _Visible(bool is_visible) const;
  // Destroys a window the control created itself; a bound resource item is left to its dialog.
  void Axit();

  data::Value Cargo;

 protected:
  void set_binding(LR_WDIALOG* parent, std::int64_t id, Handle window) {
    m_parent = parent;
    m_id = id;
    m_hwnd = window;
  }
  void set_window(Handle window) { m_hwnd = window; }
  bool owns_window() const { return m_owns_window; }
  void set_owns_window(bool owns) { m_owns_window = owns; }

 private:
  Handle m_hwnd = 0;
  std::int64_t m_id = 0;
  LR_WDIALOG* m_parent = nullptr;
  bool m_owns_window = false;
};

// A control of a dialog, bound to the dialog's child window of one identifier. Controls are usually
// members of their dialog, bound after the dialog window exists:
//
//   m_name.Init(*this, 501);          // Takes the template's item 501.
//   Add(m_name, [](WDIALOG&, WControlWindow&, int code) { ... });
//
// Binding to an identifier the dialog does not have throws data::RuntimeError.
class WControlWindow : public WWindowBase {
 public:
  WControlWindow() = default;
  // Binds at once (Init).
  WControlWindow(LR_WDIALOG& dialog, std::int64_t id, std::optional<std::string> text = {});

  // With `create` false (the usual case) takes the dialog's child window `id` and sets its text when
  // one is given; with `create` true makes a window of the control's own class instead, with the
  // next automatic identifier when `id` is 0.
  void Init(LR_WDIALOG& dialog, std::int64_t id, std::optional<std::string> text = {}, bool create = false);
  // Binds the window by identifier if not yet bound.
  void OnInitDialog();
  // The dialog's window is going: the handle is dropped.
  virtual void release() { set_window(0); }

  virtual void OnDestroy() {}
  virtual std::int64_t OnDrawItem(const platform::Param&, const platform::Param&) { return 0; }
  virtual void OnLDblClick() {}
  virtual void OnLBtnDown() {}
  virtual void OnLBtnUp() {}
  virtual void OnMouseMove() {}
  virtual bool Valid() { return true; }

 protected:
  // Class and style of a window the control creates itself.
  virtual std::string_view native_class() const { return "Static"; }
  virtual platform::Style create_style() const { return 0x50000000; }
  // Runs once the window is bound (controls that keep extra state set it up here).
  virtual void on_bound() {}
};

}  // namespace ui
