#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/platform/control_state.h"
#include "ui/platform/geometry.h"
#include "ui/platform/message.h"
#include "ui/platform/message_filter.h"
#include "ui/platform/styles.h"

namespace ui::platform {

class WindowSystem;

// The procedure a window class gives its windows: the answer to a message when no
// handler of the window's chain takes it.
using WindowProc = std::int64_t (*)(WindowSystem&, Handle, MessageId, const Param&, const Param&);

// One entry of a window's handler chain. Entry 1 of every chain stands for the
// procedure the window had before and carries no block.
struct ChainEntry {
  std::shared_ptr<const Handler> block;
  MessageFilter filter = MessageFilter::none();
};

// The handlers the program gave a window: the dialog level (its first block answers a
// dialog's messages) and the chain installed by SUBCLASSWINDOW. Lives from the first
// SUBCLASSWINDOW or dialog creation until the window has handled WM_NCDESTROY.
struct HandlerRecord {
  std::vector<std::shared_ptr<const Handler>> dialog_level;
  std::vector<ChainEntry> chain;
};

// What a dialog window keeps besides its handlers.
struct DialogState {
  bool is_modal = false;
  bool has_ended = false;
  std::int64_t result = 0;
  int default_id = 1;  // IDOK.
  bool is_block_installed = false;
  std::shared_ptr<const Handler> pending_block;  // Modal: installed on the first message.
};

// The window table's record of one window. Internal to the window system: everything
// outside holds the handle only.
struct Window {
  Handle handle = 0;
  Handle parent = 0;  // Child windows (WS_CHILD).
  Handle owner = 0;   // Top-level windows owned by another.
  std::string class_name;
  WindowProc proc = nullptr;
  std::string text;
  Style style = 0;
  Style ex_style = 0;
  Rect rect;  // Relative to the parent's client area; screen coordinates for top-level windows.
  Rect normal_rect;  // Where a minimised or maximised window returns to.
  std::int64_t id = 0;
  Handle menu = 0;
  Handle font = 0;
  std::int64_t user_data = 0;
  std::map<int, std::int64_t> longs;  // Window extra slots, by byte offset.
  std::vector<Handle> children;       // In z-order, first on top.
  std::unique_ptr<HandlerRecord> handlers;
  std::unique_ptr<DialogState> dialog;
  ControlState control;
  std::array<ScrollInfo, 3> scroll{};  // SB_HORZ, SB_VERT, SB_CTL.
  bool is_being_destroyed = false;
};

}  // namespace ui::platform
