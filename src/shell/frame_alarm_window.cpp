#include "shell/frame_alarm_window.h"

namespace shell {

using namespace ui::platform;

Handle open_alarm_window(WindowSystem& ws, Handle owner, const std::vector<std::string>& lines) {
  const Handle window = ws.CREATEDIALOGEX("ALARM", owner, [&ws](Handle dialog, MessageId message, const Param& wParam,
                                                                  const Param&) -> std::int64_t {
    if (message == WM_INITDIALOG) return 1;
    if (message == WM_COMMAND) {
      const std::int64_t id = C4W_LOWORD(wParam.number());
      if (id == IDOK || id == IDCANCEL) {
        ws.DESTROYWINDOW(dialog);
        return 1;
      }
    }
    return 0;
  });
  if (window == 0) return 0;
  ws.SETDLGITEMTEXT(window, kAlarmFirstLine, "Recuerde salirse del Sistema QUARVELT");
  for (std::size_t i = 0; i < lines.size() && i + 1 < kAlarmLines; ++i) {
    ws.SETDLGITEMTEXT(window, kAlarmFirstLine + 1 + static_cast<int>(i), lines[i]);
  }
  ws.SHOWWINDOW(window, SW_SHOW);
  return window;
}

}  // namespace shell
