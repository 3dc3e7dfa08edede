#include "ui/wdialog.h"

#include <algorithm>

#include "startup/settings.h"
#include "ui/dialog_date_fields.h"
#include "ui/dialog_template_edit.h"
#include "ui/platform/dialog_units.h"
#include "ui/platform/text_case.h"

namespace ui {

using namespace platform;

namespace {
constexpr int kCreationAttempts = 10;
constexpr std::uint32_t kWarningIcon = MB_ICONEXCLAMATION;
}  // namespace

WDIALOG::WDIALOG() = default;
WDIALOG::~WDIALOG() = default;

bool WDIALOG::Init(const DialogOwner& owner, std::string_view resource_name, const DialogOptions& options) {
  ReentryGuard building{Executing_Init};
  set_creating(true);
  const bool is_created = create_window(owner, resource_name, options);
  set_creating(false);
  return is_created;
}

bool WDIALOG::create_window(const DialogOwner& owner, std::string_view resource_name, const DialogOptions& options) {
  DialogHost& host = owner.host();
  WindowSystem& ws = host.ws();
  host.LocalExec();
  startup::Settings& settings = startup::settings();
  Button_Style = settings.XBUTTON_STYLE;
  aItems.clear();
  abCmd.clear();
  abValid.clear();
  abWhen.clear();
  xItems.clear();
  Special_Buttons.clear();

  const DialogTemplate* source = ws.resources().dialog(resource_name);
  if (!source) {
    ws.MESSAGE_BOX(std::string(kDialogNotFound) + std::string(resource_name), kDialogNotFoundCaption, kWarningIcon);
    return false;
  }
  attach(owner, resource_name);

  // The client window holds the dialogs as children; without one they are pop-ups of the owner.
  const Handle client = host.client_window();
  TemplateEditOptions edit_options;
  edit_options.is_resizable = options.is_resizable;
  edit_options.position_mode = options.position_mode;
  edit_options.font_face = settings.XGLOBAL_FONT_NAME;
  edit_options.traduct = settings.XTRADUCT;
  edit_options.button_style = Button_Style;
  edit_options.collects_date_fields = !settings.XSEL_DATE.is_text();
  if (options.position_mode == 1) {
    const DialogBaseUnits units = dialog_base_units(source->font);
    const Rect desktop = ws.GETWINDOWRECT(client ? client : ws.GETDESKTOPWINDOW());
    edit_options.desktop_width = units.width > 0 ? desktop.width() * 4 / units.width : 0;
  }
  EditedTemplate edited = edit_dialog_template(*source, edit_options);
  if (!client) edited.dialog.style = (edited.dialog.style & ~WS_CHILD) | WS_POPUP;
  for (const int id : edited.special_buttons) Special_Buttons.record(id);
  m_date_fields = edited.date_fields;

  const Handle parent = client ? client : owner.window();
  Handle window = 0;
  for (int attempt = 0; attempt < kCreationAttempts && window == 0; ++attempt) {
    window = ws.WDCREATEDIALOGINDIRECT(edited.dialog, parent, dialog_block());
  }
  if (!window) {
    ws.MESSAGE_BOX(std::string(kErrorCreatingDialog) + std::string(resource_name), "", kWarningIcon);
    return false;
  }
  set_window(window);
  hWnd_Public = window;
  if (!options.is_visible) ws.SHOWWINDOW(window, SW_HIDE);

  // The frame's active child from now on.
  ws.SENDMESSAGE(window, WM_CHILDACTIVATE);
  if (!ws.ISWINDOW(window)) return false;

  // Framework-drawn push buttons and date fields see their messages before their own procedures.
  Special_Buttons.bind(ws, window);
  for (const SpecialButton& button : Special_Buttons.buttons()) {
    if (!button.window) continue;
    auto level = std::make_shared<int>(0);
    *level = ws.SUBCLASSWINDOW(
        button.window,
        guarded([this, level](Handle w, MessageId m, const Param& wp, const Param& lp) -> std::int64_t {
          WindowSystem& system = this->ws();
          std::int64_t& focus_before_press = startup::settings().XOLD_DLGFOCUS;
          if (const auto answer = Special_Buttons.on_button_message(system, hWnd(), w, m, wp, lp, focus_before_press)) {
            return *answer;
          }
          const std::int64_t answer = system.CALLWINDOWPROC(*level, w, m, wp, lp);
          if (m == WM_SETTEXT || m == WM_ENABLE) Special_Buttons.refresh_window(system, w);
          return answer;
        }),
        MessageFilter::all());
  }
  for (const int id : m_date_fields) {
    const Handle edit = ws.GETDLGITEM(window, id);
    if (!edit) continue;
    auto level = std::make_shared<int>(0);
    *level = ws.SUBCLASSWINDOW(
        edit,
        guarded([this, level](Handle w, MessageId m, const Param& wp, const Param& lp) -> std::int64_t {
          if (const auto answer = DateFieldShortcuts::on_field_message(this->host(), hWnd(), w, m, wp, lp)) return *answer;
          return this->ws().CALLWINDOWPROC(*level, w, m, wp, lp);
        }),
        MessageFilter::only({WM_KEYDOWN, WM_CHAR, WM_RBUTTONDOWN, kCalendarDateChosen}));
  }

  const Handle focus = ws.GETFOCUS();
  if (focus && ws.GETPARENT(focus) == window && equals_ignoring_case(ws.GETCLASSNAME(focus), "Edit")) {
    ws.SENDMESSAGE(focus, EM_SETSEL, 0, -1);
  }
  if (options.is_visible) ws.SHOWWINDOW(window, SW_SHOW);
  return true;
}

void WDIALOG::Add(WControlWindow& control, CommandBlock command, CommandBlock valid, CommandBlock when) {
  aItems.push_back(&control);
  abCmd.push_back(std::move(command));
  abValid.push_back(std::move(valid));
  abWhen.push_back(std::move(when));
  xItems.push_back(0);
}

WControlWindow* WDIALOG::registered_control(Handle window) const {
  if (window == 0) return nullptr;
  const auto it = std::find_if(aItems.begin(), aItems.end(), [&](WControlWindow* c) { return c->hWnd() == window; });
  return it == aItems.end() ? nullptr : *it;
}

std::int64_t WDIALOG::ENDDIALOG(std::int64_t result) {
  (void)result;  // The dialog closes as if Cancel were pressed, whatever the result.
  if (Executing_Init) return 0;
  return CLOSEIT(MAKELPARAM(IDCANCEL, BN_CLICKED), 0);
}

std::int64_t WDIALOG::OK() {
  ENDDIALOG(1);
  return 1;
}

std::int64_t WDIALOG::Cancel() { return 1; }

int WDIALOG::MSGBOX(std::string_view text, std::string_view caption, std::uint32_t flags) const {
  return ws().MESSAGE_BOX(text, caption, flags);
}

std::string WDIALOG::Text() const { return hWnd() ? ws().GETWINDOWTEXT(hWnd()) : std::string(); }

void WDIALOG::_Text(std::string_view caption) const {
  if (hWnd()) ws().SETWINDOWTEXT(hWnd(), caption);
}

std::int64_t WDIALOG::CLOSEIT(const Param& wParam, const Param&) {
  if (Executing_CloseIt) return 0;
  ReentryGuard closing{Executing_CloseIt};
  const Handle window = hWnd();
  const std::int64_t id = C4W_LOWORD(wParam.number());
  if (id == WM_CLOSE && window) ws().ENDDIALOG(window, id);
  if (lNoCancel || (id != IDCANCEL && id != IDABORT) || lDestroyed || !window || !ws().ISWINDOW(window)) return 0;
  ws().SENDMESSAGE(window, WM_CLOSE);
  lDestroyed = true;
  if (ws().ISWINDOW(window)) ws().ENDDIALOG(window, id);
  // Destroying the window also delivers WM_NCDESTROY, which releases the controls and the menu.
  if (ws().ISWINDOW(window)) ws().DESTROYWINDOW(window);
  return 1;
}

std::pair<bool, std::int64_t> WDIALOG::OnCommand(const Param& wParam, const Param& lParam) {
  if (Executing_Init || Executing_CloseIt || Executing_Eval) return {false, 0};
  const auto control_window = static_cast<Handle>(lParam.number());
  if (control_window && ws().ISWINDOW(control_window)) {
    const auto it = std::find_if(aItems.begin(), aItems.end(),
                                 [&](WControlWindow* c) { return c->hWnd() == control_window; });
    if (it != aItems.end()) {
      const std::size_t index = static_cast<std::size_t>(it - aItems.begin());
      if (abCmd[index] && xItems[index] == 0) {
        ReentryGuard running{Executing_Eval};
        xItems[index] = 1;
        struct Unmark {
          std::vector<int>& marks;
          std::size_t index;
          ~Unmark() {
            if (index < marks.size()) marks[index] = 0;
          }
        } unmark{xItems, index};
        const CommandBlock block = abCmd[index];  // The block may change the registry.
        return {true, block(*this, **it, static_cast<int>(C4W_HIWORD(wParam.number())))};
      }
    }
  }
  const std::int64_t id = C4W_LOWORD(wParam.number());
  if (id == IDOK) OK();
  if (id == IDCANCEL) Cancel();
  return {false, CLOSEIT(wParam, lParam)};
}

void WDIALOG::activate_as_child() {
  DialogHost& frame = host();
  WindowSystem& ws = this->ws();
  const Handle window = hWnd();
  if (!window || !ws.ISWINDOW(window)) return;
  const Handle previous = frame.ACTIVE_CHILD;
  if (previous != window) {
    if (previous && ws.ISWINDOW(previous)) {
      ws.SENDMESSAGE(previous, WM_NCACTIVATE, 0);
      ws.SENDMESSAGE(previous, WM_MDIACTIVATE, 0);
    }
    frame.ACTIVE_CHILD = window;
    frame.SetActiveDlg(window);
    ws.SENDMESSAGE(window, WM_NCACTIVATE, 1);
    ws.SENDMESSAGE(window, WM_MDIACTIVATE, 1);
    ws.SENDMESSAGE(window, WM_ACTIVATE, WA_ACTIVE);
  }
  ws.BRINGWINDOWTOTOP(window);
  const Handle focus = ws.GETFOCUS();
  if (focus != window && ws.GETPARENT(focus) != window) {
    const Handle first = ws.GETNEXTDLGTABITEM(window, 0, false);
    ws.SETFOCUS(first ? first : window);
  }
}

std::int64_t WDIALOG::DlgProc(Handle window, MessageId message, const Param& wParam, const Param& lParam) {
  if ((message >= kActivateChildFirst && message <= kActivateChildLast) || message == WM_CHILDACTIVATE) {
    if (hWnd() == 0) set_window(window);
    activate_as_child();
  } else if (message == WM_DESTROY) {
    // The child below this one takes over when this one is gone.
    if (host().ACTIVE_CHILD == hWnd()) {
      Handle next = ws().GETWINDOW(hWnd(), GW_HWNDNEXT);
      while (next && !ws().ISWINDOWVISIBLE(next)) next = ws().GETWINDOW(next, GW_HWNDNEXT);
      host().NEXT_ACTIVE = next;
    }
  } else if (message == WM_NCDESTROY) {
    for (WControlWindow* control : aItems) control->release();
    for (auto& control : m_owned_controls) control->release();
    DialogHost& frame = host();
    if (frame.ACTIVE_CHILD == hWnd()) {
      frame.ACTIVE_CHILD = 0;
      const Handle next = std::exchange(frame.NEXT_ACTIVE, 0);
      if (next && ws().ISWINDOW(next)) ws().SENDMESSAGE(next, WM_CHILDACTIVATE);
    }
  } else if (message == WM_COMMAND) {
    const auto [is_handled, answer] = OnCommand(wParam, lParam);
    if (is_handled) return answer;
  }
  return LR_WDIALOG::DlgProc(window, message, wParam, lParam);
}

}  // namespace ui
