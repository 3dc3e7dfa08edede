#pragma once

#include <map>
#include <memory>
#include <optional>

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include "ui/platform/display_backend.h"
#include "ui/platform/qt/mirror.h"
#include "ui/platform/qt/screenshots.h"

class QApplication;


namespace ui::platform {

// The desktop: the window system's windows shown as Qt 6 Widgets. The main frame is a
// QMainWindow whose client holds the dialogs as sub-windows of a QMdiArea; every control
// is a widget at its window's pixel rectangle. The window system stays the only source
// of truth: each notification re-reads the window it names, and a person's action goes
// back as the message the real control sends (PersonInput), handled later by the loop.
//
// Keys the dialog manager and the program act on (Tab, Enter, Escape, F-keys, Insert,
// the lock keys, "+" and "-" in edit fields) are posted as key messages instead of being
// handled by Qt; a close box posts SC_CLOSE; the wheel posts WM_MOUSEWHEEL.
//
// wait_for_input runs Qt's event loop until a person acts or the deadline passes; on a
// ManualClock (tests) it only takes what Qt has pending and then lets the clock jump,
// so timers fire exactly as on the headless back end.
//
// A list box the list binding has bound its rows to (grid_registry) is shown as a table
// reading its rows on demand.
class QtBackend final : public QObject, public DisplayBackend {
 public:
  // `application` may be null when the process already has one (tests).
  QtBackend(Clock& clock, std::unique_ptr<QApplication> application);
  ~QtBackend() override;

  void attach(WindowSystem& windows) override;
  void window_created(Handle window) override;
  void window_destroyed(Handle window) override;
  void window_moved(Handle window) override;
  void window_shown(Handle window) override;
  void window_text_changed(Handle window) override;
  void window_state_changed(Handle window) override;
  void menu_changed(Handle window) override;
  std::optional<int> message_box(const MessageBoxRequest& request) override;
  void wait_for_input(std::optional<Millis> deadline) override;

  // For tests and screenshots: the widget showing a window's content (a control, a
  // dialog's client area, the frame), the widget placed for it (a sub-window, a top-level
  // window), null for unknown windows.
  QWidget* widget(Handle window) const;
  QWidget* outer_widget(Handle window) const;
  // The message box on screen; null when none is.
  QMessageBox* open_message_box() const { return m_message_box; }
  // Runs what Qt has pending (paints, posted events, a person's queued input) without
  // waiting.
  void process_events();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Mirror* mirror(Handle window) const;
  void create_mirror(const WindowInfo& info);
  void watch(Mirror& made, Handle handle);
  void refresh(Handle window);
  void place(Handle window);
  void grid_changed(Handle list);
  void save_screenshots();
  bool handle_key(Handle window, QObject* watched, QEvent* event);

  Clock& m_clock;
  std::unique_ptr<QApplication> m_application;
  std::unique_ptr<PersonInput> m_input;
  MirrorContext m_context;
  std::map<Handle, std::unique_ptr<Mirror>> m_mirrors;
  QPointer<QMessageBox> m_message_box;
  Screenshots m_screenshots;
  bool m_is_screen_changed = false;
  bool m_is_input_posted = false;
};

}  // namespace ui::platform
