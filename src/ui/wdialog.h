#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control_window.h"
#include "ui/dialog_special_buttons.h"
#include "ui/lr_wdialog.h"

namespace ui {

class WDIALOG;

// The code a control runs when it sends a command: (dialog, control, notification code) → answer.
using CommandBlock = std::function<std::int64_t(WDIALOG& dialog, WControlWindow& control, int code)>;

// How a dialog is created. Business dialogs keep the defaults.
struct DialogOptions {
  bool is_tab = false;
  int position_mode = 0;  // 0 at 0, 0; 1 at the right edge of the desktop; 2 centred on (400, 200).
  bool is_visible = true;
  bool is_resizable = false;  // Keeps the sizing frame.
};

// The texts of the dialog base.
inline constexpr std::string_view kDialogNotFound = "No se encontró el diálogo ";
inline constexpr std::string_view kDialogNotFoundCaption = "Error";
inline constexpr std::string_view kErrorCreatingDialog = "Error creating dialog: ";

// The dialog with a control registry: each registered control carries the block that runs when it
// sends a command. It is created as a child of the frame's client window from an edited copy of its
// template (the program's style, font override, text replacements, owner-drawn push buttons, date
// shortcuts in edit fields), emulates the frame's child activation and closes in an orderly way
// (CLOSEIT).
//
// Commands: a command from a registered control with a block runs that block and ends there; any
// other command runs OK (identifier 1) or Cancel (2) and then CLOSEIT, and goes on to the event
// methods. So a dialog closes by itself on OK, Cancel, Escape and the close box, unless it registers
// a block for button 2 (which then must call ENDDIALOG) or sets lNoCancel.
//
// Deriving dialogs (and grid mix-ins, which take a WDIALOG& in their constructor) reach the window
// through hWnd() and ws() and register their controls with Add.
class WDIALOG : public LR_WDIALOG {
 public:
  WDIALOG();
  ~WDIALOG() override;

  // Creates the window. False (and no window) when the resource is missing, after telling the
  // operator, or when the window cannot be created. Pumps messages (LocalExec).
  bool Init(const DialogOwner& owner, std::string_view resource_name, const DialogOptions& options = {});

  // Registers a control (not owned) with the blocks for its commands; valid and when are kept, not
  // run. Requires: the control is bound to this dialog and outlives its registration.
  void Add(WControlWindow& control, CommandBlock command = {}, CommandBlock valid = {}, CommandBlock when = {});
  // Makes a control owned by the dialog, bound to item `id`, and answers it.
  template <typename Control, typename... Args>
  Control& Make(std::int64_t id, Args&&... args) {
    auto control = std::make_unique<Control>();
    control->Init(*this, id, std::forward<Args>(args)...);
    Control& made = *control;
    m_owned_controls.push_back(std::move(control));
    return made;
  }
  // The registered control bound to `window`; null when none is.
  WControlWindow* registered_control(Handle window) const;

  // Closes as if Cancel were pressed; ignored while the dialog is being built. Answers CLOSEIT's.
  std::int64_t ENDDIALOG(std::int64_t result = 2);
  std::int64_t CLOSEIT(const Param& wParam, const Param& lParam);
  std::int64_t OK() override;      // ENDDIALOG(1); answers 1.
  std::int64_t Cancel() override;  // Answers 1.
  int MSGBOX(std::string_view text, std::string_view caption, std::uint32_t flags = 0) const;
  std::string Text() const;
  void _Text(std::string_view caption) const;

  std::int64_t DlgProc(Handle window, MessageId message, const Param& wParam, const Param& lParam) override;

  // The control registry, one index per control.
  std::vector<WControlWindow*> aItems;
  std::vector<CommandBlock> abCmd, abValid, abWhen;
  std::vector<int> xItems;  // 1 while that control's command block runs.
  Handle hWnd_Public = 0;
  std::string cnID_aDlg;
  int Button_Style = 3;
  SpecialButtons Special_Buttons;
  bool Executing_Init = false;
  bool Executing_Eval = false;
  bool Executing_CloseIt = false;
  // Edit fields that got the date shortcuts.
  const std::vector<int>& date_fields() const { return m_date_fields; }

 protected:
  // WM_COMMAND: answers whether the command was handled, and the answer.
  std::pair<bool, std::int64_t> OnCommand(const Param& wParam, const Param& lParam);
  // Makes this dialog the frame's active child.
  void activate_as_child();

 private:
  bool create_window(const DialogOwner& owner, std::string_view resource_name, const DialogOptions& options);

  std::vector<std::unique_ptr<WControlWindow>> m_owned_controls;
  std::vector<int> m_date_fields;
};

// Sets a flag for one scope; an early return or a throw clears it.
class ReentryGuard {
 public:
  explicit ReentryGuard(bool& flag) : m_flag(flag) { m_flag = true; }
  ~ReentryGuard() { m_flag = false; }
  ReentryGuard(const ReentryGuard&) = delete;
  ReentryGuard& operator=(const ReentryGuard&) = delete;

 private:
  bool& m_flag;
};

}  // namespace ui
