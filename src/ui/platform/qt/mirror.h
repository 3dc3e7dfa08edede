#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/platform/person_input.h"
#include "ui/platform/window_system.h"

namespace ui::platform {

// What every mirror of a window reaches: the window system it reads, the helpers that
// turn a person's action into messages, and the flag that tells a widget's signal
// handlers that the change came from the window system, not from a person.
struct MirrorContext {
  WindowSystem* windows = nullptr;
  PersonInput* input = nullptr;
  bool is_syncing = false;
  // Posts a message the real control would have sent (for actions PersonInput lacks).
  void post(Handle window, MessageId message, std::int64_t wParam, std::int64_t lParam) const {
    windows->POSTMESSAGE(window, message, wParam, lParam);
  }
};

// One window of the window system shown as Qt widgets. A mirror keeps no state of its
// own: sync() reads everything from the window's snapshot (and, for items the snapshot
// lacks, from the window system) each time the window system says something changed.
class Mirror {
 public:
  Mirror(MirrorContext& context, Handle handle, QWidget* outer);
  virtual ~Mirror();
  Mirror(const Mirror&) = delete;
  Mirror& operator=(const Mirror&) = delete;

  Handle handle() const { return m_handle; }
  // The widget placed in the parent (a sub-window, a top-level window or the control).
  QWidget* outer() const { return m_outer; }
  // Where child windows' widgets go.
  virtual QWidget* container() const { return m_outer; }
  // What a screenshot of this window shows.
  virtual QWidget* content() const { return m_outer; }

  // Text, check state, items, selection, style-dependent looks.
  virtual void sync(const WindowInfo& info) { (void)info; }
  // `rect` relative to the parent's client area (screen coordinates for top-level windows).
  virtual void place(const Rect& rect);
  // Visible, minimised, maximised, enabled.
  virtual void show_state(const WindowInfo& info);
  // The window system gave this window the focus.
  virtual void take_focus();

 protected:
  MirrorContext& m_context;
  Handle m_handle;
  QPointer<QWidget> m_outer;
};

// Sets `is_syncing` for its scope, so that widget signals raised by the window system's
// own changes are not reported as a person's actions.
class SyncScope {
 public:
  explicit SyncScope(MirrorContext& context) : m_context(context), m_was(context.is_syncing) {
    context.is_syncing = true;
  }
  ~SyncScope() { m_context.is_syncing = m_was; }
  SyncScope(const SyncScope&) = delete;
  SyncScope& operator=(const SyncScope&) = delete;

 private:
  MirrorContext& m_context;
  bool m_was;
};

// The property naming the window a widget stands for.
inline constexpr const char* kHandleProperty = "qv_handle";

}  // namespace ui::platform
