#include "ui/control_clistbox.h"

#include "data/text.h"

namespace ui {

using namespace platform;

bool CListBox::is_multiple() const {
  const auto style = static_cast<Style>(ws().GETWINDOWLONG(hWnd(), GWL_STYLE));
  return style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL);
}

bool CListBox::ISSELECTED(std::size_t position) const {
  if (!hWnd() || position == 0 || position > RecCount()) return false;
  if (!is_multiple()) return Position() == position;
  return ws().SENDMESSAGE(hWnd(), LB_GETSEL, static_cast<std::int64_t>(position - 1)) > 0;
}

void CListBox::SELECTITEM(std::size_t position, bool selected) const {
  if (!hWnd() || position == 0 || position > RecCount()) return;
  if (is_multiple()) {
    ws().SENDMESSAGE(hWnd(), LB_SETSEL, selected ? 1 : 0, static_cast<std::int64_t>(position - 1));
  } else if (selected) {
    _Position(position);
  } else if (Position() == position) {
    DESELECT();
  }
}

bool CListBox::SELECTCARGO(const data::Value& cargo, bool selected) const {
  const std::size_t position = POS_CARGO(cargo);
  if (position) SELECTITEM(position, selected);
  return position != 0;
}

data::ValueList CListBox::GetCargos() const {
  data::ValueList cargos;
  for (std::size_t position = 1; position <= RecCount(); ++position) {
    if (ISSELECTED(position)) cargos.push_back(bItems.GET(position));
  }
  return cargos;
}

std::vector<std::pair<std::size_t, data::Value>> CListBox::GetBCargos() const {
  std::vector<std::pair<std::size_t, data::Value>> cargos;
  for (std::size_t position = 1; position <= RecCount(); ++position) {
    if (ISSELECTED(position)) cargos.emplace_back(position, bItems.GET(position));
  }
  return cargos;
}

std::string CListBox::GetInfoCargo(const data::Value& cargo) const {
  const std::size_t position = POS_CARGO(cargo);
  return position ? aItems.GET(position).text() : std::string();
}

void CListBox::SET_TEXT(std::size_t position, std::string_view text) {
  if (!hWnd() || position == 0 || position > RecCount()) return;
  const std::string trimmed = data::RTRIM(text);
  const bool was_selected = ISSELECTED(position);
  const auto index = static_cast<std::int64_t>(position - 1);
  ws().SENDMESSAGE(hWnd(), LB_DELETESTRING, index);
  ws().SENDMESSAGE(hWnd(), LB_INSERTSTRING, index, Param::text(trimmed));
  aItems.PUT(position, data::Value(trimmed));
  if (was_selected) SELECTITEM(position);
}

}  // namespace ui
