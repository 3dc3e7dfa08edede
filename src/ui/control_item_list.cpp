#include "ui/control_item_list.h"

#include <algorithm>

#include "data/text.h"

namespace ui {

using namespace platform;

void ItemListControl::on_bound() {
  // A bound resource item starts empty; whatever it held is not in the stores.
  aItems.ZAP();
  bItems.ZAP();
  if (hWnd()) ws().SENDMESSAGE(hWnd(), m_messages.reset);
}

std::int64_t ItemListControl::Add(std::string_view text, std::size_t position, data::Value cargo) {
  if (!hWnd()) return -1;
  const std::string trimmed = data::RTRIM(text);
  std::int64_t index = -1;
  if (position == 0 || position > aItems.BLEN() + 1) {
    index = ws().SENDMESSAGE(hWnd(), m_messages.add, 0, Param::text(trimmed));
  } else {
    index = ws().SENDMESSAGE(hWnd(), m_messages.insert, static_cast<std::int64_t>(position - 1), Param::text(trimmed));
  }
  if (index < 0) return index;
  const auto at = static_cast<std::size_t>(index) + 1;
  aItems.BAINS(at, data::Value(trimmed));
  bItems.BAINS(at, std::move(cargo));
  return index;
}

std::size_t ItemListControl::Position() const {
  if (!hWnd()) return 0;
  const std::int64_t current = ws().SENDMESSAGE(hWnd(), m_messages.get_current);
  return current < 0 ? 0 : static_cast<std::size_t>(current) + 1;
}

void ItemListControl::_Position(std::size_t position) const {
  if (!hWnd() || position == 0 || position > RecCount()) return;
  ws().SENDMESSAGE(hWnd(), m_messages.set_current, static_cast<std::int64_t>(position - 1));
}

std::string ItemListControl::CurItem() const {
  const std::size_t position = Position();
  return position ? aItems.GET(position).text() : std::string();
}

data::Value ItemListControl::CurCargo() const {
  const std::size_t position = Position();
  return position ? bItems.GET(position) : data::Value();
}

void ItemListControl::Skip(std::int64_t count) const {
  if (RecCount() == 0) return;
  const auto target = static_cast<std::int64_t>(Position()) + count;
  _Position(static_cast<std::size_t>(std::clamp<std::int64_t>(target, 1, static_cast<std::int64_t>(RecCount()))));
}

bool ItemListControl::Seek(std::string_view text) const {
  for (std::size_t position = 1; position <= RecCount(); ++position) {
    if (data::xbase_equals(aItems.GET(position).text(), text)) {
      _Position(position);
      return true;
    }
  }
  return false;
}

bool ItemListControl::SeekCargo(const data::Value& cargo) const {
  const std::size_t position = bItems.BSEEK(cargo);
  if (position) _Position(position);
  return position != 0;
}

void ItemListControl::Delete() {
  const std::size_t position = Position();
  if (!position) return;
  ws().SENDMESSAGE(hWnd(), m_messages.remove, static_cast<std::int64_t>(position - 1));
  aItems.BADEL(position);
  bItems.BADEL(position);
}

void ItemListControl::CLEAR() {
  if (hWnd()) ws().SENDMESSAGE(hWnd(), m_messages.reset);
  aItems.ZAP();
  bItems.ZAP();
}

void ItemListControl::DESELECT() const {
  if (hWnd()) ws().SENDMESSAGE(hWnd(), m_messages.set_current, -1);
}

data::ValueList ItemListControl::GET_CARGOS() const {
  data::ValueList cargos;
  cargos.reserve(bItems.BLEN());
  for (std::size_t position = 1; position <= bItems.BLEN(); ++position) cargos.push_back(bItems.GET(position));
  return cargos;
}

}  // namespace ui
