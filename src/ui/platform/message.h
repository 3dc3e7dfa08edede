#pragma once

#include <cstdint>
#include <functional>

#include "ui/platform/messages.h"
#include "ui/platform/param.h"

namespace ui::platform {

// A window, menu, timer-owner or hook handle: a plain number, 0 for none. Handles are
// never reused while the window system lives, so a stale handle is simply unknown.
using Handle = std::uint32_t;

// A message record {window, message, wParam, lParam, time, x, y}. GETMESSAGE and
// PEEKMESSAGE fill one; DISPATCHMESSAGE and the dialog keyboard handling read one.
struct Message {
  Handle window = 0;
  MessageId message = WM_NULL;
  Param wParam;
  Param lParam;
  std::int32_t time = 0;  // GETTICKCOUNT when the message was posted.
  int x = 0;              // Pointer position when it was posted.
  int y = 0;
};

// A code block that answers the messages of a window: (window, message, wParam, lParam)
// → the answer. A block may throw data::RuntimeError; the dispatcher hands it on.
using Handler = std::function<std::int64_t(Handle, MessageId, const Param&, const Param&)>;

}  // namespace ui::platform
