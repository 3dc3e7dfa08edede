#include "ui/platform/qt/owner_drawn_button.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace ui::platform {

namespace {

struct Colours {
  QColor light;
  QColor dark;
  QColor border;
  QColor text;
};

Colours colours_of(OwnerDrawnButton::Scheme scheme) {
  switch (scheme) {
    case OwnerDrawnButton::Scheme::accept: return {QColor(222, 244, 214), QColor(120, 186, 104), QColor(46, 110, 38), Qt::black};
    case OwnerDrawnButton::Scheme::cancel: return {QColor(250, 222, 218), QColor(206, 112, 100), QColor(128, 36, 28), Qt::black};
    case OwnerDrawnButton::Scheme::other: return {QColor(226, 234, 248), QColor(128, 156, 204), QColor(44, 70, 120), Qt::black};
    case OwnerDrawnButton::Scheme::disabled: return {QColor(215, 215, 215), QColor(195, 195, 195), QColor(128, 128, 128), QColor(128, 128, 128)};
  }
  return {};
}

}  // namespace

OwnerDrawnButton::OwnerDrawnButton(int id, QWidget* parent) : QPushButton(parent), m_id(id) {}

OwnerDrawnButton::Scheme OwnerDrawnButton::scheme_for(int id, bool is_enabled) {
  if (!is_enabled) return Scheme::disabled;
  if (id == 1) return Scheme::accept;
  if (id == 2) return Scheme::cancel;
  return Scheme::other;
}

OwnerDrawnButton::Scheme OwnerDrawnButton::scheme() const { return scheme_for(m_id, isEnabled()); }

void OwnerDrawnButton::paintEvent(QPaintEvent*) {
  const Colours colours = colours_of(scheme());
  const bool is_pressed = isDown();
  QPainter painter(this);
  const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient shade(face.topLeft(), face.bottomLeft());
  shade.setColorAt(0, is_pressed ? colours.dark : colours.light);
  shade.setColorAt(1, is_pressed ? colours.light : colours.dark);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(colours.border, is_pressed ? 2 : 1));
  painter.setBrush(shade);
  painter.drawRoundedRect(face, 3, 3);

  QRect caption = rect().adjusted(4, 2, -4, -2);
  if (is_pressed) caption.translate(1, 1);
  painter.setPen(colours.text);
  painter.setFont(font());
  painter.drawText(caption, Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextWordWrap, text());

  if (hasFocus()) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(3, 3, -3, -3);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
  }
}

}  // namespace ui::platform
