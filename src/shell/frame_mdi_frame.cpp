#include "shell/frame_mdi_frame.h"

#include <sys/resource.h>

#include <climits>

#include "shell/frame_messages.h"
#include "startup/settings.h"

namespace shell {

using namespace ui::platform;

namespace {

constexpr int kMessageQueueLength = 96;
constexpr Style kFrameStyle = 0x02CF0000;   // WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN.
constexpr Style kClientStyle = 0x52000000;  // WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN.
constexpr int kUseDefault = INT_MIN;
constexpr rlim_t kFileHandles = 200;

// Raises the process's open-file limit to `wanted`; false when fewer are granted.
bool raise_file_handles(rlim_t wanted) {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
  if (limit.rlim_cur >= wanted) return true;
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < wanted) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    return false;
  }
  limit.rlim_cur = wanted;
  return setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

}  // namespace

MDIFrame::~MDIFrame() = default;

bool MDIFrame::Init(std::string_view class_name, std::string_view caption, std::string_view icon,
                    int window_menu, int first_child) {
  m_resource_library = "oo4win32.dll";
  aMdiId.clear();
  hMDIClient = 0;
  aClient = {0, 0, 0, 0};
  hMenu = 0;
  cStdIcon = std::string(icon);
  LR_APP::Init(class_name, caption);
  WindowSystem& ws = windows();
  if (ws.SET_MESSAGEQUEUE(kMessageQueueLength) != 1) {
    ws.MESSAGE_BOX("Error in MESSAGEQUEUE", "Fatal Error", MB_OK);
    return false;
  }
  if (!_RegisterClass()) return false;
  hwnd = ws.CREATEWINDOWEX(0, cClassName, cCaption, kFrameStyle, 0, 0, 640, 480, 0, 0);
  if (hwnd == 0) return false;
  // The framework's cursor library is not needed: the lists' cursors come with the display back end.
  startup::settings().OAPP = static_cast<LR_APP*>(this);
  install_base_procedure();
  if (!raise_file_handles(kFileHandles)) {
    ws.MESSAGE_BOX("Low Filehandles ! Please do not open too many dialogs at the same time", "Info", MB_OK);
  }
  aVars[8] = 0;  // No accelerator table.
  LISMDI = true;
  InitMDI(window_menu, first_child);
  set_windows(hwnd, hMDIClient);
  oWnd = hwnd;
  return true;
}

bool MDIFrame::_RegisterClass() { return windows().REGISTERCLASS(cClassName); }

void MDIFrame::InitMDI(int window_menu, int first_child) {
  WindowSystem& ws = windows();
  const Handle window_menu_handle = hMenu ? ws.menus().GETSUB_MENU(hMenu, window_menu) : 0;
  aMdiId = {static_cast<std::int64_t>(window_menu_handle), first_child};
  hMDIClient = ws.CREATEWINDOWEX(0, MDIWndClass, "", kClientStyle, kUseDefault, kUseDefault, kUseDefault,
                                 kUseDefault, hwnd, 0);
  ws.SENDMESSAGE(hMDIClient, WM_MDISETMENU, hMenu, window_menu_handle);
}

std::int64_t MDIFrame::OnSize(const Param&, const Param&) {
  UpdateClient();
  return 0;
}

void MDIFrame::UpdateClient() {
  WindowSystem& ws = windows();
  if (hMDIClient == 0) return;
  Rect rect = ws.GETCLIENTRECT(hwnd);
  rect.right -= 1;
  rect.bottom -= 1;
  if (const int toolbar = toolbar_height(); toolbar > 0) rect.top += toolbar + 2;
  if (const int status = status_bar_height(); status > 0) rect.bottom -= status;
  ws.SETWINPOS(hMDIClient, 0, rect.left + 2, rect.top + 2, rect.right - rect.left - 3, rect.bottom - rect.top - 3,
               SWP_NOZORDER);
  ws.SHOWWINDOW(hMDIClient, SW_SHOW);
  aClient = {rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace shell
