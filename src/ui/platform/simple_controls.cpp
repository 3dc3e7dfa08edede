#include "ui/platform/control_procedures.h"
#include "ui/platform/window_system.h"

namespace ui::platform {

std::int64_t ControlProcedures::default_window(WindowSystem& ws, Handle handle, MessageId message,
                                               const Param& wParam, const Param& lParam) {
  return ws.DEFWINDOWPROC(handle, message, wParam, lParam);
}

std::int64_t ControlProcedures::static_text(WindowSystem& ws, Handle handle, MessageId message,
                                            const Param& wParam, const Param& lParam) {
  if (message == WM_GETDLGCODE) return DLGC_STATIC;
  return ws.DEFWINDOWPROC(handle, message, wParam, lParam);
}

std::int64_t ControlProcedures::scroll_bar(WindowSystem& ws, Handle handle, MessageId message,
                                           const Param& wParam, const Param& lParam) {
  switch (message) {
    case SBM_SETPOS: return ws.SETSCROLLPOS(handle, SB_CTL, static_cast<int>(wParam.number()));
    case SBM_GETPOS: return ws.GETSCROLLPOS(handle, SB_CTL);
    case SBM_SETRANGE:
      ws.SETSCROLLRANGE(handle, SB_CTL, static_cast<int>(wParam.number()), static_cast<int>(lParam.number()));
      return 0;
    case SBM_GETRANGE: {
      const auto [minimum, maximum] = ws.GETSCROLLRANGE(handle, SB_CTL);
      return MAKELPARAM(minimum, maximum);
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    default: return ws.DEFWINDOWPROC(handle, message, wParam, lParam);
  }
}

}  // namespace ui::platform
