#include "ui/lr_wdialog.h"

#include "data/private_profile.h"
#include "data/runtime_error.h"

namespace ui {

using namespace platform;

DialogOwner::DialogOwner(LR_WDIALOG& dialog)
    : m_host(&dialog.host()), m_window(dialog.hWnd()), m_dialog(&dialog) {}

LR_WDIALOG::LR_WDIALOG() : m_self(std::make_shared<LR_WDIALOG*>(this)) {}

LR_WDIALOG::~LR_WDIALOG() {
  // Handlers stop calling this object first: destroying the window below sends it messages.
  *m_self = nullptr;
  if (!m_host || !m_hwnd || m_is_window_gone) return;
  m_host->DeleteDlgHandle(m_hwnd);
  if (m_host->ACTIVE_CHILD == m_hwnd) m_host->ACTIVE_CHILD = 0;
  if (m_host->NEXT_ACTIVE == m_hwnd) m_host->NEXT_ACTIVE = 0;
  if (ws().ISWINDOW(m_hwnd)) ws().DESTROYWINDOW(m_hwnd);
}

DialogHost& LR_WDIALOG::host() const {
  if (!m_host) throw data::RuntimeError("DIALOG", "WINDOWS", "dialog " + cDlgName + " has no owner yet");
  return *m_host;
}

void LR_WDIALOG::attach(const DialogOwner& owner, std::string_view resource_name) {
  m_host = &owner.host();
  oParent = owner.dialog();
  hWndParent = owner.window();
  cDlgName = std::string(resource_name);
  cIniEntry = cDlgName;
}

Handler LR_WDIALOG::dialog_block() {
  return guarded([this](Handle w, MessageId m, const Param& wp, const Param& lp) { return DlgProc(w, m, wp, lp); });
}

Handle LR_WDIALOG::item(std::int64_t id) const {
  const Handle control = m_hwnd ? ws().GETDLGITEM(m_hwnd, id) : 0;
  if (!control) {
    throw data::RuntimeError("DIALOG", "WINDOWS",
                             "dialog " + cDlgName + " has no control " + std::to_string(id));
  }
  return control;
}

std::string LR_WDIALOG::item_text(std::int64_t id) const { return ws().GETWINDOWTEXT(item(id)); }

void LR_WDIALOG::set_item_text(std::int64_t id, std::string_view text) const { ws().SETWINDOWTEXT(item(id), text); }

bool LR_WDIALOG::is_checked(std::int64_t id) const {
  return ws().SENDMESSAGE(item(id), BM_GETCHECK) == BST_CHECKED;
}

void LR_WDIALOG::set_checked(std::int64_t id, bool checked) const {
  ws().SENDMESSAGE(item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool LR_WDIALOG::Show(int command) { return m_hwnd && ws().SHOWWINDOW(m_hwnd, command); }

std::int64_t LR_WDIALOG::OK() {
  if (m_hwnd) ws().DESTROYWINDOW(m_hwnd);
  return 1;
}

std::int64_t LR_WDIALOG::Cancel() {
  if (m_hwnd) ws().POSTMESSAGE(m_hwnd, WM_COMMAND, IDCANCEL);
  return 1;
}

void LR_WDIALOG::GetWnd() { store_placement(); }

void LR_WDIALOG::store_placement() {
  // Only a settings file named by the program keeps placements; this program names none.
  const std::string& file = host().DLGGETINIFILENAME();
  if (file.empty() || !m_hwnd || ws().ISICONIC(m_hwnd) || cIniEntry.empty()) return;
  const std::array<int, 11> placement = ws().GETWINDOWPLACEMENT(m_hwnd);
  const int left = placement[7];
  const int top = placement[8];
  const auto pack = [](int low, int high) { return std::to_string(MAKELPARAM(low, high)); };
  data::WRITEPVPROFSTRING("Fenster", cIniEntry, pack(left, top), file);
  const std::string size_key = cIniEntry + "_SIZE";
  const auto style = static_cast<Style>(ws().GETWINDOWLONG(m_hwnd, GWL_STYLE));
  if (style & WS_THICKFRAME) {
    data::WRITEPVPROFSTRING("Fenster", size_key, pack(placement[9] - left, placement[10] - top), file);
  } else if (!data::GETPVPROFSTRING("Fenster", size_key, "", file).empty()) {
    data::WRITEPVPROFSTRING("Fenster", size_key, "0", file);
  }
}

std::int64_t LR_WDIALOG::forward_to_listeners(MessageId message, const Param& wParam, const Param& lParam,
                                              bool stop_at_first) {
  for (const std::vector<DialogListener*>* list : {&aBrowseObj, &aButtons, &aListen, &aMemo}) {
    // Copied: a listener may remove itself while it handles the message.
    const std::vector<DialogListener*> listeners = *list;
    for (DialogListener* listener : listeners) {
      const std::int64_t answer = listener->on_dialog_message(message, wParam, lParam);
      if (stop_at_first && answer != 0) return answer;
    }
  }
  return 0;
}

std::int64_t LR_WDIALOG::DlgProc(Handle window, MessageId message, const Param& wParam, const Param& lParam) {
  if (!m_hwnd && window) m_hwnd = window;
  if (const Answer answer = HandleMessage(message, wParam, lParam)) return *answer;
  Answer answer;
  switch (message) {
    case WM_INITDIALOG: {
      host().AddDlgHandle(m_hwnd, 0, cDlgName);
      const Rect client = ws().GETCLIENTRECT(m_hwnd);
      client_size_at_creation = {client.width(), client.height()};
      if (cIniEntry.empty()) cIniEntry = cDlgName;
      answer = OnINITDIALOG(wParam, lParam);
      break;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      if (const std::int64_t taken = forward_to_listeners(message, wParam, lParam, true)) return taken;
      answer = event_method(message, wParam, lParam);
      break;
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_SETCURSOR:
    case WM_SYSCOLORCHANGE:
    case WM_MOUSEMOVE:
    case WM_VKEYTOITEM:
    case WM_VSCROLL:
    case WM_COMMAND:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_TIMER:
      forward_to_listeners(message, wParam, lParam, false);
      answer = event_method(message, wParam, lParam);
      break;
    case WM_NCDESTROY:
      forward_to_listeners(message, wParam, lParam, false);
      answer = OnNCDESTROY(wParam, lParam);
      m_is_window_gone = true;
      lDestroyed = true;
      break;
    case WM_ACTIVATE:
      // The loop gives the active modeless dialog its keyboard navigation.
      if (C4W_LOWORD(wParam.number()) != WA_INACTIVE) {
        host().hglobal = m_hwnd;
      } else if (host().hglobal == m_hwnd) {
        host().hglobal = 0;
      }
      answer = OnACTIVATE(wParam, lParam);
      break;
    case WM_DESTROY:
      host().DeleteDlgHandle(m_hwnd);
      host().LocalExec();
      forward_to_listeners(message, wParam, lParam, false);
      store_placement();
      answer = OnDESTROY(wParam, lParam);
      break;
    case WM_CLOSE: answer = OnCLOSE(wParam, lParam); break;
    default: answer = event_method(message, wParam, lParam); break;
  }
  return answer.value_or(0);
}

Answer LR_WDIALOG::event_method(MessageId message, const Param& wParam, const Param& lParam) {
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return OnCTLCOLOR(wParam, lParam);
  switch (message) {
    case WM_CHARTOITEM: return OnCHARTOITEM(wParam, lParam);
    case WM_QUERYDRAGICON: return OnQUERYDRAGICON(wParam, lParam);
    case WM_COMMAND: return OnCOMMAND(wParam, lParam);
    case WM_CTLCOLOR: return OnCTLCOLOR(wParam, lParam);
    case WM_DRAWITEM: return OnDRAWITEM(wParam, lParam);
    case WM_DROPFILES: return OnDROPFILES(wParam, lParam);
    case WM_ENABLE: return OnENABLE(wParam, lParam);
    case WM_ERASEBKGND: return OnERASEBKGND(wParam, lParam);
    case WM_HSCROLL: return OnHSCROLL(wParam, lParam);
    case WM_INITMENU: return OnINITMENU(wParam, lParam);
    case WM_KILLFOCUS: return OnKILLFOCUS(wParam, lParam);
    case WM_LBUTTONDBLCLK: return OnLBUTTONDBLCLK(wParam, lParam);
    case WM_LBUTTONDOWN: return OnLBUTTONDOWN(wParam, lParam);
    case WM_LBUTTONUP: return OnLBUTTONUP(wParam, lParam);
    case WM_MEASUREITEM: return OnMEASUREITEM(wParam, lParam);
    case WM_MOUSEMOVE: return OnMOUSEMOVE(wParam, lParam);
    case WM_MOVE: return OnMOVE(wParam, lParam);
    case WM_NCACTIVATE: return OnNCACTIVATE(wParam, lParam);
    case WM_NCHITTEST: return OnNCHITTEST(wParam, lParam);
    case WM_NEXTDLGCTL: return OnNEXTDLGCTL(wParam, lParam);
    case WM_PAINT: return OnPAINT(wParam, lParam);
    case WM_SETFOCUS: return OnSETFOCUS(wParam, lParam);
    case WM_SETFONT: return OnSETFONT(wParam, lParam);
    case WM_SHOWWINDOW: return OnSHOWWINDOW(wParam, lParam);
    case WM_SIZE: return OnSIZE(wParam, lParam);
    case WM_SYSCOLORCHANGE: return OnSYSCOLORCHANGE(wParam, lParam);
    case WM_WININICHANGE: return OnWinIniChange(wParam, lParam);
    case WM_SYSCOMMAND: return OnSYSCOMMAND(wParam, lParam);
    case WM_TIMER: return OnTIMER(wParam, lParam);
    case WM_VKEYTOITEM: return OnVKEYTOITEM(wParam, lParam);
    case WM_VSCROLL: return OnVSCROLL(wParam, lParam);
    default: return {};
  }
}

}  // namespace ui
