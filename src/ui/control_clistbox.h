#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "ui/control_item_list.h"

namespace ui {

// A list box of a dialog with its item list and cargo, and the selection of several items in a
// list box that allows it (LBS_MULTIPLESEL or LBS_EXTENDEDSEL). Positions are 1-based.
class CListBox : public ItemListControl {
 public:
  CListBox()
      : ItemListControl({platform::LB_ADDSTRING, platform::LB_INSERTSTRING, platform::LB_DELETESTRING,
                         platform::LB_RESETCONTENT, platform::LB_GETCOUNT, platform::LB_GETCURSEL,
                         platform::LB_SETCURSEL}) {}

  // Whether the item is selected (in a single-selection list: whether it is the current one).
  bool ISSELECTED(std::size_t position) const;
  void SELECTITEM(std::size_t position, bool selected = true) const;
  // Selects (or deselects) the first item with that cargo; false when none has it.
  bool SELECTCARGO(const data::Value& cargo, bool selected = true) const;
  // The cargos of the selected items, in list order.
  data::ValueList GetCargos() const;
  // {position, cargo} of each selected item.
  std::vector<std::pair<std::size_t, data::Value>> GetBCargos() const;
  // The text of the first item with that cargo; "" when none has it.
  std::string GetInfoCargo(const data::Value& cargo) const;
  // The position of the first item with that cargo; 0 when none has it.
  std::size_t POS_CARGO(const data::Value& cargo) const { return bItems.BSEEK(cargo); }
  // The cargo of the item at `position`; empty outside the list.
  data::Value GET_POSCARGO(std::size_t position) const { return bItems.GET(position); }
  // Replaces the text of the item at `position`, keeping its cargo and its place.
  void SET_TEXT(std::size_t position, std::string_view text);

 protected:
  std::string_view native_class() const override { return "ListBox"; }
  platform::Style create_style() const override { return 0x50A10001; }

 private:
  bool is_multiple() const;
};

}  // namespace ui
