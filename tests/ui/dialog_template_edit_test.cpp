#include <gtest/gtest.h>

#include "ui/dialog_template_edit.h"

namespace ui {
namespace {

using namespace platform;

DialogTemplate sample() {
  DialogTemplate dialog;
  dialog.name = "SAMPLE";
  dialog.style = WS_POPUP | WS_THICKFRAME | WS_VISIBLE;
  dialog.x = 30;
  dialog.y = 20;
  dialog.width = 200;
  dialog.height = 100;
  dialog.items = {
      DialogItem{100, "Static", "Nombre:", 0},
      DialogItem{501, "Edit", "", ES_AUTOHSCROLL},
      DialogItem{1, "Button", "Aceptar", BS_DEFPUSHBUTTON},
      DialogItem{2, "BUTTON", "Cancelar", BS_PUSHBUTTON},
      DialogItem{1001, "Button", "Activo", BS_AUTOCHECKBOX},
  };
  return dialog;
}

TEST(DialogTemplateEdit, TheProgramsStyleReplacesTheResources) {
  EXPECT_EQ(edit_dialog_template(sample(), {}).dialog.style, 0x44CE00C2u & ~WS_THICKFRAME);
  TemplateEditOptions resizable;
  resizable.is_resizable = true;
  EXPECT_EQ(edit_dialog_template(sample(), resizable).dialog.style, 0x44CE00C2u);
}

TEST(DialogTemplateEdit, PositionModes) {
  struct Case {
    int mode;
    int x, y;
  };
  const Case cases[] = {
      {0, 0, 0},                   // Top left of the client.
      {1, 600 - 200, 0},           // Right edge of a 600-unit desktop.
      {2, 400 - 100, 200 - 50},    // Centred on (400, 200).
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    TemplateEditOptions options;
    options.position_mode = c.mode;
    options.desktop_width = 600;
    const EditedTemplate edited = edit_dialog_template(sample(), options);
    EXPECT_EQ(edited.dialog.x, c.x);
    EXPECT_EQ(edited.dialog.y, c.y);
  }
}

TEST(DialogTemplateEdit, FontFaceOverrideAndItemTexts) {
  TemplateEditOptions options;
  options.font_face = "Arial";
  options.traduct = {data::Value(data::ValueList{data::Value("Nombre"), data::Value("Name"), data::Value(1)})};
  const EditedTemplate edited = edit_dialog_template(sample(), options);
  EXPECT_EQ(edited.dialog.font.face, "Arial");
  EXPECT_EQ(edited.dialog.items[0].text, "Name:");
  options.font_face = std::string();
  EXPECT_EQ(edit_dialog_template(sample(), options).dialog.font.face, "MS Shell Dlg");  // Blank: no override.
}

TEST(DialogTemplateEdit, PushButtonsBecomeFrameworkDrawnAndEditFieldsGetDateShortcuts) {
  const EditedTemplate drawn = edit_dialog_template(sample(), {});
  EXPECT_EQ(drawn.special_buttons, (std::vector<int>{1, 2}));
  EXPECT_EQ(drawn.dialog.items[2].style & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(drawn.dialog.items[3].style & WS_TABSTOP);
  EXPECT_EQ(drawn.dialog.items[4].style, BS_AUTOCHECKBOX);  // Check boxes are left alone.
  EXPECT_EQ(drawn.date_fields, std::vector<int>{501});

  TemplateEditOptions system_buttons;
  system_buttons.button_style = 0;
  system_buttons.collects_date_fields = false;
  const EditedTemplate plain = edit_dialog_template(sample(), system_buttons);
  EXPECT_EQ(plain.special_buttons, (std::vector<int>{1, 2}));
  EXPECT_EQ(plain.dialog.items[2].style, BS_DEFPUSHBUTTON | BS_MULTILINE);
  EXPECT_TRUE(plain.date_fields.empty());
}

}  // namespace
}  // namespace ui
