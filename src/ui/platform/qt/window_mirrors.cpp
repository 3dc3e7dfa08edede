#include "ui/platform/qt/window_mirrors.h"

#include <memory>

#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

#include "ui/platform/qt/qt_text.h"
#include "ui/platform/text_case.h"

namespace ui::platform {

namespace {

// The dialog font: 8-point sans serif at 96 dots per inch, the size the dialog units of
// the templates are measured in.
QFont dialog_font() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

}  // namespace

bool is_status_bar_class(std::string_view class_name) {
  return equals_ignoring_case(class_name, "msctls_statusbar32") || equals_ignoring_case(class_name, "StatusBar");
}

FrameMirror::FrameMirror(MirrorContext& context, const WindowInfo& info)
    : Mirror(context, info.handle, new QMainWindow()) {
  m_central = new QWidget(window());
  m_central->setFont(dialog_font());
  window()->setCentralWidget(m_central);
  window()->setAttribute(Qt::WA_DeleteOnClose, false);
}

QMainWindow* FrameMirror::window() const { return static_cast<QMainWindow*>(outer()); }

void FrameMirror::sync(const WindowInfo& info) { window()->setWindowTitle(to_qt(info.text)); }

void FrameMirror::place(const Rect& rect) {
  m_central->setFixedSize(rect.width(), rect.height());
  window()->move(rect.left, rect.top);
  window()->adjustSize();
}

void FrameMirror::show_state(const WindowInfo& info) {
  QMainWindow* frame = window();
  frame->setEnabled(info.is_enabled);
  if (!(info.style & WS_VISIBLE)) {
    frame->hide();
  } else if (info.style & WS_MINIMIZE) {
    frame->showMinimized();
  } else {
    frame->showNormal();
  }
}

void FrameMirror::rebuild_menus() {
  QMenuBar* bar = window()->menuBar();
  bar->clear();
  const Handle menu = m_context.windows->GET_MENU(m_handle);
  bar->setVisible(menu != 0);
  if (menu) fill_bar(bar, menu);
  window()->adjustSize();
}

void FrameMirror::fill_bar(QMenuBar* bar, Handle source) {
  for (const MenuItem& item : m_context.windows->menus().items(source)) {
    if (item.flags & MF_POPUP) {
      QMenu* popup = bar->addMenu(to_qt(item.text));
      popup->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
      const Handle popup_handle = item.popup;
      // A popup is read again each time it opens: items may change without the bar.
      QObject::connect(popup, &QMenu::aboutToShow, popup, [this, popup, popup_handle] { fill(popup, popup_handle); });
      fill(popup, popup_handle);
    } else if (!(item.flags & MF_SEPARATOR)) {
      QAction* action = bar->addAction(to_qt(item.text));
      const std::uint32_t id = item.id;
      action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
      QObject::connect(action, &QAction::triggered, action, [this, id] {
        m_context.input->choose_command(m_handle, static_cast<int>(id));
      });
    }
  }
}

void FrameMirror::fill(QMenu* menu, Handle source) {
  menu->clear();
  for (const MenuItem& item : m_context.windows->menus().items(source)) {
    if (item.flags & MF_SEPARATOR) {
      menu->addSeparator();
    } else if (item.flags & MF_POPUP) {
      QMenu* popup = menu->addMenu(to_qt(item.text));
      popup->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
      fill(popup, item.popup);
    } else {
      QAction* action = menu->addAction(to_qt(item.text));
      const std::uint32_t id = item.id;
      action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
      action->setCheckable((item.flags & MF_CHECKED) != 0);
      action->setChecked((item.flags & MF_CHECKED) != 0);
      QObject::connect(action, &QAction::triggered, action, [this, id] {
        m_context.input->choose_command(m_handle, static_cast<int>(id));
      });
    }
  }
}

MdiClientMirror::MdiClientMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QMdiArea(parent)) {
  area()->setBackground(QColor(171, 171, 171));
}

QMdiArea* MdiClientMirror::area() const { return static_cast<QMdiArea*>(outer()); }

DialogMirror::DialogMirror(MirrorContext& context, const WindowInfo& info, QMdiArea* area)
    : Mirror(context, info.handle, nullptr), m_is_resizable((info.style & WS_THICKFRAME) != 0) {
  m_content = new QWidget();
  m_content->setFont(dialog_font());
  m_content->setAutoFillBackground(true);
  if (area) {
    m_sub_window = new QMdiSubWindow();
    m_sub_window->setWidget(m_content);
    Qt::WindowFlags flags = Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (info.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    flags |= Qt::WindowCloseButtonHint;
    m_sub_window->setWindowFlags(flags);
    area->addSubWindow(m_sub_window);
    m_outer = m_sub_window.data();
  } else {
    m_content->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_outer = m_content.data();
  }
  m_outer->setProperty(kHandleProperty, static_cast<qulonglong>(info.handle));
  m_content->setProperty(kHandleProperty, static_cast<qulonglong>(info.handle));
}

void DialogMirror::sync(const WindowInfo& info) {
  m_outer->setWindowTitle(to_qt(info.text));
  m_content->setWindowTitle(to_qt(info.text));
}

void DialogMirror::place(const Rect& rect) {
  if (m_is_resizable) {
    m_content->resize(rect.width(), rect.height());
  } else {
    m_content->setFixedSize(rect.width(), rect.height());
  }
  if (m_sub_window) {
    m_sub_window->adjustSize();
    m_sub_window->move(rect.left, rect.top);
  } else {
    m_content->move(rect.left, rect.top);
  }
}

void DialogMirror::show_state(const WindowInfo& info) {
  m_outer->setEnabled(info.is_enabled);
  if (!(info.style & WS_VISIBLE)) {
    m_outer->hide();
  } else if (info.style & WS_MINIMIZE) {
    m_outer->showMinimized();
  } else {
    m_outer->showNormal();
  }
}

StatusBarMirror::StatusBarMirror(MirrorContext& context, const WindowInfo& info, QMainWindow* frame)
    : Mirror(context, info.handle, new QWidget()) {
  auto* layout = new QHBoxLayout(outer());
  layout->setContentsMargins(2, 0, 2, 0);
  layout->setSpacing(2);
  frame->statusBar()->addWidget(outer(), 1);
  frame->statusBar()->setSizeGripEnabled(false);
}

void StatusBarMirror::sync(const WindowInfo& info) {
  const QStringList panes = to_qt(info.text).split(QLatin1Char('\t'));
  auto* layout = static_cast<QHBoxLayout*>(outer()->layout());
  while (layout->count() > panes.size()) {
    const std::unique_ptr<QLayoutItem> item(layout->takeAt(layout->count() - 1));
    item->widget()->deleteLater();
  }
  while (layout->count() < panes.size()) {
    auto* pane = new QLabel(outer());
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setFont(QFont(QStringLiteral("Arial"), 8));
    layout->addWidget(pane, layout->count() == 0 ? 1 : 0);
  }
  for (int i = 0; i < panes.size(); ++i) {
    auto* pane = static_cast<QLabel*>(layout->itemAt(i)->widget());
    pane->setText(panes[i]);
    if (i > 0) pane->setMinimumWidth(36);
  }
  // The frame grows by the status bar's height; its client keeps the program's size.
  outer()->window()->adjustSize();
}

void StatusBarMirror::show_state(const WindowInfo& info) {
  outer()->setVisible((info.style & WS_VISIBLE) != 0);
  outer()->window()->adjustSize();
}

}  // namespace ui::platform
