#include "shell/menu_construction.h"

#include <vector>

#include "startup/settings.h"

namespace shell {
namespace {

using ui::platform::MF_POPUP;
using ui::platform::MF_SEPARATOR;
using ui::platform::MF_STRING;

using MenuStack = std::vector<WMenuBase*>;

MenuStack& menu_stack() {
  std::any& stack = startup::settings().OSTACK;
  if (!std::any_cast<MenuStack>(&stack)) stack = MenuStack{};
  return *std::any_cast<MenuStack>(&stack);
}

void set_current(WMenuBase* menu) { startup::settings().OCURMENU = menu; }

void show_error(ui::platform::WindowSystem& windows, std::string_view text) {
  windows.MESSAGE_BOX(text, "", ui::platform::MB_OK);
}

}  // namespace

WMenuBase* current_menu() {
  WMenuBase* const* menu = std::any_cast<WMenuBase*>(&startup::settings().OCURMENU);
  return menu ? *menu : nullptr;
}

std::uint32_t next_automatic_id() { return static_cast<std::uint32_t>(++startup::settings().SNID); }

std::unique_ptr<WMenu> _MENUBEGIN(ui::platform::WindowSystem& windows, Handle owner) {
  auto bar = std::make_unique<WMenu>(windows);
  bar->oWnd = owner;
  bar->hMenu = windows.menus().CREATE_MENUE();
  if (bar->hMenu == 0) show_error(windows, "Error in CreateMenu");
  menu_stack().clear();
  set_current(bar.get());
  return bar;
}

WPopup* _POPUPBEGIN(std::string_view caption, std::string_view help, WMenuBase* parent) {
  if (!parent) parent = current_menu();
  if (!parent) return nullptr;
  ui::platform::WindowSystem& windows = parent->windows();
  auto popup = std::make_unique<WPopup>(windows);
  popup->cText = std::string(caption);
  popup->oHelp = std::string(help);
  popup->oMenu = parent;
  popup->hMenu = windows.menus().CREATEPOPUPMENU();
  if (popup->hMenu == 0) show_error(windows, "Error in CreatePopupMenu");
  // A popup with a bitmap would add MF_BITMAP (4); the program's popups have none.
  windows.menus().APPEND_MENU(parent->hMenu, MF_POPUP, popup->hMenu, caption);
  WPopup* result = popup.get();
  parent->aItems.emplace_back(std::move(popup));
  menu_stack().push_back(current_menu());
  set_current(result);
  return result;
}

WMenuItem* _MENUAPPEND(std::string_view caption, MenuAppend item, WMenuBase* parent) {
  if (!parent) parent = current_menu();
  if (!parent) return nullptr;
  const std::uint32_t id = item.id ? *item.id : next_automatic_id();
  const std::uint32_t state = (item.is_checked ? WMenuItem::kChecked : 0u) +
                              (item.is_disabled ? WMenuItem::kDisabled : 0u) +
                              (item.is_grayed ? WMenuItem::kGrayed : 0u);
  const std::uint32_t flags = caption.empty() ? MF_SEPARATOR : (MF_STRING | state);
  auto object = std::make_unique<WMenuItem>(*parent, id, std::string(caption), std::move(item.action), flags);
  object->oHelp = std::move(item.help);
  object->oAccel = std::move(item.accelerator);
  parent->windows().menus().APPEND_MENU(parent->hMenu, flags, caption.empty() ? 0 : id, caption);
  WMenuItem* result = object.get();
  parent->aItems.emplace_back(std::move(object));
  return result;
}

void _POPUPEND() {
  MenuStack& stack = menu_stack();
  if (stack.empty()) return;
  set_current(stack.back());
  stack.pop_back();
}

void _MENUEND(WMenu& bar) {
  menu_stack().clear();
  set_current(&bar);
  if (bar.oWnd == 0) return;
  ui::platform::WindowSystem& windows = bar.windows();
  const Handle present = windows.GET_MENU(bar.oWnd);
  windows.SET_MENU(bar.oWnd, bar.hMenu);
  if (present != 0 && present != bar.hMenu) windows.menus().DESTR_MENU(present);
}

}  // namespace shell
