#pragma once

#include "ui/dialog_host.h"

namespace ui {

// Whom a dialog belongs to: the application (its host), another dialog, or a bare window number. A
// number owner makes the application the object owner and the number the owner window.
class DialogOwner {
 public:
  DialogOwner(DialogHost& host) : m_host(&host), m_window(host.frame_window()) {}  // NOLINT: implicit.
  DialogOwner(LR_WDIALOG& dialog);                                                 // NOLINT: implicit.
  DialogOwner(DialogHost& host, Handle window) : m_host(&host), m_window(window) {}

  DialogHost& host() const { return *m_host; }
  Handle window() const { return m_window; }
  // The owning dialog; null for the application or a number.
  LR_WDIALOG* dialog() const { return m_dialog; }

 private:
  DialogHost* m_host;
  Handle m_window = 0;
  LR_WDIALOG* m_dialog = nullptr;
};

}  // namespace ui
