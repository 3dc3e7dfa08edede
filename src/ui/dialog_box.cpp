#include "ui/dialog_box.h"

#include <string>

namespace ui {

using namespace platform;

std::int64_t DIALOG_BOX(DialogHost& host, std::string_view resource_name, Handler block) {
  WindowSystem& ws = host.ws();
  const Handle owner = ws.main_frame() ? ws.main_frame() : host.frame_window();
  // The dialog is in the registry of open dialogs while it is open, as a modal one, so the frame
  // asks it to close instead of closing itself.
  Handler registered = [&host, name = std::string(resource_name), block = std::move(block)](
                           Handle window, MessageId message, const Param& wParam, const Param& lParam) -> std::int64_t {
    if (message == WM_INITDIALOG) host.AddDlgHandle(window, 1, name);
    if (message == WM_DESTROY) host.DeleteDlgHandle(window);
    return block ? block(window, message, wParam, lParam) : 0;
  };
  return ws.DIALOGBOX(resource_name, owner, std::move(registered));
}

}  // namespace ui
