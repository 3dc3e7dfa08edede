#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "shell/frame_wapp.h"

namespace shell {

// The multiple-document frame: the top-level window and, in its client area, the child-window client
// that holds every dialog of the program. The client leaves room for the toolbar strip above it and
// the status bar below it.
class MDIFrame : public WAPP {
 public:
  using WAPP::WAPP;
  ~MDIFrame() override;

  Handle hMDIClient = 0;
  Handle hMenu = 0;  // No menu resource is given.
  std::string MDIWndClass = "MdiClient";
  std::vector<std::int64_t> aMdiId;
  std::array<int, 4> aClient{0, 0, 0, 0};  // {left, top, right, bottom} after the last layout.
  std::string cStdIcon;
  bool LISMDI = false;
  Handle oWnd = 0;

  // Lays the child-window client out in the frame's client area.
  void UpdateClient();

 protected:
  // Creates the frame window and its child-window client. False (with the frame unusable) when the
  // message queue cannot be enlarged, the class cannot be registered or the window cannot be made.
  bool Init(std::string_view class_name, std::string_view caption, std::string_view icon, int window_menu,
            int first_child);
  bool _RegisterClass();
  void InitMDI(int window_menu, int first_child);
  std::int64_t OnSize(const Param& wParam, const Param& lParam) override;

  // Heights of the strips around the client: the toolbar strip (0 while there is none) and the status
  // bar (0 while there is none).
  virtual int toolbar_height() const { return 0; }
  virtual int status_bar_height() const { return 0; }

 private:
  std::string m_resource_library;
};

}  // namespace shell
