#include "shell/app_application.h"

#include <cstdio>
#include <system_error>

#include "data/use_table.h"
#include "notify/e_msgs_window.h"
#include "shell/app_multitask.h"
#include "shell/frame_messages.h"
#include "shell/menu_construction.h"
#include "startup/settings.h"
#include "startup/system_tables.h"

namespace shell {

using namespace ui::platform;

namespace {

data::TableSettings table_settings(const std::filesystem::path& program_folder) {
  data::TableSettings settings;
  settings.program_folder = program_folder;
  return settings;
}

}  // namespace

Application::Application(WindowSystem& windows, const std::filesystem::path& program_folder)
    : m_windows(windows),
      m_messages(windows),
      m_tables(table_settings(program_folder), m_messages, m_retry_clock),
      m_services{windows, m_tables, m_mail_account, m_commands},
      m_center{m_tables, m_mail_account, [&windows](int rounds) { MULTITASK(windows, rounds); }, {}, {}} {
  startup::reset_settings();
  startup::Settings& s = startup::settings();
  s.program_folder = data::ProgramFolder(program_folder);
  s.PATH = (program_folder / "").string();
  register_commands();
}

void Application::register_commands() {
  m_commands.add(kOutboxLogCommand, [this](ui::DialogHost& host) {
    notify::open_outbox_log(host, m_tables, startup::settings().XU_COMP);
  });
  m_commands.add(kNotificationCenterCommand, [this](ui::DialogHost& host) {
    notify::MAILSERVER::NEW(host, "MAILSERVER", m_center);
  });
  // The programmable mailboxes (4687, with their "Editar" operations) register here once their
  // dialog exists.
}

Application::~Application() {
  startup::Settings& s = startup::settings();
  // The settings outlive the application: nothing in them may point at what dies here.
  if (auto* keep_alive = std::any_cast<std::shared_ptr<data::WDBTable>>(&s.XDUMMYADSTABLE)) {
    data::KILLTABLA(keep_alive->get());
  }
  s.XDUMMYADSTABLE.reset();
  s.OCURMENU.reset();
  s.OSTACK.reset();
  s.OAPP.reset();
  s.XAPPSELF.reset();
  s.XAPPHANDLE = 0;
  m_frame.reset();
}

void Application::choose_storage() {
  startup::Settings& s = startup::settings();
  std::error_code ec;
  if (std::filesystem::exists(s.program_folder.find("ADS.DEF"), ec)) {
    // FIXME: server mode (ADS.DEF names the database server); until its client exists the site's
    // local tables are used.
    std::fprintf(stderr, "ADS.DEF found: this build has no database server client; using the local tables\n");
  }
  s.DEF_RDD = "DBFCDX";
  startup::sync_table_settings(s, m_tables);
}

void Application::open_keep_alive_table() {
  startup::Settings& s = startup::settings();
  std::error_code ec;
  if (!std::filesystem::exists(s.program_folder.find("BASES/DUMMYADS.DBF"), ec)) return;
  s.XDUMMYADSTABLE = std::shared_ptr<data::WDBTable>(data::USE(m_tables, {}, "DUMMYADS"));
}

void Application::fade_in() {
  // The window system has no translucent windows, so the fade is the plain maximised show; with a
  // compositor the display back end may animate it.
  m_windows.SHOWWINDOW(m_frame->hwnd, SW_SHOWMAXIMIZED);
}

bool Application::start() {
  startup::Settings& s = startup::settings();
  // Spanish texts, the default code page and hidden deleted rows are how the data layer always works.
  choose_storage();
  s.XREMOTE_SESSION = 0;  // No remote-desktop sessions on this system: the frame may fade in.
  s.PATH = (s.program_folder.root() / "").string();
  open_keep_alive_table();
  s.XLOGOFILE = "";  // The site's logo is a deployment value; none is set here.

  m_frame = std::make_unique<Principal>(m_services);
  if (!m_frame->Init("QUARVELT32", "QUARVELT32")) return false;
  if (s.XDOTRANSPARENCY == 1 && s.XREMOTE_SESSION == 0) {
    fade_in();
  } else {
    m_windows.SHOWWINDOW(m_frame->hwnd, SW_SHOWMAXIMIZED);
  }
  m_frame->LUSENOEDITCOLOR(true);
  m_frame->NETWORKREFRESH(false);
  m_frame->SET_CUTTEXTMODE(true);
  // Dates: DTOC gives "dd/mm/yy" and two-digit years count from the epoch 1980 everywhere in the
  // data layer, which is the setting the program runs with; there is nothing to switch.
  return true;
}

int Application::run() {
  const int code = m_frame->Exec22();
  try {
    m_tables.areas().close_all();
  } catch (const data::RuntimeError& error) {
    std::fprintf(stderr, "closing the tables: %s\n", error.what());
  }
  return code;
}

}  // namespace shell
