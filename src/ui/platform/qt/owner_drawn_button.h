#pragma once

#include <QPushButton>

namespace ui::platform {

// The dialog base's owner-drawn push button: a shaded face whose colours tell accept
// (identifier 1), cancel (2), every other button and a disabled one apart; pressed, the
// shading turns over and the caption moves down and right by a pixel; with the focus a
// dotted rectangle runs inside the face.
class OwnerDrawnButton final : public QPushButton {
 public:
  enum class Scheme { accept, cancel, other, disabled };

  OwnerDrawnButton(int id, QWidget* parent);
  Scheme scheme() const;
  static Scheme scheme_for(int id, bool is_enabled);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int m_id;
};

}  // namespace ui::platform
