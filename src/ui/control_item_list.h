#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/value.h"
#include "ui/big_array.h"
#include "ui/control_window.h"

namespace ui {

// The messages a list-like control answers: combo boxes and list boxes differ only in their numbers.
struct ItemListMessages {
  platform::MessageId add, insert, remove, reset, count, get_current, set_current;
};

// The item list with cargo that combo boxes and list boxes share: two item stores at the same
// positions, the texts (`aItems`, trailing blanks removed) and a value the caller attaches to each
// (`bItems`). The control's own selection is the current item; positions are 1-based, 0 is none.
// Reading the current text or cargo with no selection answers empty.
class ItemListControl : public WControlWindow {
 public:
  explicit ItemListControl(ItemListMessages messages) : m_messages(messages) {}

  // Adds a text with its cargo. Without a position (0) the control places it (sorted or at the end)
  // and the stores follow the place it reports; with one, it goes to that position. Answers the
  // control's 0-based index, or -1 when the control refused it.
  std::int64_t Add(std::string_view text, std::size_t position = 0, data::Value cargo = {});

  std::size_t Position() const;
  // Setting past the end leaves the selection as it was.
  void _Position(std::size_t position) const;
  std::size_t RecNo() const { return Position(); }
  std::size_t RecCount() const { return aItems.BLEN(); }
  std::size_t LastRec() const { return RecCount(); }
  std::size_t Len() const { return RecCount(); }
  std::string CurItem() const;
  // Selects the first item whose text begins with `text`.
  void _CurItem(std::string_view text) const { Seek(text); }
  data::Value CurCargo() const;
  void _CurCargo(const data::Value& cargo) const { SeekCargo(cargo); }
  void GoTop() const { _Position(1); }
  void GoBottom() const { _Position(RecCount()); }
  void GoTo(std::size_t position) const { _Position(position); }
  // Moves the selection by `count` items, stopping at the first and the last.
  void Skip(std::int64_t count = 1) const;
  // Selects the first item whose text begins with `text` (the prefix rule); false when none does.
  bool Seek(std::string_view text) const;
  // Selects the first item with that cargo; false when none has it.
  bool SeekCargo(const data::Value& cargo) const;
  // Removes the current item.
  void Delete();
  void CLEAR();
  void DESELECT() const;
  data::ValueList GET_CARGOS() const;

  BIG_ARRAY aItems;
  BIG_ARRAY bItems;

 protected:
  void on_bound() override;
  const ItemListMessages& messages() const { return m_messages; }

 private:
  ItemListMessages m_messages;
};

}  // namespace ui
