#pragma once

#include <cstdint>

#include "ui/platform/message.h"

namespace ui::platform {

class WindowSystem;

// The class procedures of the predefined window classes: each answers the messages of
// its control kind and keeps that control's state in the window table. A window whose
// class was registered by the program gets `default_window`.
class ControlProcedures {
 public:
  static std::int64_t default_window(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                                     const Param& lParam);
  static std::int64_t button(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                             const Param& lParam);
  static std::int64_t edit(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                           const Param& lParam);
  static std::int64_t static_text(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                                  const Param& lParam);
  static std::int64_t combo_box(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                                const Param& lParam);
  static std::int64_t list_box(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                               const Param& lParam);
  static std::int64_t scroll_bar(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                                 const Param& lParam);
  static std::int64_t tree_view(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                                const Param& lParam);

  // A person clicked the button: auto check boxes and radio buttons change, then the
  // parent gets BN_CLICKED. BM_CLICK does the same.
  static void click_button(WindowSystem& ws, Handle button);
  // Checks the radio button and unchecks the others of its group, without notifying.
  static void check_radio_in_group(WindowSystem& ws, Handle button);

 private:
  static std::int64_t list_message(WindowSystem& ws, Handle window, MessageId message, const Param& wParam,
                                   const Param& lParam, bool is_combo);
};

}  // namespace ui::platform
