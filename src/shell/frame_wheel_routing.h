#pragma once

#include "ui/platform/window_system.h"

namespace shell {

// Routes a mouse-wheel message to the control under the pointer, when that control belongs to the
// active child dialog `active_child` (0: none, so nothing is served): rich edits and edits scroll
// (an edit holding a date moves a day instead), browse lists scroll their grid, combo boxes step
// their selection, tree views and picture viewers scroll. Forward rotation means up; Ctrl triples
// the step.
//
// Returns the list window of a browse that was scrolled: the loop ends that scroll at the next timer
// message (end_browse_scroll). 0 otherwise.
ui::platform::Handle route_wheel(ui::platform::WindowSystem& windows, const ui::platform::Message& wheel,
                                 ui::platform::Handle active_child);

// Ends the scroll of the browse whose list window is `list`: WM_VSCROLL with SB_ENDSCROLL to the browse
// window named in the list's text ("Bä" + browse window + "ä" + number), lParam the number.
void end_browse_scroll(ui::platform::WindowSystem& windows, ui::platform::Handle list);

}  // namespace shell
