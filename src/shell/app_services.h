#pragma once

#include "data/wtable_session.h"
#include "ui/app_command_registry.h"
#include "transport/mail_operations.h"
#include "ui/platform/window_system.h"

namespace shell {

// What the process set up before the main frame: the window system, the one table session, the mail
// account every sender reads (filled from DEFMAIL by the frame) and the commands' dialogs. All of them
// outlive the frame.
struct AppServices {
  ui::platform::WindowSystem& windows;
  data::TableSession& tables;
  transport::MailAccount& mail_account;
  ui::CommandRegistry& commands;
};

}  // namespace shell
