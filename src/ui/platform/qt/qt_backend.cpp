#include "ui/platform/qt/qt_backend.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <utility>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>

#include "ui/platform/qt/control_mirrors.h"
#include "ui/platform/qt/grid_mirror.h"
#include "ui/platform/qt/qt_text.h"
#include "ui/platform/qt/window_mirrors.h"
#include "ui/platform/text_case.h"

namespace ui::platform {

namespace {

// Without a deadline the wait returns now and then, so the loop can look around.
constexpr Millis kLongestWait{1000};

constexpr int VK_INSERT = 0x2D;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_F1 = 0x70;

// The virtual key the window system hears for a Qt key it must handle itself; 0 for keys
// Qt's widgets handle.
int virtual_key(int key) {
  switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    default: break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + (key - Qt::Key_F1);
  return 0;
}

// Keys a grid's list window takes: navigation, letters and digits (incremental search).
int grid_key(int key) {
  switch (key) {
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_End: return 0x23;
    default: break;
  }
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  return 0;
}

QMessageBox::StandardButton standard_button(int id) {
  switch (id) {
    case IDOK: return QMessageBox::Ok;
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    case IDNO: return QMessageBox::No;
    case IDTRYAGAIN: return QMessageBox::Retry;
    case IDCONTINUE: return QMessageBox::Ignore;
    default: return QMessageBox::Ok;
  }
}

QMessageBox::Icon icon_of(std::uint32_t flags) {
  switch (flags & 0xF0) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// UTF-8 byte offset of a character position in `text`.
int byte_offset(const QString& text, int position) {
  return static_cast<int>(text.left(position).toUtf8().size());
}

}  // namespace

QtBackend::QtBackend(Clock& clock, std::unique_ptr<QApplication> application)
    : m_clock(clock), m_application(std::move(application)) {
  QApplication::setQuitOnLastWindowClosed(false);
}

QtBackend::~QtBackend() {
  grid_registry().set_listener({});
  if (m_message_box) m_message_box->deleteLater();
  // Children first, as the window system destroys them.
  while (!m_mirrors.empty()) m_mirrors.erase(std::prev(m_mirrors.end()));
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtBackend::attach(WindowSystem& windows) {
  m_input = std::make_unique<PersonInput>(windows);
  m_context.windows = &windows;
  m_context.input = m_input.get();
  grid_registry().set_listener([this](Handle list) { grid_changed(list); });
}

Mirror* QtBackend::mirror(Handle window) const {
  const auto found = m_mirrors.find(window);
  return found == m_mirrors.end() ? nullptr : found->second.get();
}

QWidget* QtBackend::widget(Handle window) const {
  const Mirror* shown = mirror(window);
  return shown ? shown->content() : nullptr;
}

QWidget* QtBackend::outer_widget(Handle window) const {
  const Mirror* shown = mirror(window);
  return shown ? shown->outer() : nullptr;
}

void QtBackend::watch(Mirror& made, Handle handle) {
  // Every widget of the window reports keys, wheels and close boxes through the filter.
  for (QWidget* widget : {made.outer(), made.content()}) {
    if (!widget) continue;
    widget->setProperty(kHandleProperty, static_cast<qulonglong>(handle));
    widget->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
      area->viewport()->setProperty(kHandleProperty, static_cast<qulonglong>(handle));
      area->viewport()->installEventFilter(this);
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit()) {
      combo->lineEdit()->setProperty(kHandleProperty, static_cast<qulonglong>(handle));
      combo->lineEdit()->installEventFilter(this);
    }
  }
}

void QtBackend::create_mirror(const WindowInfo& info) {
  Mirror* parent = (info.style & WS_CHILD) ? mirror(info.parent) : nullptr;
  QWidget* container = parent ? parent->container() : nullptr;
  const std::string& name = info.class_name;
  const Style kind = info.style & BS_TYPEMASK;
  std::unique_ptr<Mirror> made;
  if (!parent) {
    if (equals_ignoring_case(name, "#32770")) {
      made = std::make_unique<DialogMirror>(m_context, info, nullptr);
    } else {
      made = std::make_unique<FrameMirror>(m_context, info);
    }
  } else if (is_status_bar_class(name) && dynamic_cast<FrameMirror*>(parent)) {
    made = std::make_unique<StatusBarMirror>(m_context, info, static_cast<FrameMirror*>(parent)->window());
  } else if (equals_ignoring_case(name, "#32770") && dynamic_cast<MdiClientMirror*>(parent)) {
    made = std::make_unique<DialogMirror>(m_context, info, static_cast<MdiClientMirror*>(parent)->area());
  } else if (equals_ignoring_case(name, "MdiClient")) {
    made = std::make_unique<MdiClientMirror>(m_context, info, container);
  } else if (equals_ignoring_case(name, "Button")) {
    if (kind == BS_GROUPBOX) {
      made = std::make_unique<GroupBoxMirror>(m_context, info, container);
    } else {
      made = std::make_unique<ButtonMirror>(m_context, info, container);
    }
  } else if (equals_ignoring_case(name, "Edit")) {
    if (info.style & ES_MULTILINE) {
      made = std::make_unique<TextEditMirror>(m_context, info, container);
    } else {
      made = std::make_unique<LineEditMirror>(m_context, info, container);
    }
  } else if (equals_ignoring_case(name, "Static")) {
    made = std::make_unique<StaticMirror>(m_context, info, container);
  } else if (equals_ignoring_case(name, "ComboBox")) {
    made = std::make_unique<ComboMirror>(m_context, info, container);
  } else if (equals_ignoring_case(name, "ListBox")) {
    if (auto rows = grid_registry().rows(info.handle)) {
      made = std::make_unique<GridMirror>(m_context, info, container, std::move(rows));
    } else {
      made = std::make_unique<ListMirror>(m_context, info, container);
    }
  } else if (equals_ignoring_case(name, "SysTreeView32")) {
    made = std::make_unique<TreeMirror>(m_context, info, container);
  } else if (equals_ignoring_case(name, "ScrollBar")) {
    made = std::make_unique<ScrollBarMirror>(m_context, info, container);
  } else {
    made = std::make_unique<PanelMirror>(m_context, info, container);
  }

  watch(*made, info.handle);
  m_mirrors[info.handle] = std::move(made);
}

void QtBackend::window_created(Handle window) {
  const auto info = m_context.windows->describe(window);
  if (!info) return;
  create_mirror(*info);
  place(window);
  refresh(window);
  if (dynamic_cast<FrameMirror*>(mirror(window))) menu_changed(window);
}

void QtBackend::window_destroyed(Handle window) {
  m_mirrors.erase(window);
}

void QtBackend::place(Handle window) {
  Mirror* shown = mirror(window);
  const auto info = m_context.windows->describe(window);
  if (!shown || !info) return;
  Rect rect = info->rect;
  if ((info->style & WS_CHILD) && mirror(info->parent)) {
    const Point origin = m_context.windows->CLIENTTOSCREEN(info->parent, Point{0, 0});
    rect = Rect{rect.left - origin.x, rect.top - origin.y, rect.right - origin.x, rect.bottom - origin.y};
  }
  shown->place(rect);
}

void QtBackend::refresh(Handle window) {
  Mirror* shown = mirror(window);
  const auto info = m_context.windows->describe(window);
  if (!shown || !info) return;
  m_is_screen_changed = true;
  shown->sync(*info);
  shown->show_state(*info);
  if (m_context.windows->GETFOCUS() == window) shown->take_focus();
}

void QtBackend::window_moved(Handle window) { place(window); }
void QtBackend::window_shown(Handle window) { refresh(window); }
void QtBackend::window_text_changed(Handle window) { refresh(window); }
void QtBackend::window_state_changed(Handle window) { refresh(window); }

void QtBackend::menu_changed(Handle window) {
  if (auto* frame = dynamic_cast<FrameMirror*>(mirror(window))) frame->rebuild_menus();
}

void QtBackend::grid_changed(Handle list) {
  Mirror* shown = mirror(list);
  if (!shown) return;
  const bool is_grid = dynamic_cast<GridMirror*>(shown) != nullptr;
  const bool has_rows = grid_registry().rows(list) != nullptr;
  if (is_grid && has_rows) {
    refresh(list);
    return;
  }
  if (!is_grid && !has_rows) return;
  // The list turns into a grid or back: its widget is made again.
  const auto info = m_context.windows->describe(list);
  m_mirrors.erase(list);
  if (!info) return;
  create_mirror(*info);
  place(list);
  refresh(list);
}

std::optional<int> QtBackend::message_box(const MessageBoxRequest& request) {
  auto* box = new QMessageBox(icon_of(request.flags), to_qt(request.caption), to_qt(request.text));
  std::map<QAbstractButton*, int> ids;
  for (int id : request.buttons) {
    QAbstractButton* button = box->addButton(standard_button(id));
    ids[button] = id;
    if (id == request.default_button) box->setDefaultButton(static_cast<QPushButton*>(button));
  }
  const auto escape = std::find(request.buttons.begin(), request.buttons.end(), IDCANCEL);
  if (escape != request.buttons.end()) {
    box->setEscapeButton(standard_button(IDCANCEL));
  } else if (request.buttons.size() == 1) {
    box->setEscapeButton(standard_button(request.buttons.front()));
  }
  const int number = request.request;
  QObject::connect(box, &QMessageBox::buttonClicked, this, [this, ids, number](QAbstractButton* button) {
    const auto id = ids.find(button);
    if (id == ids.end()) return;
    m_is_input_posted = true;
    m_input->answer(number, id->second);
  });
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::ApplicationModal);
  box->show();
  m_message_box = box;
  return std::nullopt;
}

void QtBackend::save_screenshots() {
  if (!m_screenshots.is_on() || !m_is_screen_changed) return;
  m_is_screen_changed = false;
  std::vector<std::pair<std::string, QWidget*>> shots;
  for (const auto& [handle, shown] : m_mirrors) {
    const auto info = m_context.windows->describe(handle);
    if (!info || !(info->style & WS_VISIBLE)) continue;
    if (dynamic_cast<FrameMirror*>(shown.get())) shots.emplace_back("frame", shown->outer());
    if (dynamic_cast<DialogMirror*>(shown.get())) shots.emplace_back("dialog_" + info->text, shown->content());
  }
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // Layouts and paints first.
  const int written = m_screenshots.save(shots);
  std::fprintf(stderr, "screenshots: %d saved in %s\n", written, m_screenshots.folder().c_str());
}

void QtBackend::process_events() {
  QApplication::processEvents(QEventLoop::AllEvents);
}

void QtBackend::wait_for_input(std::optional<Millis> deadline) {
  m_is_input_posted = false;
  const std::size_t queued = m_context.windows->queued_messages();
  const auto posted = [&] { return m_is_input_posted || m_context.windows->queued_messages() != queued; };
  if (dynamic_cast<ManualClock*>(&m_clock)) {
    // Time moves only when told: take what Qt has, then let the clock jump as the
    // headless back end does.
    process_events();
    if (!posted()) m_clock.wait_until(deadline);
    return;
  }
  save_screenshots();
  Millis timeout = kLongestWait;
  if (deadline) timeout = std::clamp(*deadline - m_clock.now(), Millis{0}, kLongestWait);
  if (timeout.count() == 0) {
    process_events();
    return;
  }
  bool has_timed_out = false;
  QTimer wake;
  wake.setSingleShot(true);
  QObject::connect(&wake, &QTimer::timeout, [&has_timed_out] { has_timed_out = true; });
  wake.start(static_cast<int>(timeout.count()));
  while (!has_timed_out && !posted()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool QtBackend::eventFilter(QObject* watched, QEvent* event) {
  const QVariant property = watched->property(kHandleProperty);
  if (!property.isValid() || !m_input) return false;
  const auto window = static_cast<Handle>(property.toULongLong());
  switch (event->type()) {
    case QEvent::Close: {
      const Mirror* shown = mirror(window);
      if (!shown || watched != shown->outer()) return false;
      event->ignore();
      m_is_input_posted = true;
      m_input->close(window);
      return true;
    }
    case QEvent::KeyPress: return handle_key(window, watched, event);
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      if (dynamic_cast<const GridMirror*>(mirror(window))) {
        // A grid scrolls through its engine, a line per notch, as the frame's wheel routing does.
        const int notches = wheel->angleDelta().y() / 120;
        for (int i = 0; i < std::abs(notches); ++i) m_context.post(window, WM_VSCROLL, notches > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        if (notches != 0) m_context.post(window, WM_VSCROLL, SB_ENDSCROLL, 0);
        m_is_input_posted = true;
        return true;
      }
      const QPoint point = wheel->globalPosition().toPoint();
      const std::int64_t delta = wheel->angleDelta().y() & 0xFFFF;
      m_context.post(window, WM_MOUSEWHEEL, MAKELPARAM((wheel->modifiers() & Qt::ControlModifier) ? 0x8 : 0, delta),
                     MAKELPARAM(point.x() & 0xFFFF, point.y() & 0xFFFF));
      m_is_input_posted = true;
      // Where the program decides what the wheel does, Qt must not do it as well.
      const Mirror* shown = mirror(window);
      return shown && (dynamic_cast<const ComboMirror*>(shown) || dynamic_cast<const LineEditMirror*>(shown));
    }
    default: return false;
  }
}

bool QtBackend::handle_key(Handle window, QObject* watched, QEvent* event) {
  const auto* key = static_cast<QKeyEvent*>(event);
  if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && (key->text() == "+" || key->text() == "-")) {
    // Date fields step a day on "+" and "-": the character goes to the window system,
    // whose edit inserts it where the person's selection is unless a handler takes it.
    const QString text = edit->text();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int end = edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
    m_context.post(window, EM_SETSEL, byte_offset(text, start), byte_offset(text, end));
    m_context.post(window, WM_CHAR, key->text().at(0).unicode(), 1);
    m_is_input_posted = true;
    return true;
  }
  if (dynamic_cast<const GridMirror*>(mirror(window))) {
    // The grid engine moves the current row and searches as the person types.
    if (const int vk = grid_key(key->key()); vk != 0) {
      m_input->press_key(window, vk);
      m_is_input_posted = true;
      return true;
    }
  }
  const int vk = virtual_key(key->key());
  if (vk == 0) return false;
  if (key->key() == Qt::Key_Backtab || (vk == VK_TAB && (key->modifiers() & Qt::ShiftModifier))) {
    m_context.post(window, WM_KEYDOWN, VK_SHIFT, 1);
    m_input->press_key(window, VK_TAB);
    m_context.post(window, WM_KEYUP, VK_SHIFT, 0xC0000001LL);
  } else {
    m_input->press_key(window, vk);
  }
  m_is_input_posted = true;
  // Lock and Insert keys still reach Qt; the others are the dialog manager's.
  return vk != VK_INSERT && vk != VK_CAPITAL && vk != VK_NUMLOCK;
}

}  // namespace ui::platform
