#pragma once

#include <array>
#include <string>
#include <string_view>

#include "ui/control_window.h"

namespace ui {

// A one-line edit field of a dialog. Positions are 1-based character positions, as the business
// code counts them; a selection {start, end} covers the characters start to end - 1.
class WEdit : public WControlWindow {
 public:
  using WControlWindow::WControlWindow;

  bool CanUndo() const;
  void Undo() const;
  // Clipboard operations on the dialog host's clipboard text.
  void Copy() const;
  void Cut() const;
  void Paste() const;
  int Len() const;
  int TextLength() const { return Len(); }
  bool Modified() const;
  void _Modified(bool modified) const;
  // The caret: 1-based.
  int Position() const;
  void _Position(int position) const;
  std::array<int, 2> Selection() const;
  // An empty selection {0, 0} selects the whole text.
  void _Selection(std::array<int, 2> selection) const;
  // The selected text; setting it replaces the selection.
  std::string CurItem() const;
  void _CurItem(std::string_view text) const;

 protected:
  std::string_view native_class() const override { return "Edit"; }
  platform::Style create_style() const override { return 0x50810080; }
};

}  // namespace ui
