#pragma once

#include "ui/wedit.h"

namespace ui {

// A multi-line edit field of a dialog, navigated line by line: the current line is the caret's,
// lines are 1-based and moving to a line puts the caret at its start.
class WMLEdit : public WEdit {
 public:
  using WEdit::WEdit;

  void GoTop() const { GoTo(1); }
  void GoBottom() const { GoTo(RecCount()); }
  // Lines outside 1..RecCount() are clamped to it.
  void GoTo(int line) const;
  int RecCount() const;
  int LastRec() const { return RecCount(); }
  int RecNo() const;
  void _RecNo(int line) const { GoTo(line); }
  void Skip(int count = 1) const { GoTo(RecNo() + count); }

 protected:
  platform::Style create_style() const override { return 0x50811084; }
};

}  // namespace ui
