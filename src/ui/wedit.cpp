#include "ui/wedit.h"

#include <algorithm>

#include "ui/lr_wdialog.h"

namespace ui {

using namespace platform;

bool WEdit::CanUndo() const { return hWnd() && ws().SENDMESSAGE(hWnd(), EM_CANUNDO) != 0; }

void WEdit::Undo() const {
  if (hWnd()) ws().SENDMESSAGE(hWnd(), EM_UNDO);
}

void WEdit::Copy() const {
  if (hWnd()) oParent()->host().clipboard_text = CurItem();
}

void WEdit::Cut() const {
  if (!hWnd()) return;
  Copy();
  _CurItem("");
}

void WEdit::Paste() const {
  if (hWnd()) _CurItem(oParent()->host().clipboard_text);
}

int WEdit::Len() const { return static_cast<int>(Text().size()); }

bool WEdit::Modified() const { return hWnd() && ws().SENDMESSAGE(hWnd(), EM_GETMODIFY) != 0; }

void WEdit::_Modified(bool modified) const {
  if (hWnd()) ws().SENDMESSAGE(hWnd(), EM_SETMODIFY, modified ? 1 : 0);
}

int WEdit::Position() const {
  if (!hWnd()) return 0;
  return static_cast<int>(C4W_HIWORD(ws().SENDMESSAGE(hWnd(), EM_GETSEL))) + 1;
}

void WEdit::_Position(int position) const {
  const int at = std::clamp(position - 1, 0, Len());
  if (hWnd()) ws().SENDMESSAGE(hWnd(), EM_SETSEL, at, at);
}

std::array<int, 2> WEdit::Selection() const {
  if (!hWnd()) return {0, 0};
  const std::int64_t selection = ws().SENDMESSAGE(hWnd(), EM_GETSEL);
  return {static_cast<int>(C4W_LOWORD(selection)) + 1, static_cast<int>(C4W_HIWORD(selection)) + 1};
}

void WEdit::_Selection(std::array<int, 2> selection) const {
  if (!hWnd()) return;
  if (selection[0] == 0 && selection[1] == 0) {
    ws().SENDMESSAGE(hWnd(), EM_SETSEL, 0, -1);
    return;
  }
  ws().SENDMESSAGE(hWnd(), EM_SETSEL, selection[0] - 1, selection[1] - 1);
}

std::string WEdit::CurItem() const {
  const std::array<int, 2> selection = Selection();
  const std::string text = Text();
  const auto start = static_cast<std::size_t>(std::clamp(selection[0] - 1, 0, static_cast<int>(text.size())));
  const auto end = static_cast<std::size_t>(std::clamp(selection[1] - 1, 0, static_cast<int>(text.size())));
  return end > start ? text.substr(start, end - start) : std::string();
}

void WEdit::_CurItem(std::string_view text) const {
  if (hWnd()) ws().SENDMESSAGE(hWnd(), EM_REPLACESEL, 1, Param::text(std::string(text)));
}

}  // namespace ui
