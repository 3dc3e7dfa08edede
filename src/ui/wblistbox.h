#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "ui/platform/window_system.h"
#include "ui/wbrowse.h"

namespace ui {

// The grid drawn inside a list-box control of a dialog. The list control of our window system
// holds the grid's state for the display: one item per shown row (the cells joined by tabs, the
// record number as item data), the current row as the selected item, the key positions on its
// vertical scroll bar. A display that shows every row reads them on demand through the rows the
// grid binds in the window system's grid registry while it is hooked (or asks the list window with
// kBrowseRowCount, kBrowseGetRow, …), and sends back presses and scroll requests.
//
// hook() puts the grid's handler at the head of the list window's chain and starts the refresh
// timer; the handler lives until WM_NCDESTROY or the grid's destruction, whichever comes first.
class WBLISTBOX : public WBROWSE {
 public:
  // What the refresh timer asks before it redraws: whether the dialog is the active child.
  using IsActive = std::function<bool()>;
  // Runs a context-menu command the grid leaves to its dialog (export, font choice, options).
  using CommandHandler = std::function<bool(std::int64_t command)>;

  // Binds the grid to the list control `id` of `dialog`. Throws data::RuntimeError when the dialog
  // has no control of that identifier. Requires: `ws` and `table` outlive the grid.
  WBLISTBOX(platform::WindowSystem& ws, platform::Handle dialog, std::int64_t id, data::WDBTable& table,
            std::string dialog_name);
  ~WBLISTBOX() override;

  platform::WindowSystem& windows() { return *m_ws; }
  platform::Handle dialog() const { return m_dialog; }
  platform::Handle list_window() const { return m_list; }
  std::int64_t id() const { return m_id; }
  const std::string& dialog_name() const { return m_dialog_name; }

  // Installs the list window's handler and starts the refresh timer (every 60 s).
  void hook(IsActive is_active, CommandHandler commands);
  bool is_hooked() const { return m_hooked; }

  // Lines the list shows, from its height (one line per 8 dialog pixels … kept simple: the list's
  // client height divided by the row height of the display, at least 1).
  int visible_lines() const;
  // Mirrors the shown rows, the current row and the scroll position into the list control.
  void redraw() override;
  // The list's selection moved (a click): makes that line current.
  void sync_selection();

  // The text copied by the "copy the current cell" command (there is no system clipboard here).
  const std::string& copied_text() const { return m_copied; }
  // Column whose cell the copy command takes (1-based).
  int current_column = 1;
  // Where the "export as a table" command writes its table (the site's TEMP folder); empty: the
  // command is left to the dialog.
  std::filesystem::path export_folder;
  // Where kBrowseLoadFont reads the user's font from (F_BROWSE, set by BrowMarks).
  std::function<std::optional<BrowseFont>()> font_source;

 private:
  std::int64_t handle(platform::MessageId message, const platform::Param& wParam, const platform::Param& lParam);
  std::int64_t handle_key(int key);
  // A press of the left button at (x, y) of the list's client area: a heading or a row.
  std::int64_t handle_click(int x, int y);
  std::int64_t handle_scroll(std::int64_t request, long position);
  std::int64_t handle_command(std::int64_t command);
  bool copy_current_cell();

  platform::WindowSystem* m_ws;
  platform::Handle m_dialog;
  platform::Handle m_list;
  std::int64_t m_id;
  std::string m_dialog_name;
  IsActive m_is_active;
  CommandHandler m_commands;
  bool m_hooked = false;
  std::string m_copied;
  // The handler holds a weak view of this grid, so a handler left on a window after the grid is
  // gone does nothing.
  std::shared_ptr<WBLISTBOX*> m_self;
};

}  // namespace ui
