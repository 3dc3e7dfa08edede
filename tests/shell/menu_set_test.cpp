#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/frame_messages.h"
#include "shell/menu_construction.h"
#include "shell/menu_set.h"
#include "startup/settings.h"
#include "frame_test_support.h"

namespace shell_test {
namespace {

// The captions of a native menu, popups and items alike, in order.
std::vector<std::string> captions(const WindowSystem& ws, Handle menu) {
  std::vector<std::string> result;
  for (const MenuItem& item : ws.menus().items(menu)) result.push_back(item.text);
  return result;
}

std::vector<std::string> popup_captions(const WindowSystem& ws, Handle bar, int position) {
  return captions(ws, ws.menus().GETSUB_MENU(bar, position));
}

using Captions = std::vector<std::string>;

TEST_F(FrameTest, MenuBarOfTheMailServer) {
  const Handle bar = ws.GET_MENU(frame().hwnd);
  ASSERT_NE(bar, 0u);
  ASSERT_TRUE(frame().MENU);
  EXPECT_EQ(frame().MENU->hMenu, bar);
  EXPECT_EQ(captions(ws, bar), (Captions{"Editar", "Controles", "Ventanas", "Acerca de"}));
  EXPECT_EQ(popup_captions(ws, bar, 0), (Captions{"No hay operaciones asociadas"}));
  EXPECT_EQ(popup_captions(ws, bar, 1), (Captions{"Servidor e-Mails", "Casilleros Programables", "Log Envío de emails"}));
  EXPECT_EQ(popup_captions(ws, bar, 2), (Captions{"Cascada", "Comparativo", "Acomodar Iconos", "Cerrar Todos"}));
  EXPECT_EQ(popup_captions(ws, bar, 3), (Captions{"Acerca &de", "ADS Config."}));

  // Automatic identifiers start at 30001, in construction order.
  const shell::WMenuItem* inert = frame().MENU->GetItem(30001);
  ASSERT_NE(inert, nullptr);
  EXPECT_EQ(inert->Text(), "No hay operaciones asociadas");
  EXPECT_EQ(frame().MENU->GetItem(30002)->Text(), "Cascada");
  EXPECT_EQ(frame().MENU->GetItem(30006)->Text(), "Acerca &de");
  EXPECT_EQ(frame().MENU->GetItem(30007)->Text(), "ADS Config.");
  EXPECT_EQ(frame().MENU->GetItem(6282)->Text(), "Log Envío de emails");
  EXPECT_EQ(frame().MENU->GetItem(4688), nullptr);

  const shell::WPopup* controls = frame().MENU->GetPopup(ws.menus().GETSUB_MENU(bar, 1));
  ASSERT_NE(controls, nullptr);
  EXPECT_EQ(controls->cText, "Controles");
  EXPECT_EQ(controls->oMenu, frame().MENU.get());

  // Every item of a module without login is enabled and unchecked.
  const shell::WMenuItem* center = frame().MENU->GetItem(2984);
  EXPECT_TRUE(center->Enabled());
  EXPECT_FALSE(center->Checked());
  EXPECT_FALSE(center->Grayed());
  EXPECT_EQ(startup::settings().XCONSTRUCTINGMENU, 0);
}

TEST_F(FrameTest, MenuItemStateLivesInTheNativeMenu) {
  shell::WMenuItem* item = frame().MENU->GetItem(2984);
  const Handle popup = item->oMenu->hMenu;
  item->set_Checked(true);
  EXPECT_TRUE(item->Checked());
  EXPECT_TRUE(item->Enabled());  // The redraw toggle leaves the enabled state as it was.
  EXPECT_NE(ws.menus().GET_MENUSTATE(popup, 2984, MF_BYCOMMAND) & MF_CHECKED, 0);
  item->set_Disabled(true);
  EXPECT_FALSE(item->Enabled());
  item->set_Grayed(true);
  EXPECT_TRUE(item->Grayed());
  item->set_Hilite(true);
  EXPECT_TRUE(item->Hilite());
  EXPECT_TRUE(item->Disabled());
  item->set_Enabled(true);
  EXPECT_TRUE(item->Enabled());
}

TEST_F(FrameTest, MenuRebuildsForTheMailboxesKeyAndBack) {
  const Handle first_bar = ws.GET_MENU(frame().hwnd);
  frame().MenuSet(4687, nullptr, data::Value("HOTEL1"));
  const Handle bar = ws.GET_MENU(frame().hwnd);
  EXPECT_NE(bar, first_bar);
  EXPECT_FALSE(ws.menus().is_menu(first_bar));  // The old bar is destroyed when the new one is attached.
  EXPECT_EQ(popup_captions(ws, bar, 0), (Captions{"Agregar", "Modificar", "Borrar"}));
  EXPECT_EQ(frame().MENU->GetItem(4688)->Text(), "Agregar");
  EXPECT_EQ(frame().MENU->GetItem(4690)->Text(), "Borrar");
  EXPECT_FALSE(frame().No_Neg);
  EXPECT_EQ(frame().ACT_NEG.text(), "HOTEL1");
  // Automatic identifiers keep counting up over rebuilds.
  EXPECT_EQ(frame().MENU->GetItem(30008)->Text(), "Cascada");

  frame().MenuSet(0, nullptr, data::Value());
  EXPECT_EQ(popup_captions(ws, ws.GET_MENU(frame().hwnd), 0), (Captions{"No hay operaciones asociadas"}));
  EXPECT_TRUE(frame().No_Neg);
}

TEST_F(FrameTest, ItemsWithoutActionDoNothing) {
  pump();
  const std::size_t boxes = backend.boxes().size();
  ws.POSTMESSAGE(frame().hwnd, WM_COMMAND, 30002, 0);  // "Cascada".
  pump();
  EXPECT_EQ(backend.boxes().size(), boxes);
  ws.POSTMESSAGE(frame().hwnd, WM_COMMAND, 30007, 0);  // "ADS Config." without a server.
  pump();
  ASSERT_EQ(backend.boxes().size(), boxes + 1);
  EXPECT_EQ(backend.boxes().back().text, "Servidor Advantage no disponible...");
}

}  // namespace
}  // namespace shell_test
