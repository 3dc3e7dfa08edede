#include "ui/platform/menu_table.h"

#include "ui/platform/styles.h"

namespace ui::platform {

namespace {
constexpr std::uint32_t kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE;
constexpr int kMaxMenuDepth = 32;  // Sub-menus nest no deeper; guards a menu that contains itself.
}  // namespace

MenuTable::MenuTable(std::function<Handle()> allocate_handle, std::function<void(Handle)> on_change)
    : m_allocate_handle(std::move(allocate_handle)), m_on_change(std::move(on_change)) {}

Handle MenuTable::CREATE_MENUE() {
  const Handle menu = m_allocate_handle();
  m_menus.emplace(menu, Menu{});
  return menu;
}

Handle MenuTable::CREATEPOPUPMENU() {
  const Handle menu = m_allocate_handle();
  m_menus.emplace(menu, Menu{true, {}});
  return menu;
}

bool MenuTable::DESTR_MENU(Handle menu) {
  const auto found = m_menus.find(menu);
  if (found == m_menus.end()) return false;
  const std::vector<MenuItem> items = std::move(found->second.items);
  m_menus.erase(found);
  for (const MenuItem& item : items) {
    if (item.flags & MF_POPUP) DESTR_MENU(item.popup);
  }
  return true;
}

bool MenuTable::APPEND_MENU(Handle menu, std::uint32_t flags, std::uint32_t id_or_popup, std::string_view text) {
  const auto found = m_menus.find(menu);
  if (found == m_menus.end()) return false;
  MenuItem item;
  item.flags = flags & ~MF_BYPOSITION;
  if (flags & MF_POPUP) {
    if (!m_menus.contains(id_or_popup) || id_or_popup == menu) return false;
    item.popup = id_or_popup;
  } else if (!(flags & MF_SEPARATOR)) {
    item.id = id_or_popup;
  }
  if (!(flags & MF_SEPARATOR)) item.text = std::string(text);
  found->second.items.push_back(std::move(item));
  changed(menu);
  return true;
}

bool MenuTable::MODIFY_MENU(Handle menu, std::uint32_t item, std::uint32_t flags, std::uint32_t id_or_popup,
                            std::string_view text) {
  const auto place = locate(menu, item, flags);
  if (!place) return false;
  MenuItem* target = item_at(*place);
  target->flags = flags & ~MF_BYPOSITION;
  target->id = (flags & (MF_POPUP | MF_SEPARATOR)) ? 0 : id_or_popup;
  target->popup = (flags & MF_POPUP) ? id_or_popup : 0;
  target->text = (flags & MF_SEPARATOR) ? std::string() : std::string(text);
  changed(place->menu);
  return true;
}

bool MenuTable::REMOVE_MENU(Handle menu, std::uint32_t item, std::uint32_t flags) {
  const auto place = locate(menu, item, flags);
  if (!place) return false;
  auto& items = m_menus.at(place->menu).items;
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(place->index));
  changed(place->menu);
  return true;
}

int MenuTable::ENABLE_MENUITEM(Handle menu, std::uint32_t item, std::uint32_t flags) {
  const auto place = locate(menu, item, flags);
  if (!place) return -1;
  MenuItem* target = item_at(*place);
  const int previous = static_cast<int>(target->flags & (MF_GRAYED | MF_DISABLED));
  target->flags = (target->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  changed(place->menu);
  return previous;
}

int MenuTable::CHECK_MENU(Handle menu, std::uint32_t item, std::uint32_t flags) {
  const auto place = locate(menu, item, flags);
  if (!place) return -1;
  MenuItem* target = item_at(*place);
  const int previous = static_cast<int>(target->flags & MF_CHECKED);
  target->flags = (target->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  changed(place->menu);
  return previous;
}

bool MenuTable::HILI_MENITEM(Handle menu, std::uint32_t position, std::uint32_t flags) {
  const auto place = locate(menu, position, MF_BYPOSITION);
  if (!place) return false;
  MenuItem* target = item_at(*place);
  target->flags = (target->flags & ~MF_HILITE) | (flags & MF_HILITE);
  changed(place->menu);
  return true;
}

int MenuTable::GET_MENUSTATE(Handle menu, std::uint32_t item, std::uint32_t flags) const {
  const auto place = locate(menu, item, flags);
  if (!place) return -1;
  const MenuItem& target = m_menus.at(place->menu).items[place->index];
  if (target.flags & MF_POPUP) {
    const int count = GETMITEMCOUNT(target.popup);
    return static_cast<int>((static_cast<std::uint32_t>(count < 0 ? 0 : count) << 8) |
                            (target.flags & (kStateBits | MF_POPUP | MF_SEPARATOR)));
  }
  return static_cast<int>(target.flags & ~MF_BYPOSITION);
}

std::string MenuTable::GETMENU_STRING(Handle menu, std::uint32_t item, std::uint32_t flags) const {
  const auto place = locate(menu, item, flags);
  return place ? m_menus.at(place->menu).items[place->index].text : std::string();
}

Handle MenuTable::GETSUB_MENU(Handle menu, int position) const {
  const auto found = m_menus.find(menu);
  if (found == m_menus.end() || position < 0 || static_cast<std::size_t>(position) >= found->second.items.size()) {
    return 0;
  }
  return found->second.items[static_cast<std::size_t>(position)].popup;
}

int MenuTable::GETMITEMCOUNT(Handle menu) const {
  const auto found = m_menus.find(menu);
  return found == m_menus.end() ? -1 : static_cast<int>(found->second.items.size());
}

std::optional<MenuItem> MenuTable::find_command(Handle menu, std::uint32_t id) const {
  const auto place = locate(menu, id, MF_BYCOMMAND);
  if (!place) return std::nullopt;
  return m_menus.at(place->menu).items[place->index];
}

std::vector<MenuItem> MenuTable::items(Handle menu) const {
  const auto found = m_menus.find(menu);
  return found == m_menus.end() ? std::vector<MenuItem>{} : found->second.items;
}

std::optional<MenuTable::Place> MenuTable::locate(Handle menu, std::uint32_t item, std::uint32_t flags) const {
  const auto found = m_menus.find(menu);
  if (found == m_menus.end()) return std::nullopt;
  const auto& items = found->second.items;
  if (flags & MF_BYPOSITION) {
    if (item >= items.size()) return std::nullopt;
    return Place{menu, item};
  }
  // By command: this menu first, then depth-first through its popups.
  std::vector<std::pair<Handle, int>> pending{{menu, 0}};
  while (!pending.empty()) {
    const auto [current, depth] = pending.back();
    pending.pop_back();
    const auto menu_found = m_menus.find(current);
    if (menu_found == m_menus.end() || depth > kMaxMenuDepth) continue;
    const auto& list = menu_found->second.items;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (!(list[i].flags & (MF_POPUP | MF_SEPARATOR)) && list[i].id == item) return Place{current, i};
    }
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
      if (it->flags & MF_POPUP) pending.emplace_back(it->popup, depth + 1);
    }
  }
  return std::nullopt;
}

MenuItem* MenuTable::item_at(const Place& place) { return &m_menus.at(place.menu).items[place.index]; }

void MenuTable::changed(Handle menu) {
  if (m_on_change) m_on_change(menu);
}

}  // namespace ui::platform
