#include "shell/frame_wapp.h"

#include "data/number_format.h"
#include "shell/frame_wheel_routing.h"
#include "startup/settings.h"

namespace shell {

using namespace ui::platform;

WAPP::~WAPP() = default;

int WAPP::Exec22() {
  WindowSystem& ws = windows();
  int code = 0;
  for (;;) {
    if (is_ending()) {
      code = exit_code();
      break;
    }
    collect_garbage();  // Dialogs closed since the last turn; no handler of theirs runs here.
    Message message;
    if (!ws.PEEKMESSAGE(message, 0, 0, 0, PM_NOREMOVE)) {
      if (is_destroyed()) break;
      ws.WAITMESSAGE();
      continue;
    }
    if (message.message == WM_MOUSEWHEEL) {
      ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE);
      m_pending_list = route_wheel(ws, message, ACTIVE_CHILD);
      continue;
    }
    if (m_pending_list != 0 && message.message == WM_TIMER) {
      end_browse_scroll(ws, m_pending_list);
      m_pending_list = 0;
    }
    ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE);
    if (message.message == WM_QUIT) {
      code = static_cast<int>(message.wParam.number());
      break;
    }
    if (message.message == WM_SYSKEYDOWN && message.wParam.number() == VK_F10) continue;
    if (aVars[8] != 0 && ws.TRANSLATEACCELERATOR(hwnd, static_cast<Handle>(aVars[8]), message)) continue;
    if (hglobal != 0 && ws.ISDIALOGMESSAGE(hglobal, message)) continue;
    ws.TRANSLATEMESSAGE(message);
    ws.DISPATCHMESSAGE(message);
  }
  // The class stays registered while the window exists (the process ends without destroying it).
  ws.UNREGISTERCLASS(cClassName);
  return code;
}

void WAPP::QUIT() { windows().POSTMESSAGE(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::int64_t WAPP::WndProc(int level, Handle window, MessageId message, const Param& wParam,
                           const Param& lParam) {
  if (message == WM_MOUSEMOVE) {
    startup::Settings& s = startup::settings();
    s.__L_LPARAM = lParam.number();
    s.__L_WPARAM = wParam.number();
    s.__L_LOLPARAM = C4W_LOWORD(lParam.number());
    s.__L_HILPARAM = C4W_HIWORD(lParam.number());
    s.__L_LOWPARAM = C4W_LOWORD(wParam.number());
    s.__L_HIWPARAM = C4W_HIWORD(wParam.number());
  }
  return LR_APP::WndProc(level, window, message, wParam, lParam);
}

void WAPP::OnCommand(const Param& wParam, const Param&) {
  const auto id = static_cast<std::uint32_t>(C4W_LOWORD(wParam.number()));
  const WMenuItem* item = MENU ? MENU->GetItem(id) : nullptr;
  if (!item) {
    windows().MESSAGE_BOX("Menuitem no encontrado: " + data::STR(id), "", MB_OK);
    return;
  }
  // A copy: the action may rebuild the menu (a dialog that opens becomes the active child), which
  // destroys the item it came from.
  const WMenuItem::Action action = item->Action_;
  if (action) action();
}

}  // namespace shell
