#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/platform/message.h"

namespace ui::platform {

// One item of a menu: a command, a popup (sub-menu) or a separator.
struct MenuItem {
  std::uint32_t flags = 0;  // MF_ flags except MF_BYPOSITION.
  std::uint32_t id = 0;     // Command identifier; 0 for popups and separators.
  Handle popup = 0;         // The sub-menu of an MF_POPUP item.
  std::string text;
};

// The menus of the program: menu bars and popups, their items and flags. Operations take
// an item either by command identifier (searched through sub-menus too) or, with
// MF_BYPOSITION, by 0-based position. Unknown menus and items give the failure value.
class MenuTable {
 public:
  // `on_change` is told the handle of every menu whose content or flags changed.
  explicit MenuTable(std::function<Handle()> allocate_handle, std::function<void(Handle)> on_change = {});

  Handle CREATE_MENUE();
  Handle CREATEPOPUPMENU();
  // Destroys the menu and its sub-menus; false for an unknown menu.
  bool DESTR_MENU(Handle menu);
  bool is_menu(Handle menu) const { return m_menus.contains(menu); }

  // `id_or_popup` is the command identifier, or the sub-menu when flags hold MF_POPUP.
  bool APPEND_MENU(Handle menu, std::uint32_t flags, std::uint32_t id_or_popup, std::string_view text);
  bool MODIFY_MENU(Handle menu, std::uint32_t item, std::uint32_t flags, std::uint32_t id_or_popup,
                   std::string_view text);
  bool REMOVE_MENU(Handle menu, std::uint32_t item, std::uint32_t flags);
  // Previous MF_GRAYED | MF_DISABLED bits, or -1 when the item does not exist.
  int ENABLE_MENUITEM(Handle menu, std::uint32_t item, std::uint32_t flags);
  // Previous MF_CHECKED bit, or -1.
  int CHECK_MENU(Handle menu, std::uint32_t item, std::uint32_t flags);
  // Highlights the item at `position`; false when it does not exist.
  bool HILI_MENITEM(Handle menu, std::uint32_t position, std::uint32_t flags);
  // The item's flags (for a popup, its item count in the high byte), or -1.
  int GET_MENUSTATE(Handle menu, std::uint32_t item, std::uint32_t flags) const;
  // The item's text; "" when it has none or does not exist.
  std::string GETMENU_STRING(Handle menu, std::uint32_t item, std::uint32_t flags) const;
  Handle GETSUB_MENU(Handle menu, int position) const;
  // Item count, or -1 for an unknown menu.
  int GETMITEMCOUNT(Handle menu) const;

  // The item with that command identifier in the menu or its sub-menus.
  std::optional<MenuItem> find_command(Handle menu, std::uint32_t id) const;
  // The items of a menu, for back ends; empty for an unknown menu.
  std::vector<MenuItem> items(Handle menu) const;

 private:
  struct Menu {
    bool is_popup = false;
    std::vector<MenuItem> items;
  };
  struct Place {
    Handle menu = 0;
    std::size_t index = 0;
  };
  std::optional<Place> locate(Handle menu, std::uint32_t item, std::uint32_t flags) const;
  MenuItem* item_at(const Place& place);
  void changed(Handle menu);

  std::function<Handle()> m_allocate_handle;
  std::function<void(Handle)> m_on_change;
  std::map<Handle, Menu> m_menus;
};

}  // namespace ui::platform
