#include "ui/dialog_box.h"

namespace ui {

std::int64_t DIALOG_BOX(DialogHost& host, std::string_view resource_name, platform::Handler block) {
  platform::WindowSystem& ws = host.ws();
  const Handle owner = ws.main_frame() ? ws.main_frame() : host.frame_window();
  return ws.DIALOGBOX(resource_name, owner, std::move(block));
}

}  // namespace ui
