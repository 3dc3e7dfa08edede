#include "shell/frame_lr_app.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "data/private_profile.h"
#include "data/runtime_error.h"
#include "shell/frame_messages.h"
#include "shell/frame_temp_folders.h"
#include "startup/command_line.h"

namespace shell {

using namespace ui::platform;

LR_APP::LR_APP(AppServices& services) : ui::DialogHost(services.windows, 0, 0), m_services(services) {}

LR_APP::~LR_APP() = default;

void LR_APP::Init(std::string_view class_name, std::string_view caption) {
  aVars.fill(0);
  aEVars.fill(false);
  lErrorLock = true;
  TempDir = user_temp_folder(std::getenv("HOMESHARE"), application_data_folder(), startup::kProgramName).string();
  const std::string& driver = m_services.tables.settings.DEF_RDD;
  cDBFNTX = driver.empty() ? "DBFNTX" : driver;
  lDBFNTXAX = cDBFNTX == "ADS";
  delete_stale_work_files(TempDir);
  cClassName = std::string(class_name);
  cCaption = std::string(caption);
  hActive = 0;
  lSavePos = true;
  // Registered once per frame: the posted request of a termination signal.
  m_operator_exit_message = windows().REGISTERWINDOWMESSAGE("QUARVELT_OPERATOR_EXIT");
}

void LR_APP::install_base_procedure() {
  // The level the procedure passes messages on to is known only once it is installed.
  auto next = std::make_shared<int>(0);
  *next = windows().SUBCLASSWINDOW(
      hwnd,
      [this, next](Handle window, MessageId message, const Param& wParam, const Param& lParam) {
        return WndProc(*next, window, message, wParam, lParam);
      },
      MessageFilter::all());
}

void LR_APP::end_process(int code) {
  if (m_is_ending) return;
  m_is_ending = true;
  m_exit_code = code;
  windows().POSTQUITMESSAGE(code);
}

std::int64_t LR_APP::WndProc(int level, Handle window, MessageId message, const Param& wParam,
                             const Param& lParam) {
  if (m_is_ending) return 0;  // The process is on its way out; nothing more is answered.
  WindowSystem& ws = windows();
  switch (message) {
    case WM_RBUTTONDOWN:
      forward_right_click(wParam, lParam);
      break;
    case WM_SETCURSOR:
      if (lLockApplication) return 1;  // The wait cursor stays.
      break;
    case WM_MENUSELECT:
      break;  // No status-bar help texts are registered in this program.
    case WM_PAINT:
      return 0;
    case WM_ENDSESSION:
      ws.POSTMESSAGE(hwnd, WM_CLOSE);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam.number() & 0xFFF0) == SC_CLOSE) {
        ws.POSTMESSAGE(hwnd, WM_CLOSE);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (!CloseApp() || m_is_ending) return 0;
      ws.DESTROYWINDOW(hwnd);
      return 1;
    case WM_DESTROY:
      try {
        m_services.tables.areas().close_all();
      } catch (const data::RuntimeError& error) {
        std::fprintf(stderr, "Fehler in LR_APP in WndProc() bei DBCLOSEALL(): %s\n", error.what());
      }
      ws.POSTQUITMESSAGE(0);
      m_is_destroyed = true;
      return 0;
    case WM_MOVE:
      OnMove(wParam, lParam);
      return 0;
    case WM_SIZE:
      OnSize(wParam, lParam);
      return 0;
    case kSetActiveDialog:
      hActive = static_cast<Handle>(wParam.number());
      return 0;
    case kAddSlaveDialog:
    case kRemoveSlaveDialog:
      return 0;  // No master or slave processes.
    case WM_COMMAND: {
      const std::int64_t id = C4W_LOWORD(wParam.number());
      if (id >= 1 && id <= 99) {
        if (const Handle control = ws.GETDLGITEM(hwnd, id)) ws.SENDMESSAGE(control, kForwardToControl, wParam, lParam);
      }
      OnCommand(wParam, lParam);
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      for (const ui::DialogRegistryEntry& dialog : std::vector<ui::DialogRegistryEntry>(aDlgWnd())) {
        ws.SENDMESSAGE(dialog.window, WM_SYSCOLORCHANGE, wParam, lParam);
      }
      return 0;
    case WM_TIMECHANGE:
    case WM_MOUSEMOVE:
    case kShiftDialogs:
    case kEditModeBookkeeping:
      return 0;
    default:
      if (message == m_operator_exit_message && message != 0) {
        on_operator_exit();
        return 0;
      }
      break;
  }
  return ws.CALLWINDOWPROC(level, window, message, wParam, lParam);
}

bool LR_APP::CloseApp() {
  for (const ui::DialogRegistryEntry& dialog : aDlgWnd()) {
    if (dialog.modal == 1 && windows().ISWINDOW(dialog.window)) {
      // A modal dialog holds the operator; it is asked to close and the frame stays.
      windows().POSTMESSAGE(dialog.window, WM_CLOSE);
      return false;
    }
  }
  return ONCLOSE();
}

void LR_APP::forward_right_click(const Param& wParam, const Param& lParam) {
  WindowSystem& ws = windows();
  const Point at = ws.CLIENTTOSCREEN(
      hwnd, Point{static_cast<std::int16_t>(C4W_LOWORD(lParam.number())), static_cast<std::int16_t>(C4W_HIWORD(lParam.number()))});
  const Handle target = ws.WINDOWFROMPOINT(at);
  for (const ui::DialogRegistryEntry& dialog : aDlgWnd()) {
    if (dialog.modal != 1) continue;
    for (Handle w = target; w != 0; w = ws.GETPARENT(w)) {
      if (w != dialog.window) continue;
      const Point local = ws.SCREENTOCLIENT(target, at);
      ws.SETFOCUS(target);
      ws.SENDMESSAGE(target, WM_RBUTTONDOWN, wParam, MAKELPARAM(local.x, local.y));
      return;
    }
  }
}

std::int64_t LR_APP::OnSize(const Param&, const Param&) { return 0; }

void LR_APP::OnCommand(const Param&, const Param&) {}

void LR_APP::Show(int show_command) {
  SetWnd(show_command);
  windows().SENDMESSAGE(hwnd, WM_PAINT);
}

void LR_APP::SetWnd(int show_command) {
  WindowSystem& ws = windows();
  const auto read = [&](std::string_view suffix) {
    if (dialog_settings_file.empty()) return -1L;
    return data::GETPVPROFINT("Fenster", cClassName + std::string(suffix), -1, dialog_settings_file);
  };
  int command = static_cast<int>(read("_SHOW"));
  if (show_command != 0) command = show_command;
  if (command < 1) command = SW_SHOW;
  const long x = read("_X");
  const long y = read("_Y");
  long cx = read("_CX");
  long cy = read("_CY");
  if (cx < 2 || cy < 2) {
    ws.CLIPORCENTERWINDOWTOMONITOR(hwnd);
    ws.SHOWWINDOW(hwnd, command);
    return;
  }
  const Rect screen = ws.GETWINDOWRECT(ws.GETDESKTOPWINDOW());
  long left = x;
  long top = y;
  if (ws.monitors().size() < 2 && left > screen.width() - 100) {
    cx -= left - (screen.width() - 100);
    left = screen.width() - 100;
  }
  if (top > screen.height() - 100) {
    cy -= top - (screen.height() - 100);
    top = screen.height() - 100;
  }
  std::array<int, 11> placement = ws.GETWINDOWPLACEMENT(hwnd);
  placement[2] = command;
  placement[7] = static_cast<int>(left);
  placement[8] = static_cast<int>(top);
  placement[9] = static_cast<int>(left + cx);
  placement[10] = static_cast<int>(top + cy);
  ws.SETWINDOWPLACEMENT(hwnd, placement);
  ws.CLIPORCENTERWINDOWTOMONITOR(hwnd);
}

}  // namespace shell
