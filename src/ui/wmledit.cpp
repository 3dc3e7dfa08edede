#include "ui/wmledit.h"

#include <algorithm>

namespace ui {

int WMLEdit::RecCount() const {
  const std::string text = Text();
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

int WMLEdit::RecNo() const {
  const std::string text = Text();
  const auto caret = static_cast<std::size_t>(std::clamp(Position() - 1, 0, static_cast<int>(text.size())));
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(caret), '\n'));
}

void WMLEdit::GoTo(int line) const {
  const std::string text = Text();
  const int target = std::clamp(line, 1, RecCount());
  std::size_t start = 0;
  for (int current = 1; current < target; ++current) start = text.find('\n', start) + 1;
  _Position(static_cast<int>(start) + 1);
}

}  // namespace ui
