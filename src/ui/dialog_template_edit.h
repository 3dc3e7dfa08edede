#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/value.h"
#include "ui/platform/dialog_template.h"

namespace ui {

// The style every dialog of the program is created with, whatever its resource says: a child of the
// frame's client with caption, system menu, sizing frame and minimise box.
constexpr platform::Style kDialogStyle = 0x44CE00C2;
constexpr platform::Style BS_MULTILINE = 0x2000;

// Where the dialog is placed and how it looks, taken from the settings when the dialog is built.
struct TemplateEditOptions {
  bool is_resizable = false;  // Keeps the sizing frame.
  int position_mode = 0;      // 0 at 0, 0; 1 at the right edge of the desktop, top 0; 2 centred on (400, 200).
  int desktop_width = 0;      // In the dialog's horizontal units; used by mode 1.
  std::optional<std::string> font_face;  // XGLOBAL_FONT_NAME: every dialog uses that face.
  data::ValueList traduct;               // XTRADUCT, applied to every item text.
  int button_style = 3;                  // XBUTTON_STYLE; 0 keeps the system's push buttons.
  bool collects_date_fields = true;      // False when XSEL_DATE says "NO".
};

// A template edited for creation, with what the dialog base records on the way.
struct EditedTemplate {
  platform::DialogTemplate dialog;
  std::vector<int> special_buttons;  // Push buttons the framework draws (or that only got BS_MULTILINE).
  std::vector<int> date_fields;      // Edit fields that get the date shortcuts.
};

// Edits a copy of a resource template: the program's own dialog style (the resource's is not kept),
// the font face override, the text replacements, the position, the push buttons and the edit fields.
EditedTemplate edit_dialog_template(const platform::DialogTemplate& source, const TemplateEditOptions& options);

}  // namespace ui
