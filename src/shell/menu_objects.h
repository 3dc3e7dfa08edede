#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "data/value.h"
#include "ui/platform/window_system.h"

namespace shell {

using ui::platform::Handle;

class WMenuItem;
class WPopup;

// A menu as the program holds it: the native menu of the window system and, in insertion order, the
// objects of its items and popups. A menu owns its children; a child points back at its menu.
class WMenuBase {
 public:
  using Child = std::variant<std::unique_ptr<WMenuItem>, std::unique_ptr<WPopup>>;

  explicit WMenuBase(ui::platform::WindowSystem& windows) : m_windows(&windows) {}
  virtual ~WMenuBase();
  WMenuBase(const WMenuBase&) = delete;
  WMenuBase& operator=(const WMenuBase&) = delete;

  Handle hMenu = 0;
  std::vector<Child> aItems;
  data::Value Cargo;

  virtual bool IsMenuItem() const { return false; }
  // The first item with that identifier, depth first in insertion order; nullptr when none.
  WMenuItem* GetItem(std::uint32_t id) const;
  // The popup whose native menu is `menu`, searched the same way; nullptr when none.
  WPopup* GetPopup(Handle menu) const;

  ui::platform::WindowSystem& windows() const { return *m_windows; }

 private:
  ui::platform::WindowSystem* m_windows;
};

// A menu bar, owned by a window.
class WMenu final : public WMenuBase {
 public:
  using WMenuBase::WMenuBase;
  Handle oWnd = 0;  // The window the bar belongs to.
  std::string ResId;
};

// A popup: its caption, the menu it hangs in and its bitmap (0 = none).
class WPopup final : public WMenuBase {
 public:
  using WMenuBase::WMenuBase;
  std::string oHelp;
  WMenuBase* oMenu = nullptr;
  std::string cText;
  Handle hBmp = 0;
};

// One command of a menu. Its state lives in the native menu and is read and written there.
class WMenuItem {
 public:
  using Action = std::function<void()>;

  WMenuItem(WMenuBase& menu, std::uint32_t id, std::string text, Action action, std::uint32_t flags);

  WMenuBase* oMenu;
  std::string oHelp;
  std::string oAccel;
  data::Value Cargo;
  std::uint32_t Cmd = 0;
  Action Action_;  // The business code's Action; empty for items without one.
  std::uint32_t Flags = 0;
  std::string cText;  // Empty for a separator.
  std::uint32_t nId = 0;
  std::string cBmp;
  Handle hBmp = 0;

  bool IsMenuItem() const { return true; }
  std::uint32_t Id() const { return nId; }
  const std::string& Text() const { return cText; }

  bool Checked() const { return has_flag(kChecked); }
  bool Disabled() const { return has_flag(kDisabled); }
  bool Enabled() const { return !Disabled(); }
  bool Grayed() const { return has_flag(kGrayed); }
  bool Hilite() const { return has_flag(kHilite); }
  // Writing Checked or Hilite also switches the item off and on again, so that it is redrawn.
  void set_Checked(bool on);
  void set_Disabled(bool on);
  void set_Enabled(bool on) { set_Disabled(!on); }
  void set_Grayed(bool on);
  void set_Hilite(bool on);

  // Runs the item's action, if it has one.
  void run() const;

  static constexpr std::uint32_t kGrayed = 1;
  static constexpr std::uint32_t kDisabled = 2;
  static constexpr std::uint32_t kChecked = 8;
  static constexpr std::uint32_t kHilite = 128;

 private:
  bool has_flag(std::uint32_t flag) const;
  void set_flag(std::uint32_t flag, bool on);
  void redraw();
};

}  // namespace shell
