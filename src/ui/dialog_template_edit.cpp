#include "ui/dialog_template_edit.h"

#include "ui/dialog_traduct.h"
#include "ui/platform/text_case.h"

namespace ui {

using namespace platform;

EditedTemplate edit_dialog_template(const DialogTemplate& source, const TemplateEditOptions& options) {
  EditedTemplate edited{source, {}, {}};
  DialogTemplate& dialog = edited.dialog;
  dialog.style = options.is_resizable ? kDialogStyle : kDialogStyle & ~WS_THICKFRAME;
  if (options.font_face && !options.font_face->empty()) dialog.font.face = *options.font_face;
  switch (options.position_mode) {
    case 1:
      dialog.x = options.desktop_width - dialog.width;
      dialog.y = 0;
      break;
    case 2:
      dialog.x = 400 - dialog.width / 2;
      dialog.y = 200 - dialog.height / 2;
      break;
    default:
      dialog.x = 0;
      dialog.y = 0;
      break;
  }
  for (DialogItem& item : dialog.items) {
    item.text = CHECK_TRADUCT(std::string_view(item.text), options.traduct);
    if (equals_ignoring_case(item.class_name, "Button")) {
      const Style type = item.style & BS_TYPEMASK;
      if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) continue;
      if (options.button_style != 0) {
        item.style = (item.style & ~BS_TYPEMASK) | BS_OWNERDRAW | WS_TABSTOP;
      } else {
        item.style |= BS_MULTILINE;
      }
      edited.special_buttons.push_back(item.id);
    } else if (equals_ignoring_case(item.class_name, "Edit") && options.collects_date_fields) {
      edited.date_fields.push_back(item.id);
    }
  }
  return edited;
}

}  // namespace ui
