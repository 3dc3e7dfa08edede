#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/platform/styles.h"

namespace ui::platform {

// The font a dialog's layout is measured in.
struct DialogFont {
  int point_size = 8;
  int weight = 0;
  bool italic = false;
  std::string face = "MS Shell Dlg";
};

// One control of a dialog template. Coordinates are dialog units.
struct DialogItem {
  int id = 0;
  std::string class_name;  // "Button", "Edit", "Static", "ComboBox", "ListBox", …
  std::string text;
  Style style = 0;
  Style ex_style = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int help_id = 0;
};

// A dialog template as the dialog base edits it before creating the window: read from a
// resource script, changed in memory (style, font, item texts), then handed to
// WDCREATEDIALOGINDIRECT. It stands in for the bytes of the system's extended template,
// which nothing in this program reads. Coordinates are dialog units.
struct DialogTemplate {
  std::string name;  // The resource name, or the number as decimal text.
  std::string caption;
  std::string class_name;  // Empty: the system dialog class "#32770".
  std::string menu;
  Style style = 0;
  Style ex_style = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int help_id = 0;
  DialogFont font;
  std::vector<DialogItem> items;
};

}  // namespace ui::platform
