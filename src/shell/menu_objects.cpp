#include "shell/menu_objects.h"

#include <optional>

namespace shell {

using ui::platform::MF_BYPOSITION;
using ui::platform::MF_CHECKED;
using ui::platform::MF_DISABLED;
using ui::platform::MF_GRAYED;
using ui::platform::MF_HILITE;

WMenuBase::~WMenuBase() = default;

WMenuItem* WMenuBase::GetItem(std::uint32_t id) const {
  for (const Child& child : aItems) {
    if (const auto* item = std::get_if<std::unique_ptr<WMenuItem>>(&child)) {
      if ((*item)->nId == id) return item->get();
    } else if (WMenuItem* found = std::get<std::unique_ptr<WPopup>>(child)->GetItem(id)) {
      return found;
    }
  }
  return nullptr;
}

WPopup* WMenuBase::GetPopup(Handle menu) const {
  for (const Child& child : aItems) {
    const auto* popup = std::get_if<std::unique_ptr<WPopup>>(&child);
    if (!popup) continue;
    if ((*popup)->hMenu == menu) return popup->get();
    if (WPopup* found = (*popup)->GetPopup(menu)) return found;
  }
  return nullptr;
}

WMenuItem::WMenuItem(WMenuBase& menu, std::uint32_t id, std::string text, Action action, std::uint32_t flags)
    : oMenu(&menu), Action_(std::move(action)), Flags(flags), cText(std::move(text)), nId(id) {
  Cmd = id;
}

void WMenuItem::run() const {
  if (Action_) Action_();
}

namespace {

// The item's position in its menu: the native menu holds the children in the same order.
std::optional<std::uint32_t> position_of(const WMenuItem& item) {
  const auto& children = item.oMenu->aItems;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const auto* candidate = std::get_if<std::unique_ptr<WMenuItem>>(&children[i]);
    if (candidate && candidate->get() == &item) return static_cast<std::uint32_t>(i);
  }
  return std::nullopt;
}

}  // namespace

bool WMenuItem::has_flag(std::uint32_t flag) const {
  const auto position = position_of(*this);
  if (!position) return false;
  const int state = oMenu->windows().menus().GET_MENUSTATE(oMenu->hMenu, *position, MF_BYPOSITION);
  return state >= 0 && (static_cast<std::uint32_t>(state) & flag) != 0;
}

void WMenuItem::set_flag(std::uint32_t flag, bool on) {
  const auto position = position_of(*this);
  if (!position) return;
  ui::platform::MenuTable& menus = oMenu->windows().menus();
  const int state = menus.GET_MENUSTATE(oMenu->hMenu, *position, MF_BYPOSITION);
  if (state < 0) return;
  const std::uint32_t flags = on ? (static_cast<std::uint32_t>(state) | flag) : (static_cast<std::uint32_t>(state) & ~flag);
  if (flag == MF_CHECKED) {
    menus.CHECK_MENU(oMenu->hMenu, *position, MF_BYPOSITION | flags);
  } else if (flag == MF_HILITE) {
    menus.HILI_MENITEM(oMenu->hMenu, *position, flags);
  } else {
    menus.ENABLE_MENUITEM(oMenu->hMenu, *position, MF_BYPOSITION | flags);
  }
}

void WMenuItem::redraw() {
  const bool was_disabled = Disabled();
  set_flag(MF_DISABLED, !was_disabled);
  set_flag(MF_DISABLED, was_disabled);
}

void WMenuItem::set_Checked(bool on) {
  set_flag(MF_CHECKED, on);
  redraw();
}

void WMenuItem::set_Disabled(bool on) { set_flag(MF_DISABLED, on); }
void WMenuItem::set_Grayed(bool on) { set_flag(MF_GRAYED, on); }

void WMenuItem::set_Hilite(bool on) {
  set_flag(MF_HILITE, on);
  redraw();
}

}  // namespace shell
