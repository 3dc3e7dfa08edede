#pragma once

#include <QPointer>

#include "ui/platform/qt/mirror.h"

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QScrollBar;
class QTreeWidget;

namespace ui::platform {

// The controls of a dialog, one mirror class per kind. A person's action on the widget
// becomes the control's notification through PersonInput; the widget then shows what
// the window system made of it (an auto check box toggled, a plain one not).

// Push buttons, check boxes and radio buttons.
class ButtonMirror final : public Mirror {
 public:
  ButtonMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;

 private:
  QAbstractButton* m_button;
};

class GroupBoxMirror final : public Mirror {
 public:
  GroupBoxMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;

 private:
  QGroupBox* m_box;
};

class StaticMirror final : public Mirror {
 public:
  StaticMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;

 private:
  QLabel* m_label;
};

// Single-line edits: read-only, password and upper-case forcing follow the style.
class LineEditMirror final : public Mirror {
 public:
  LineEditMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;

 private:
  QLineEdit* m_edit;
};

// Multi-line edits; the window system's line ends are CR LF.
class TextEditMirror final : public Mirror {
 public:
  TextEditMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;

 private:
  QPlainTextEdit* m_edit;
};

class ComboMirror final : public Mirror {
 public:
  ComboMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;
  // A combo box's rectangle includes its drop-down list; the closed box is one line high.
  void place(const Rect& rect) override;

 private:
  QComboBox* m_combo;
};

class ListMirror final : public Mirror {
 public:
  ListMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;

 private:
  QListWidget* m_list;
};

// Tree views (the access-log viewer's), items read with WindowSystem::tree_items.
class TreeMirror final : public Mirror {
 public:
  TreeMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;

 private:
  QTreeWidget* m_tree;
};

class ScrollBarMirror final : public Mirror {
 public:
  ScrollBarMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
  void sync(const WindowInfo& info) override;

 private:
  QScrollBar* m_bar;
};

// A child window of a class the program registered (the tool strip, panels): a plain
// area that holds its own children.
class PanelMirror final : public Mirror {
 public:
  PanelMirror(MirrorContext& context, const WindowInfo& info, QWidget* parent);
};

}  // namespace ui::platform
