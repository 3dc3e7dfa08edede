#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/platform/clock.h"
#include "ui/platform/display_backend.h"

// No Qt header here: MAIN includes this file only where the desktop back end is built
// (QV_HAVE_QT is defined by linking qv_ui_platform_qt).

namespace ui::platform {

// True when a desktop can be reached: $DISPLAY, $WAYLAND_DISPLAY or $QT_QPA_PLATFORM set.
bool display_available();

// The Qt 6 Widgets back end, with the process's QApplication. `argc` and `argv` must
// outlive the back end (Qt keeps them). Deadlines given to wait_for_input are read on
// `clock`. On failure (no display could be opened) answers null and says why in `error`.
// Requires: one back end per process, made on the thread that runs the window system.
std::unique_ptr<DisplayBackend> make_qt_backend(Clock& clock, int& argc, char** argv, std::string& error);

// Ends the back end's waits when `descriptor` becomes readable (a termination signal's
// descriptor) and calls `on_ready` then, from the wait, where it may post messages.
// False when `backend` is not the Qt back end.
bool wake_on_descriptor(DisplayBackend& backend, int descriptor, std::function<void()> on_ready);

}  // namespace ui::platform
