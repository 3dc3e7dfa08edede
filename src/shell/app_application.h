#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "data/wtable_retry.h"
#include "data/wtable_session.h"
#include "notify/mailserver.h"
#include "shell/app_message_box_sink.h"
#include "shell/app_services.h"
#include "shell/frame_principal.h"
#include "transport/mail_operations.h"

namespace shell {

// The process as MAIN builds it on a window system: the settings with their defaults, the one table
// session (its operator messages are the frame's message boxes), the mail account, the commands'
// dialogs and the main frame.
//
// Puts every setting back to its default when built; clears what the settings point at (the frame,
// the menu, the keep-alive table) when destroyed, before the tables close.
class Application {
 public:
  // Requires: `windows` outlives the application.
  Application(ui::platform::WindowSystem& windows, const std::filesystem::path& program_folder);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The start-up sequence up to the message loop: storage, keep-alive table, the frame, its showing
  // and the date settings. False when the frame window could not be made. Throws RuntimeError when a
  // settings table of the site is missing.
  bool start();
  // The message loop; once it ends every table is committed and closed. Returns the exit status.
  int run();

  // Where the Notification Center echoes its status fields as lines (headless: standard error, since
  // nobody sees the window). Empty: no echo.
  void set_status_echo(std::function<void(std::string_view line)> echo) { m_center.status_echo = std::move(echo); }

  ui::CommandRegistry& commands() { return m_commands; }
  data::TableSession& tables() { return m_tables; }
  transport::MailAccount& mail_account() { return m_mail_account; }
  // Requires: start() was called.
  Principal& frame() { return *m_frame; }

 private:
  void register_commands();
  void choose_storage();
  void open_keep_alive_table();
  void fade_in();

  ui::platform::WindowSystem& m_windows;
  WindowMessageBoxSink m_messages;
  data::SteadyRetryClock m_retry_clock;
  data::TableSession m_tables;
  transport::MailAccount m_mail_account;
  ui::CommandRegistry m_commands;
  AppServices m_services;
  notify::CenterServices m_center;
  std::unique_ptr<Principal> m_frame;
};

}  // namespace shell
