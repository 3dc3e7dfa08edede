#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.h"
#include "ui/dialog_host.h"
#include "ui/dialog_messages.h"
#include "ui/dialog_owner.h"

namespace ui {

using platform::Param;

// The answer of an event method: nothing (the message goes on to the default handling, and an
// empty answer becomes 0) or a number.
using Answer = std::optional<std::int64_t>;

// An object placed on a dialog (a grid, an owner-drawn button set, a list box, a memo) that receives
// the dialog's painting, mouse, scrolling, timer and destruction messages. Answers 0 when it did
// not take the message.
class DialogListener {
 public:
  virtual ~DialogListener() = default;
  virtual std::int64_t on_dialog_message(MessageId message, const Param& wParam, const Param& lParam) = 0;
};

// The lowest dialog: it turns every window message of its dialog into a call of an overridable
// event method, forwards painting, scrolling and mouse messages to the objects placed on it, keeps
// the application's registry of open dialogs and stores its placement when it is destroyed.
//
// The object and its window live apart: the window system owns the window, the object holds its
// handle. Handlers hold a token that the destructor clears, so a window that outlives its object
// (the object was destroyed first) simply stops calling it. Deriving classes reach the window
// system through ws().
class LR_WDIALOG {
 public:
  LR_WDIALOG();
  virtual ~LR_WDIALOG();
  LR_WDIALOG(const LR_WDIALOG&) = delete;
  LR_WDIALOG& operator=(const LR_WDIALOG&) = delete;

  // The dialog window; 0 until created and after it is gone.
  Handle hWnd() const { return m_hwnd; }
  bool has_host() const { return m_host != nullptr; }
  // Requires: the dialog was given an owner (Init).
  DialogHost& host() const;
  platform::WindowSystem& ws() const { return host().ws(); }
  // True while a handler of this dialog runs; the host does not delete it then.
  bool is_busy() const { return m_depth > 0; }
  // True once its window has handled WM_NCDESTROY, or when it never got one.
  bool is_finished() const { return m_is_window_gone || (m_hwnd == 0 && !m_is_creating); }

  // Item access by identifier. Each throws data::RuntimeError when the dialog has no such item.
  Handle item(std::int64_t id) const;
  std::string item_text(std::int64_t id) const;
  void set_item_text(std::int64_t id, std::string_view text) const;
  bool is_checked(std::int64_t id) const;
  void set_checked(std::int64_t id, bool checked) const;

  // Shows the window (SHOWWINDOW command); false without a window.
  bool Show(int command = platform::SW_SHOW);
  virtual std::int64_t OK();      // Destroys the window; answers 1.
  virtual std::int64_t Cancel();  // Posts WM_COMMAND 2 to itself; answers 1.
  // Placement memory: restoring does nothing; storing writes section "Fenster" of the dialog
  // settings file when one is named.
  virtual void SetWnd() {}
  void GetWnd();

  // Every message of the dialog; derived dialog classes extend it and call the base.
  virtual std::int64_t DlgProc(Handle window, MessageId message, const Param& wParam, const Param& lParam);

