#pragma once

#include <memory>

#include "shell/frame_lr_app.h"
#include "shell/menu_objects.h"

namespace shell {

// The application window with the program's message loop and its menu: menu commands reach the
// item of the bar in force and run its action.
class WAPP : public LR_APP {
 public:
  using LR_APP::LR_APP;
  ~WAPP() override;

  // The message loop of the whole program. Returns the code of the quit message once the process is
  // to end or the frame window is gone. Every handler of the program runs inside it.
  int Exec22();

  // Posts the system close command to the frame (the operator's "close").
  void QUIT();

  // Records the words of a mouse move for the business code, then answers as LR_APP does.
  std::int64_t WndProc(int level, Handle window, MessageId message, const Param& wParam,
                       const Param& lParam) override;

  // The menu bar in force; null before the first MenuSet.
  std::unique_ptr<WMenu> MENU;
  bool MDI = true;
  bool MODAL = false;

 protected:
  // Runs the action of the menu item with the command's identifier, or tells the operator that the
  // menu has no such item.
  void OnCommand(const Param& wParam, const Param& lParam) override;

 private:
  Handle m_pending_list = 0;  // A browse list scrolled by the wheel, whose scroll ends at the next timer.
};

}  // namespace shell
