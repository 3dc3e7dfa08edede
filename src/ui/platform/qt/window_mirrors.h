#pragma once

#include <QPointer>

#include "ui/platform/qt/mirror.h"

class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;

namespace ui::platform {

// A top-level window that is not a dialog: the main frame. Its menu bar mirrors the
// window's menu (GET_MENU); its children are placed in the central area at their
// rectangles, except a status bar window, whose panes go to the frame's status bar.
class FrameMirror final : public Mirror {
 public:
  FrameMirror(MirrorContext& context, const WindowInfo& info);
  QWidget* container() const override { return m_central; }
  void sync(const WindowInfo& info) override;
  void place(const Rect& rect) override;
  void show_state(const WindowInfo& info) override;
  // Rebuilds the menu bar from the window system's menus.
  void rebuild_menus();
  QMainWindow* window() const;

 private:
  void fill(QMenu* menu, Handle source);
  void fill_bar(QMenuBar* bar, Handle source);

  QPointer<QWidget> m_central;
};

// The frame's multiple-document client: dialogs created in it become sub-windows.
class MdiClientMirror final : public Mirror {
 public:
  MdiClientMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  QMdiArea* area() const;
};

// A dialog: a sub-window of the client when it is a child of one, a window of its own
// otherwise (DIALOG_BOX, message-like pop-ups). Its client area has the dialog's pixel
// size, fixed unless the style asks for a sizing frame.
class DialogMirror final : public Mirror {
 public:
  DialogMirror(MirrorContext& context, const WindowInfo& info, QMdiArea* area);
  QWidget* container() const override { return m_content; }
  QWidget* content() const override { return m_content; }
  void sync(const WindowInfo& info) override;
  void place(const Rect& rect) override;
  void show_state(const WindowInfo& info) override;

 private:
  QPointer<QWidget> m_content;
  QPointer<QMdiSubWindow> m_sub_window;
  bool m_is_resizable;
};

// The frame's status bar window: its text holds the panes separated by tabs ("Ready",
// "INS", "NUM", "CAPS"), shown in the frame's status bar, the first pane stretching.
class StatusBarMirror final : public Mirror {
 public:
  StatusBarMirror(MirrorContext& context, const WindowInfo& info, QMainWindow* frame);
  void sync(const WindowInfo& info) override;
  void place(const Rect&) override {}
  void show_state(const WindowInfo& info) override;
};

// True for the class names a status bar window is made with.
bool is_status_bar_class(std::string_view class_name);

}  // namespace ui::platform