  // Event methods. Each answers nothing unless overridden (OnCTLCOLOR answers 0).
  virtual Answer HandleMessage(MessageId, const Param&, const Param&) { return {}; }
  virtual Answer OnACTIVATE(const Param&, const Param&) { return {}; }
  virtual Answer OnCHARTOITEM(const Param&, const Param&) { return {}; }
  virtual Answer OnQUERYDRAGICON(const Param&, const Param&) { return {}; }
  virtual Answer OnCLOSE(const Param&, const Param&) { return {}; }
  virtual Answer OnCOMMAND(const Param&, const Param&) { return {}; }
  virtual Answer OnCTLCOLOR(const Param&, const Param&) { return 0; }
  virtual Answer OnDESTROY(const Param&, const Param&) { return {}; }
  virtual Answer OnDRAWITEM(const Param&, const Param&) { return {}; }
  virtual Answer OnDROPFILES(const Param&, const Param&) { return {}; }
  virtual Answer OnENABLE(const Param&, const Param&) { return {}; }
  virtual Answer OnERASEBKGND(const Param&, const Param&) { return {}; }
  virtual Answer OnHSCROLL(const Param&, const Param&) { return {}; }
  virtual Answer OnINITDIALOG(const Param&, const Param&) { return {}; }
  virtual Answer OnINITMENU(const Param&, const Param&) { return {}; }
  virtual Answer OnKILLFOCUS(const Param&, const Param&) { return {}; }
  virtual Answer OnLBUTTONDBLCLK(const Param&, const Param&) { return {}; }
  virtual Answer OnLBUTTONDOWN(const Param&, const Param&) { return {}; }
  virtual Answer OnLBUTTONUP(const Param&, const Param&) { return {}; }
  virtual Answer OnMEASUREITEM(const Param&, const Param&) { return {}; }
  virtual Answer OnMOUSEMOVE(const Param&, const Param&) { return {}; }
  virtual Answer OnMOVE(const Param&, const Param&) { return {}; }
  virtual Answer OnNCACTIVATE(const Param&, const Param&) { return {}; }
  // Runs when the window is finally destroyed; business dialogs close their tables here.
  virtual Answer OnNCDESTROY(const Param&, const Param&) { return {}; }
  virtual Answer OnNCHITTEST(const Param&, const Param&) { return {}; }
  virtual Answer OnNEXTDLGCTL(const Param&, const Param&) { return {}; }
  virtual Answer OnPAINT(const Param&, const Param&) { return {}; }
  virtual Answer OnSETFOCUS(const Param&, const Param&) { return {}; }
  virtual Answer OnSETFONT(const Param&, const Param&) { return {}; }
  virtual Answer OnSHOWWINDOW(const Param&, const Param&) { return {}; }
  virtual Answer OnSIZE(const Param&, const Param&) { return {}; }
  virtual Answer OnSYSCOLORCHANGE(const Param&, const Param&) { return {}; }
  virtual Answer OnWinIniChange(const Param&, const Param&) { return {}; }
  virtual Answer OnSYSCOMMAND(const Param&, const Param&) { return {}; }
  virtual Answer OnTIMER(const Param&, const Param&) { return {}; }
  virtual Answer OnVKEYTOITEM(const Param&, const Param&) { return {}; }
  virtual Answer OnVSCROLL(const Param&, const Param&) { return {}; }

  // The owner object and window, the resource name and the placement key.
  LR_WDIALOG* oParent = nullptr;
  Handle hWndParent = 0;
  std::string cDlgName;
  std::string cIniEntry;
  // Objects placed on the dialog (not owned): grids, owner-drawn buttons, list boxes, memos.
  std::vector<DialogListener*> aBrowseObj, aButtons, aListen, aMemo;
  bool lNoCancel = false;  // Cancel and the close box do not close the dialog.
  bool lDestroyed = false;
  bool lIsTabDlg = false;
  // Client size {width, height} when the dialog was initialised.
  std::array<int, 2> client_size_at_creation{0, 0};

 protected:
  // Sets the owner; the window comes from a derived class's Init.
  void attach(const DialogOwner& owner, std::string_view resource_name);
  // The block the window system calls for every dialog message.
  platform::Handler dialog_block();
  // The same for a hook or a control's handler chain: it calls `body` while the object lives and
  // answers 0 once it is gone.
  template <typename Body>
  platform::Handler guarded(Body body) {
    return [token = m_self, body](Handle w, MessageId m, const Param& wp, const Param& lp) -> std::int64_t {
      LR_WDIALOG* self = *token;
      if (!self) return 0;
      BusyGuard busy(*self);
      return body(w, m, wp, lp);
    };
  }
  void set_window(Handle window) { m_hwnd = window; }
  void set_creating(bool is_creating) { m_is_creating = is_creating; }
  // Counts a handler running in this object, so the host does not delete it meanwhile.
  class BusyGuard {
   public:
    explicit BusyGuard(LR_WDIALOG& dialog) : m_dialog(dialog) { ++m_dialog.m_depth; }
    ~BusyGuard() { --m_dialog.m_depth; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

   private:
    LR_WDIALOG& m_dialog;
  };

 private:
  std::int64_t forward_to_listeners(MessageId message, const Param& wParam, const Param& lParam,
                                    bool stop_at_first);
  Answer event_method(MessageId message, const Param& wParam, const Param& lParam);
  void store_placement();

  DialogHost* m_host = nullptr;
  Handle m_hwnd = 0;
  bool m_is_window_gone = false;
  bool m_is_creating = false;
  int m_depth = 0;
  std::shared_ptr<LR_WDIALOG*> m_self;  // Cleared by the destructor; handlers test it.
};

}  // namespace ui
