#include "ui/platform/qt/control_mirrors.h"

#include <algorithm>
#include <map>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>

#include "ui/platform/qt/owner_drawn_button.h"
#include "ui/platform/qt/qt_text.h"

namespace ui::platform {

namespace {

QAbstractButton* make_button(const WindowInfo& info, QWidget* parent) {
  switch (info.style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX: return new QCheckBox(parent);
    case BS_3STATE:
    case BS_AUTO3STATE: {
      auto* box = new QCheckBox(parent);
      box->setTristate(true);
      return box;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
      // The window system unchecks the rest of the group; Qt must not guess groups.
      auto* radio = new QRadioButton(parent);
      radio->setAutoExclusive(false);
      return radio;
    }
    case BS_OWNERDRAW: return new OwnerDrawnButton(static_cast<int>(info.id), parent);
    default: {
      auto* push = new QPushButton(parent);
      push->setDefault((info.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      push->setAutoDefault(false);
      return push;
    }
  }
}

Qt::CheckState check_state(std::int64_t check) {
  if (check == BST_CHECKED) return Qt::Checked;
  if (check == BST_INDETERMINATE) return Qt::PartiallyChecked;
  return Qt::Unchecked;
}

// The text the window system keeps for a single-line field that forces a case.
QString forced_case(const QString& text, Style style) {
  if (style & ES_UPPERCASE) return text.toUpper();
  if (style & ES_LOWERCASE) return text.toLower();
  return text;
}

QString crlf_to_lf(std::string_view text) { return to_qt(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace

ButtonMirror::ButtonMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, make_button(info, parent)), m_button(static_cast<QAbstractButton*>(outer())) {
  const Handle handle = info.handle;
  m_button->setFocusPolicy((info.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  QObject::connect(m_button, &QAbstractButton::clicked, m_button, [this, handle] {
    if (!m_context.is_syncing) m_context.input->click(handle);
  });
}

void ButtonMirror::sync(const WindowInfo& info) {
  SyncScope scope(m_context);
  m_button->setText(to_qt(info.text));
  if (auto* box = qobject_cast<QCheckBox*>(m_button)) {
    box->setCheckState(check_state(info.check));
  } else if (m_button->isCheckable() || qobject_cast<QRadioButton*>(m_button)) {
    m_button->setChecked(info.check == BST_CHECKED);
  }
  m_button->update();
}

GroupBoxMirror::GroupBoxMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QGroupBox(parent)), m_box(static_cast<QGroupBox*>(outer())) {
  // A group box is drawn behind the controls it frames, which are its siblings.
  m_box->lower();
  m_box->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GroupBoxMirror::sync(const WindowInfo& info) { m_box->setTitle(to_qt(info.text)); }

StaticMirror::StaticMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QLabel(parent)), m_label(static_cast<QLabel*>(outer())) {
  m_label->setWordWrap(true);
  m_label->setTextFormat(Qt::PlainText);
}

void StaticMirror::sync(const WindowInfo& info) {
  Qt::Alignment alignment = Qt::AlignTop;
  switch (info.style & SS_TYPEMASK) {
    case SS_CENTER: alignment |= Qt::AlignHCenter; break;
    case SS_RIGHT: alignment |= Qt::AlignRight; break;
    default: alignment |= Qt::AlignLeft; break;
  }
  m_label->setAlignment(alignment);
  m_label->setText(to_qt(info.text).remove(QLatin1Char('&')));
}

LineEditMirror::LineEditMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QLineEdit(parent)), m_edit(static_cast<QLineEdit*>(outer())) {
  const Handle handle = info.handle;
  m_edit->setFrame(true);
  QObject::connect(m_edit, &QLineEdit::textEdited, m_edit, [this, handle](const QString& typed) {
    if (m_context.is_syncing) return;
    const auto described = m_context.windows->describe(handle);
    if (!described) return;
    const QString text = forced_case(typed, described->style);
    if (text != typed) {
      SyncScope scope(m_context);
      const int caret = m_edit->cursorPosition();
      m_edit->setText(text);
      m_edit->setCursorPosition(caret);
    }
    m_context.input->edit_text(handle, from_qt(text));
  });
}

void LineEditMirror::sync(const WindowInfo& info) {
  SyncScope scope(m_context);
  m_edit->setReadOnly((info.style & ES_READONLY) != 0);
  m_edit->setEchoMode((info.style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
  const QString text = to_qt(info.text);
  if (m_edit->text() != text) {
    // A person's typing comes back unchanged and keeps the caret; anything else is new.
    m_edit->setText(text);
  }
}

TextEditMirror::TextEditMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QPlainTextEdit(parent)), m_edit(static_cast<QPlainTextEdit*>(outer())) {
  const Handle handle = info.handle;
  m_edit->setTabChangesFocus(true);
  QObject::connect(m_edit, &QPlainTextEdit::textChanged, m_edit, [this, handle] {
    if (m_context.is_syncing) return;
    std::string text = from_qt(m_edit->toPlainText());
    std::string with_crlf;
    with_crlf.reserve(text.size());
    for (char c : text) {
      if (c == '\n') with_crlf += '\r';
      with_crlf += c;
    }
    m_context.input->edit_text(handle, with_crlf);
  });
}

void TextEditMirror::sync(const WindowInfo& info) {
  SyncScope scope(m_context);
  m_edit->setReadOnly((info.style & ES_READONLY) != 0);
  const QString text = crlf_to_lf(info.text);
  if (m_edit->toPlainText() != text) m_edit->setPlainText(text);
}

ComboMirror::ComboMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QComboBox(parent)), m_combo(static_cast<QComboBox*>(outer())) {
  const Handle handle = info.handle;
  const Style kind = info.style & 0x3;
  m_combo->setEditable(kind == CBS_SIMPLE || kind == CBS_DROPDOWN);
  QObject::connect(m_combo, &QComboBox::activated, m_combo, [this, handle](int index) {
    if (!m_context.is_syncing) m_context.input->choose_item(handle, index);
  });
}

void ComboMirror::place(const Rect& rect) {
  m_combo->setGeometry(rect.left, rect.top, rect.width(), std::min(rect.height(), m_combo->sizeHint().height()));
}

void ComboMirror::sync(const WindowInfo& info) {
  SyncScope scope(m_context);
  QStringList items;
  for (const std::string& item : info.items) items << to_qt(item);
  QStringList shown;
  for (int i = 0; i < m_combo->count(); ++i) shown << m_combo->itemText(i);
  if (shown != items) {
    m_combo->clear();
    m_combo->addItems(items);
  }
  m_combo->setCurrentIndex(info.current_item);
  if (m_combo->isEditable() && m_combo->currentText() != to_qt(info.text)) m_combo->setEditText(to_qt(info.text));
}

ListMirror::ListMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QListWidget(parent)), m_list(static_cast<QListWidget*>(outer())) {
  const Handle handle = info.handle;
  const Handle dialog = info.parent;
  const std::int64_t id = info.id;
  QObject::connect(m_list, &QListWidget::currentRowChanged, m_list, [this, handle](int row) {
    if (!m_context.is_syncing && row >= 0) m_context.input->choose_item(handle, row);
  });
  QObject::connect(m_list, &QListWidget::itemDoubleClicked, m_list, [this, handle, dialog, id] {
    if (!m_context.is_syncing) m_context.post(dialog, WM_COMMAND, MAKELPARAM(id, LBN_DBLCLK), handle);
  });
}

void ListMirror::sync(const WindowInfo& info) {
  SyncScope scope(m_context);
  QStringList items;
  for (const std::string& item : info.items) items << to_qt(item);
  bool same = m_list->count() == items.size();
  for (int i = 0; same && i < items.size(); ++i) same = m_list->item(i)->text() == items[i];
  if (!same) {
    m_list->clear();
    m_list->addItems(items);
  }
  m_list->setCurrentRow(info.current_item);
}

TreeMirror::TreeMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QTreeWidget(parent)), m_tree(static_cast<QTreeWidget*>(outer())) {
  m_tree->setHeaderHidden(true);
}

void TreeMirror::sync(const WindowInfo& info) {
  SyncScope scope(m_context);
  m_tree->clear();
  std::map<std::int64_t, QTreeWidgetItem*> shown;
  for (const TreeItem& item : m_context.windows->tree_items(info.handle)) {
    const auto parent = shown.find(item.parent);
    auto* node = parent == shown.end() ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parent->second);
    node->setText(0, to_qt(item.text));
    shown[item.item] = node;
  }
  for (const TreeItem& item : m_context.windows->tree_items(info.handle)) {
    shown[item.item]->setExpanded(item.expanded);
  }
}

ScrollBarMirror::ScrollBarMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QScrollBar((info.style & SBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent)),
      m_bar(static_cast<QScrollBar*>(outer())) {
  const Handle handle = info.handle;
  const Handle owner = info.parent;
  const MessageId message = (info.style & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  QObject::connect(m_bar, &QScrollBar::actionTriggered, m_bar, [this, handle, owner, message](int action) {
    if (m_context.is_syncing) return;
    std::int64_t request = -1;
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: request = SB_LINEUP; break;
      case QAbstractSlider::SliderSingleStepAdd: request = SB_LINEDOWN; break;
      case QAbstractSlider::SliderPageStepSub: request = SB_PAGEUP; break;
      case QAbstractSlider::SliderPageStepAdd: request = SB_PAGEDOWN; break;
      case QAbstractSlider::SliderToMinimum: request = SB_TOP; break;
      case QAbstractSlider::SliderToMaximum: request = SB_BOTTOM; break;
      case QAbstractSlider::SliderMove: request = SB_THUMBPOSITION; break;
      default: return;
    }
    m_context.post(owner, message, MAKELPARAM(request, m_bar->sliderPosition()), handle);
    m_context.post(owner, message, SB_ENDSCROLL, handle);
  });
}

void ScrollBarMirror::sync(const WindowInfo& info) {
  SyncScope scope(m_context);
  const auto [minimum, maximum] = m_context.windows->GETSCROLLRANGE(info.handle, SB_CTL);
  m_bar->setRange(minimum, maximum);
  m_bar->setValue(m_context.windows->GETSCROLLPOS(info.handle, SB_CTL));
}

PanelMirror::PanelMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent)
    : Mirror(context, info.handle, new QWidget(parent)) {}

}  // namespace ui::platform
