#include <gtest/gtest.h>

#include "ui/platform/resource_script.h"
#include "window_system_fixture.h"

namespace ui::platform {
namespace {

TEST(ResourceScript, ReadsDialogsWithDefinesStylesAndFonts) {
  auto script = ResourceScript::load(std::string(QV_SOURCE_DIR) + "/tests/ui/platform/data/test_dialogs.rc");
  ASSERT_TRUE(script) << script.error().text;
  const DialogTemplate* dialog = script->dialog("Mail_Test");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->caption, "Buzón programable");
  EXPECT_EQ(dialog->font.face, "MS Shell Dlg");
  EXPECT_EQ(dialog->font.point_size, 8);
  EXPECT_EQ(dialog->font.weight, 400);
  EXPECT_EQ(dialog->style, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ((std::vector<int>{dialog->x, dialog->y, dialog->width, dialog->height}), (std::vector<int>{20, 10, 200, 120}));
  ASSERT_EQ(dialog->items.size(), 11u);
  struct Expected {
    int id;
    const char* class_name;
    Style style;
  };
  constexpr Style kChild = WS_CHILD | WS_VISIBLE;
  const Expected expected[] = {
      {-1, "Static", kChild | SS_LEFT | WS_GROUP},
      {501, "Edit", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
      {502, "Edit", kChild | WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL},
      {1001, "Button", kChild | BS_AUTOCHECKBOX | WS_TABSTOP},
      {503, "ComboBox", kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
      {1010, "Button", kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP},
      {1011, "Button", kChild | BS_AUTORADIOBUTTON},
      {-1, "Button", kChild | BS_GROUPBOX},
      {600, "ListBox", WS_CHILD | LBS_NOTIFY | WS_BORDER | WS_TABSTOP},
      {1, "Button", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP},
      {2, "Button", kChild | BS_PUSHBUTTON | WS_TABSTOP},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(dialog->items[i].id, expected[i].id);
    EXPECT_EQ(dialog->items[i].class_name, expected[i].class_name);
    EXPECT_EQ(dialog->items[i].style, expected[i].style);
  }
  EXPECT_EQ(dialog->items[9].text, "Aceptar");
  const DialogTemplate* empty = script->dialog("EMPTY_BOX");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->style, WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION);
  EXPECT_TRUE(empty->items.empty());
  EXPECT_EQ(script->dialog("NOPE"), nullptr);
  ASSERT_NE(script->string(208), nullptr);
  EXPECT_EQ(*script->string(208), "QUARVELT");
}

TEST(ResourceScript, SyntaxErrorsNameTheFileAndLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"D DIALOGEX 0, 0, 10\nBEGIN\nEND\n", "x.rc:2: expected ',' in the rectangle"},
      {"D DIALOGEX 0, 0, 10, 10\nSTYLE WS_BOGUS\nBEGIN\nEND\n", "x.rc:2: unknown identifier 'WS_BOGUS'"},
      {"D DIALOGEX 0, 0, 10, 10\nBEGIN\n  FANCYBUTTON \"x\", 1, 0, 0, 1, 1\nEND\n", "x.rc:3: unknown dialog control 'FANCYBUTTON'"},
      {"D DIALOGEX 0, 0, 10, 10\nBEGIN\n  LTEXT \"open, 1, 0, 0, 1, 1\nEND\n", "x.rc:3: text without its closing quote"},
      {"D DIALOGEX 0, 0, 10, 10\nBEGIN\n  EDITTEXT 5, 0, 0, 1, 1\n", "x.rc:1: dialog 'D' without END"},
      {"/* never closed\nD DIALOGEX 0, 0, 1, 1\n", "x.rc:1: comment without its closing */"},
      {"STRINGTABLE\nBEGIN\n  1 NOTTEXT\nEND\n", "x.rc:3: expected the text of string 1"},
      {"#include \"missing.h\"\n", "x.rc:1: cannot open included file \"missing.h\""},
      {"D DIALOGEX 0, 0, 1, 1\nBEGIN\n  CONTROL \"\", 1, \"Button\", 0, 0, 0, 1, 1 $\nEND\n", "x.rc:3: unexpected character '$'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto script = ResourceScript::parse(c.text, "x.rc");
    ASSERT_FALSE(script);
    EXPECT_EQ(script.error().text, c.error);
  }
  EXPECT_FALSE(ResourceScript::load("/nonexistent/none.rc"));
}

TEST(ResourceScript, SkipsResourcesItDoesNotKeep) {
  const char* text =
      "MDIFRAMEICON ICON \"quarvelt.ico\"\n"
      "IDR_MENU MENU\nBEGIN\n  POPUP \"&Archivo\"\n  BEGIN\n    MENUITEM \"Salir\", 1\n  END\nEND\n"
      "D DIALOG 0, 0, 10, 10\nBEGIN\n  CONTROL \"x\", 7, BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP, 1, 2, 3, 4\nEND\n";
  auto script = ResourceScript::parse(text, "x.rc");
  ASSERT_TRUE(script) << script.error().text;
  ASSERT_NE(script->dialog("D"), nullptr);
  EXPECT_EQ(script->dialog("D")->items.at(0).class_name, "Button");
}

class StringResources : public WindowSystemTest {};

TEST_F(StringResources, LoadStringCutsAt1023AndLoadParamStringFormats) {
  auto script = ResourceScript::parse("STRINGTABLE\nBEGIN\n 1 \"" + std::string(2000, 'x') +
                                          "\"\n 212 \"No se encontró el diálogo %s\"\n 213 \"Registro %5d de %s%%\"\nEND\n",
                                      "strings.rc");
  ASSERT_TRUE(script) << script.error().text;
  ws.add_resources(*script);
  EXPECT_EQ(ws.LOADSTRING(1), std::string(1023, 'x'));
  EXPECT_EQ(ws.LOADSTRING(2), "");
  EXPECT_EQ(ws.LOADPARAMSTRING(212, data::Value("MAIL_P")), "No se encontró el diálogo MAIL_P");
  EXPECT_EQ(ws.LOADPARAMSTRING(213, data::Value(42)), "Registro    42 de %");
  EXPECT_EQ(ws.LOADPARAMSTRING(999, data::Value("x")), "String at ID 999 could not be found!");
}

}  // namespace
}  // namespace ui::platform
