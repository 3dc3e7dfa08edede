#include <gtest/gtest.h>

#include "window_system_fixture.h"

namespace ui::platform {
namespace {

using Menus = WindowSystemTest;

TEST_F(Menus, BarsPopupsItemsFlagsAndLookup) {
  MenuTable& menus = ws.menus();
  const Handle bar = menus.CREATE_MENUE();
  const Handle file = menus.CREATEPOPUPMENU();
  const Handle tools = menus.CREATEPOPUPMENU();
  ASSERT_TRUE(menus.APPEND_MENU(file, MF_STRING, 2984, "Centro de &Notificaciones"));
  ASSERT_TRUE(menus.APPEND_MENU(file, MF_SEPARATOR, 0, ""));
  ASSERT_TRUE(menus.APPEND_MENU(file, MF_STRING, 2999, "&Salir"));
  ASSERT_TRUE(menus.APPEND_MENU(tools, MF_STRING | MF_GRAYED, 3100, "ADS Config."));
  ASSERT_TRUE(menus.APPEND_MENU(bar, MF_POPUP, file, "&Archivo"));
  ASSERT_TRUE(menus.APPEND_MENU(bar, MF_POPUP, tools, "&Herramientas"));
  EXPECT_FALSE(menus.APPEND_MENU(bar, MF_POPUP, bar, "itself"));
  EXPECT_FALSE(menus.APPEND_MENU(0x7FFFFFF0, MF_STRING, 1, "x"));

  EXPECT_EQ(menus.GETMITEMCOUNT(bar), 2);
  EXPECT_EQ(menus.GETSUB_MENU(bar, 1), tools);
  EXPECT_EQ(menus.GETSUB_MENU(bar, 5), 0u);
  EXPECT_EQ(menus.GETMENU_STRING(bar, 2984, MF_BYCOMMAND), "Centro de &Notificaciones");  // Found in a popup.
  EXPECT_EQ(menus.GETMENU_STRING(bar, 0, MF_BYPOSITION), "&Archivo");
  ASSERT_TRUE(menus.find_command(bar, 3100));
  EXPECT_FALSE(menus.find_command(bar, 4000));

  EXPECT_EQ(menus.ENABLE_MENUITEM(bar, 3100, MF_ENABLED), static_cast<int>(MF_GRAYED));
  EXPECT_EQ(menus.GET_MENUSTATE(bar, 3100, MF_BYCOMMAND), 0);
  EXPECT_EQ(menus.CHECK_MENU(file, 2999, MF_CHECKED), 0);
  EXPECT_EQ(menus.GET_MENUSTATE(file, 2999, MF_BYCOMMAND), static_cast<int>(MF_CHECKED));
  EXPECT_EQ(menus.GET_MENUSTATE(bar, 0, MF_BYPOSITION) >> 8, 3);  // A popup reports its item count.
  EXPECT_EQ(menus.ENABLE_MENUITEM(bar, 4000, MF_GRAYED), -1);
  EXPECT_TRUE(menus.MODIFY_MENU(file, 2999, MF_STRING, 2998, "Cerrar"));
  EXPECT_EQ(menus.GETMENU_STRING(file, 2998, MF_BYCOMMAND), "Cerrar");
  EXPECT_TRUE(menus.REMOVE_MENU(file, 1, MF_BYPOSITION));
  EXPECT_EQ(menus.GETMITEMCOUNT(file), 2);
  EXPECT_TRUE(menus.HILI_MENITEM(bar, 0, MF_HILITE));

  const Handle frame = make_window();
  EXPECT_TRUE(ws.SET_MENU(frame, bar));
  EXPECT_EQ(ws.GET_MENU(frame), bar);
  EXPECT_TRUE(menus.DESTR_MENU(bar));
  EXPECT_EQ(menus.GETMITEMCOUNT(file), -1);  // Sub-menus go with their bar.
  EXPECT_FALSE(menus.DESTR_MENU(bar));
}

}  // namespace
}  // namespace ui::platform
