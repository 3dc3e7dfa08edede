#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "shell/menu_objects.h"

namespace shell {

// The menu construction functions. They build the native menus as they go and keep their place in
// the process-wide globals: OCURMENU (the menu being filled, and once a bar is finished the bar in
// force), OSTACK (the enclosing menus) and SNID (the last automatic identifier). One bar at a time.

// Starts a menu bar for `owner` (0: none) and makes it OCURMENU. A native menu that cannot be made
// shows "Error in CreateMenu" and the bar goes on with handle 0.
std::unique_ptr<WMenu> _MENUBEGIN(ui::platform::WindowSystem& windows, Handle owner);

// Appends a popup to `parent` (OCURMENU when null), pushes OCURMENU and makes the popup current.
WPopup* _POPUPBEGIN(std::string_view caption, std::string_view help = "", WMenuBase* parent = nullptr);

// The arguments of _MENUAPPEND after the caption.
struct MenuAppend {
  std::optional<std::uint32_t> id;  // None: the next automatic identifier (SNID + 1).
  WMenuItem::Action action;
  std::string help;
  std::string accelerator;
  bool is_checked = false;
  bool is_disabled = false;
  bool is_grayed = false;
};

// Appends an item to `parent` (OCURMENU when null); an empty caption appends a separator.
WMenuItem* _MENUAPPEND(std::string_view caption, MenuAppend item = {}, WMenuBase* parent = nullptr);

// Pops OSTACK into OCURMENU.
void _POPUPEND();

// Finishes `bar`: when it has an owner window, the window's present menu is destroyed and the bar
// attached; OCURMENU stays on the bar, now the bar in force.
void _MENUEND(WMenu& bar);

// The menu OCURMENU names; nullptr when none.
WMenuBase* current_menu();

// The next automatic identifier: SNID + 1, recorded in SNID.
std::uint32_t next_automatic_id();

}  // namespace shell
