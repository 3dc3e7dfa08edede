#include "ui/platform/qt/mirror.h"

namespace ui::platform {

Mirror::Mirror(MirrorContext& context, Handle handle, QWidget* outer)
    : m_context(context), m_handle(handle), m_outer(outer) {
  if (outer) outer->setProperty(kHandleProperty, static_cast<qulonglong>(handle));
}

Mirror::~Mirror() {
  // The window system destroys children before their parent, so what is left of the
  // widget tree here belongs to this window alone. Deleting later keeps a widget alive
  // while one of its own signals may still be on the stack.
  if (m_outer) {
    m_outer->hide();
    m_outer->deleteLater();
  }
}

void Mirror::place(const Rect& rect) {
  if (m_outer) m_outer->setGeometry(rect.left, rect.top, rect.width(), rect.height());
}

void Mirror::show_state(const WindowInfo& info) {
  if (!m_outer) return;
  m_outer->setEnabled(info.is_enabled);
  m_outer->setVisible((info.style & WS_VISIBLE) != 0);
}

void Mirror::take_focus() {
  if (content()) content()->setFocus(Qt::OtherFocusReason);
}

}  // namespace ui::platform
