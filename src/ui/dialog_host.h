#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/date.h"
#include "data/value.h"
#include "ui/platform/window_system.h"

namespace ui {

using platform::Handle;

class LR_WDIALOG;
class WDIAG;

// One open dialog in the registry of the application object: {window, modal flag, dialog name,
// active flag}.
struct DialogRegistryEntry {
  Handle window = 0;
  int modal = 0;
  std::string name;
  bool is_active = false;
};

// A font created for a dialog by CHANGE_FONT, as the display back end needs it.
struct DialogFontDescription {
  std::string face;
  int height = 0;  // Negative: character height in pixels.
  int weight = 0;  // 700 bold, 0 the face's normal weight.
  bool is_italic = false;
  int char_set = 1;
};

// What the dialogs of the program need from the main frame, which is also the application object:
// the window system, the multiple-document client that holds the dialogs, the frame's active and next
// child, the registry of open dialogs, one pass of message processing, the menu rebuild, the opening
// log, the calendar of date fields and the dialog settings file. The frame derives from this class and
// overrides the business hooks; tests and programs without a frame use it as it is (the hooks then do
// nothing, and LocalExec dispatches what was waiting).
//
// The host also keeps the dialog objects it adopts alive until their window is gone. One thread only.
class DialogHost {
 public:
  // Requires: `ws` outlives the host. `client` is the window dialogs are created in as children;
  // with 0 they are created as pop-ups owned by `frame`.
  DialogHost(platform::WindowSystem& ws, Handle frame, Handle client);
  virtual ~DialogHost();
  DialogHost(const DialogHost&) = delete;
  DialogHost& operator=(const DialogHost&) = delete;

  platform::WindowSystem& ws() const { return m_ws; }
  Handle frame_window() const { return m_frame; }
  Handle client_window() const { return m_client; }
  void set_windows(Handle frame, Handle client);

  // The frame's child activation state, kept by the dialog base.
  Handle ACTIVE_CHILD = 0;
  Handle NEXT_ACTIVE = 0;
  // The active modeless dialog: the message loop gives it keyboard navigation first.
  Handle hglobal = 0;

  // Registry of open dialogs (one entry per window).
  void AddDlgHandle(Handle window, int modal, std::string_view name);
  void DeleteDlgHandle(Handle window);
  void SetActiveDlg(Handle window);
  Handle GetActiveDlg() const { return m_active_dialog; }
  const std::vector<DialogRegistryEntry>& aDlgWnd() const { return m_dialogs; }

  // Business hooks. LocalExec runs one pass of message processing: it dispatches the messages that
  // were waiting when it was called (and may therefore run any handler, timers included).
  virtual void LocalExec();
  // Rebuilds the menu bar for a dialog menu key (0: no operations); `dialog` may be null.
  virtual void MenuSet(int key, WDIAG* dialog, const data::Value& business);
  // Records a dialog opening; the frame writes LOG_DIAG.
  virtual void NEW_LOG_DIAG(LR_WDIALOG& dialog, std::string_view dialog_name);
  // Opens the calendar "SHOW_CAL" for a date field at `date`; the choice comes back to `edit` as
  // message 1324 with the DTOS text of the chosen date in lParam.
  virtual void open_calendar(Handle edit, const data::Date& date);

  // The dialog settings file that placements are kept in; empty (the default) keeps none.
  const std::string& DLGGETINIFILENAME() const { return m_ini_file; }
  void DLGSETINIFILENAME(std::string file) { m_ini_file = std::move(file); }

  // The text the edit fields copy and cut to and paste from.
  std::string clipboard_text;

  // Fonts created for dialogs. Handles are never reused; deleting an unknown one answers false.
  Handle create_font(DialogFontDescription font);
  bool delete_font(Handle font);
  const DialogFontDescription* font(Handle font) const;
  std::size_t font_count() const { return m_fonts.size(); }

  // Keeps a dialog object alive until its window is gone (or it never got one). Answers the dialog.
  template <typename Dialog>
  Dialog& adopt(std::unique_ptr<Dialog> dialog) {
    Dialog& kept = *dialog;
    m_adopted.push_back(std::move(dialog));
    return kept;
  }
  // Deletes the adopted dialogs whose window is gone and in which no handler runs. Call it from the
  // top of the message loop only, never from inside a dialog's handler.
  void collect_garbage();
  std::size_t adopted_count() const { return m_adopted.size(); }

 private:
  platform::WindowSystem& m_ws;
  Handle m_frame = 0;
  Handle m_client = 0;
  std::vector<DialogRegistryEntry> m_dialogs;
  Handle m_active_dialog = 0;
  std::string m_ini_file;
  std::vector<std::pair<Handle, DialogFontDescription>> m_fonts;
  Handle m_next_font = 0x7F000000;
  std::vector<std::unique_ptr<LR_WDIALOG>> m_adopted;
};

}  // namespace ui
