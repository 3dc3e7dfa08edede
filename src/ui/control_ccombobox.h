#pragma once

#include "ui/control_item_list.h"

namespace ui {

// A combo box of a dialog with its item list and cargo.
class CCOMBOBOX : public ItemListControl {
 public:
  CCOMBOBOX()
      : ItemListControl({platform::CB_ADDSTRING, platform::CB_INSERTSTRING, platform::CB_DELETESTRING,
                         platform::CB_RESETCONTENT, platform::CB_GETCOUNT, platform::CB_GETCURSEL,
                         platform::CB_SETCURSEL}) {}

 protected:
  std::string_view native_class() const override { return "ComboBox"; }
  platform::Style create_style() const override { return 0x50010003; }
};

}  // namespace ui
