#include "shell/frame_principal.h"

#include <filesystem>

#include "data/program_folder.h"
#include "data/record_change.h"
#include "data/txt_srch.h"
#include "data/use_table.h"
#include "shell/frame_alarm_window.h"
#include "shell/frame_defmail.h"
#include "shell/frame_messages.h"
#include "shell/frame_module_table.h"
#include "shell/frame_shutdown_request.h"
#include "shell/frame_temp_folders.h"
#include "shell/menu_set.h"
#include "startup/clock_globals.h"
#include "startup/log_diag.h"
#include "startup/settings.h"
#include "startup/system_tables.h"

namespace shell {

using namespace ui::platform;

namespace {

constexpr std::uint32_t kShutdownCheckMs = 60'000;
constexpr std::uint32_t kCountdownTickMs = 30'000;
constexpr std::uint32_t kCountdownMs = 300'000;
constexpr int kTrueColour = -1;  // Display colours: grids get the true-colour defaults.

// A business flag is set when it holds a nonzero number or true. An empty flag (never assigned, as in
// a module without login) is not set.
bool is_set(const data::Value& flag) {
  return (flag.is_number() && flag.number() != 0) || (flag.is_logical() && flag.logical());
}

bool is_one(const data::Value& flag) { return flag.is_number() && flag.number() == 1; }

// A structure change of the database holds every program back from stopping half-way.
bool is_changing_structure() { return is_one(startup::settings().IN_CH_STRUC); }

}  // namespace

Principal::Principal(AppServices& services) : MDIFrame(services) {}

Principal::~Principal() = default;

bool Principal::Init(std::string_view class_name, std::string_view caption) {
  startup::Settings& s = startup::settings();
  data::TableSession& tables = services().tables;
  WindowSystem& ws = windows();

  Por_Salir = 0;
  InWndProc = 0;
  Activo = 1;
  ID_MODULO = std::string(kMailServerModule);
  Do_Login = true;

  std::string frame_caption(caption);
  if (const ModuleRow* module = find_module(ID_MODULO)) {
    frame_caption = std::string(module->caption);
    s.EXT_MODULO = std::string(module->extension);
    Do_Login = module->does_login;
  }
  startup::sync_table_settings(s, tables);

  if (!MDIFrame::Init(class_name, frame_caption, "MDIFRAMEICON", 1, 1000)) return false;

  s.XAPPHANDLE = hwnd;
  s.XAPPSELF = static_cast<LR_APP*>(this);
  oApp = this;
  ws.set_main_frame(hwnd);

  LOAD_DEFMAIL(s, tables, services().mail_account);
  startup::load_system_tables(s, tables, kTrueColour);
  startup::sync_table_settings(s, tables);

  MenuSet(0, nullptr, data::Value());
  ACT_UID = -1;

  {
    const std::unique_ptr<data::WDBTable> businesses = data::USE(tables, {}, "NEGOCIOS", "NEGOCIOS");
    businesses->Seek(data::Value(""));
    if (businesses->FieldPos("MANEJO_TC") != 0) s.XMANEJO_TC = businesses->FieldGet("MANEJO_TC");
  }

  clean_temp_folder(s.XTEMPPATH, s.EXT_MODULO);
  DoSubClPr(hwnd);
  ws.POSTMESSAGE(hwnd, kStartupCommand);
  StatusBar_ = StatusBar();
  ws.SETTIMER(hwnd, kShutdownCheckTimer, kShutdownCheckMs);
  load_text_search();
  return true;
}

void Principal::load_text_search() {
  startup::Settings& s = startup::settings();
  data::TableSession& tables = services().tables;
  m_text_search = data::start_text_search(tables, static_cast<LR_APP*>(this), s.XU_COMP.text());
  if (!m_text_search) return;
  s.XTXT_SRCH_FILES.clear();
  for (const data::TextSearchFile& file : tables.XTXT_SRCH_FILES) {
    s.XTXT_SRCH_FILES.push_back(startup::TextSearchFile{file.table, file.document_field});
  }
}

void Principal::DoSubClPr(Handle window) {
  auto next = std::make_shared<int>(0);
  *next = windows().SUBCLASSWINDOW(
      window,
      [this, next](Handle handle, MessageId message, const Param& wParam, const Param& lParam) {
        return WndProcPR(*next, handle, message, wParam, lParam);
      },
      MessageFilter::only({WM_MENURBUTTONUP, 123, WM_RBUTTONDOWN, WM_MENUSELECT, kTimer1Tick, kTimer2Tick,
                           kCountdownTick, 2218, kStartupCommand, WM_TIMER, WM_NCDESTROY, 28, WM_NCACTIVATE,
                           kSessionLock, kRightsCaptureOn, kRightsCaptureOff, WM_CLOSE}));
}

std::int64_t Principal::WndProcPR(int level, Handle window, MessageId message, const Param& wParam,
                                  const Param& lParam) {
  WindowSystem& ws = windows();
  if (InWndProc == 1 || is_ending()) return ws.CALLWINDOWPROC(level, window, message, wParam, lParam);
  struct Guard {
    int& flag;
    ~Guard() { flag = 0; }
  } guard{InWndProc};
  InWndProc = 1;

  switch (message) {
    case WM_CLOSE:
      Salir();  // The base procedure asks again through ONCLOSE; OK at either question ends the process.
      break;
    case WM_NCACTIVATE:
      Activo = wParam.number() == 0 ? 0 : 1;
      break;
    case kStartupCommand:
      start_up_command();
      break;
    case WM_TIMER:
      switch (wParam.number()) {
        case 1: ws.POSTMESSAGE(hwnd, kTimer1Tick); break;
        case kShutdownCheckTimer: ws.POSTMESSAGE(hwnd, kTimer2Tick); break;
        case kCountdownTimer: ws.POSTMESSAGE(hwnd, kCountdownTick); break;
        default: break;
      }
      break;
    case kTimer1Tick:
    case kTimer2Tick:
      CHECK_QUIT();
      break;
    case kCountdownTick:
      countdown_tick();
      break;
    case WM_MENURBUTTONUP:
    case WM_RBUTTONDOWN:
      if (is_supervisor() && MENU && MENU->GetItem(cual)) ws.POSTMESSAGE(hwnd, WM_MENUSELECT, cual, 99);
      break;
    case WM_MENUSELECT:
      if (is_supervisor()) {
        cual = static_cast<std::uint32_t>(C4W_LOWORD(wParam.number()));
        if (lParam.number() == 99) {
          if (const ui::AccessLogViewer* viewer = services().commands.access_log_viewer()) (*viewer)(*this, cual);
        }
      }
      break;
    default:
      break;  // 2223, 1030 and 1031: the mail server is exempt from the session lock and has no rights capture.
  }
  InWndProc = 0;
  return ws.CALLWINDOWPROC(level, window, message, wParam, lParam);
}

void Principal::start_up_command() {
  windows().POSTMESSAGE(hwnd, WM_COMMAND, kNotificationCenterCommand, 0);
  Show(SW_SHOWMINIMIZED);
}

bool Principal::is_supervisor() const { return is_one(startup::settings().XSUPERACCESS); }

void Principal::CHECK_QUIT() {
  if (is_changing_structure() || Por_Salir != 0) return;
  startup::Settings& s = startup::settings();
  const std::filesystem::path file = s.program_folder.find(kShutdownRequestFile);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return;
  const data::Result<std::string> bytes = data::read_file_start(file, kShutdownRequestBytes);
  if (!bytes) return;  // Being rewritten by the administration program: looked at again in a minute.
  const ShutdownRequest request = read_shutdown_request(*bytes);
  if (request.cancels_exemptions) {
    s.XNO_SALIR = data::Value(0);
    s.XSUPERACCESS = data::Value(0);
  }
  if (!request.stops_module) return;
  WindowSystem& ws = windows();
  if (!is_set(s.XNO_SALIR) && !is_set(s.XSUPERACCESS)) {
    open_alarm_window(ws, hwnd,
                      {"Debe salir del sistema en máximo 5 minutos!",
                       "Pasados los 5 minutos, el sistema automáticamente", "se cerrará."});
    Por_Salir = 1;
    ws.SETTIMER(hwnd, kCountdownTimer, kCountdownTickMs);
    Time_Salir = data::Value(static_cast<double>(ws.GETTICKCOUNT()));
  } else if (Time_Salir.is_empty()) {
    open_alarm_window(ws, hwnd,
                      {"Se ha solicitado a todos los usuarios", "salir del Sistema.",
                       "En _su_ calidad de Supervisor, Ud. NO será obligado"});
    Time_Salir = data::Value(startup::XTIME());
  }
}

void Principal::countdown_tick() {
  WindowSystem& ws = windows();
  if (is_changing_structure()) {
    ws.KILLTIMER(hwnd, kCountdownTimer);
    return;
  }
  if (is_supervisor() || !Time_Salir.is_number()) return;
  // Unsigned 32-bit difference: right across the tick counter's wrap-around after 49.7 days.
  const auto started = static_cast<std::uint32_t>(static_cast<std::int32_t>(Time_Salir.number()));
  const auto elapsed = static_cast<std::uint32_t>(ws.GETTICKCOUNT()) - started;
  if (elapsed >= kCountdownMs) EXIT_LOGIN();
}

bool Principal::Salir() {
  if (is_ending()) return true;
  const int answer =
      windows().MESSAGE_BOX("¿Desea salir de la aplicación?", "Cierre de Aplicación", MB_OKCANCEL | MB_ICONQUESTION);
  if (answer != IDOK) return false;
  Exit();
  return true;
}

void Principal::Exit() {
  if (is_ending()) return;
  LOGOUT_USER();
  EXIT_LOGIN();
}

void Principal::EXIT_LOGIN() {
  if (is_ending()) return;
  windows().KILLTIMER(hwnd, kShutdownCheckTimer);
  hFont = 0;
  startup::Settings& s = startup::settings();
  if (auto* keep_alive = std::any_cast<std::shared_ptr<data::WDBTable>>(&s.XDUMMYADSTABLE)) {
    data::KILLTABLA(keep_alive->get());
    s.XDUMMYADSTABLE.reset();
  }
  end_process(0);
}

void Principal::LOGOUT_USER() {
  startup::Settings& s = startup::settings();
  if (s.XREC_E_S.is_empty()) return;
  data::TableSession& tables = services().tables;
  const std::unique_ptr<data::WDBTable> sessions = data::USE(tables, {}, "LOG_E_S");
  sessions->GoTo(static_cast<std::uint32_t>(s.XREC_E_S.number()));
  data::LOCK_FOR_MODIFY(tables);
  sessions->put("FECHA_SAL", data::Value(startup::XDATE()));
  sessions->put("HORA_SAL", data::Value(startup::XTIME()));
  data::UNLOCK_FOR_MODIFY(tables);
  data::KILLTABLA(sessions.get());
  clean_temp_folder(s.XTEMPPATH, s.EXT_MODULO);
}

void Principal::ADS_xINFO() {
  if (startup::settings().DEF_RDD != "ADSCDX") {
    windows().MESSAGE_BOX("Servidor Advantage no disponible...", "", MB_OK);
    return;
  }
  // FIXME: the server's sessions, version, locking scheme and record cache, once the server client exists.
}

void Principal::SALIR_M() { windows().SENDMESSAGE(hwnd, WM_CLOSE); }

int Principal::toolbar_height() const {
  if (Toolbar == 0) return 0;
  return windows().GETWINDOWRECT(Toolbar).height();
}

void Principal::MenuSet(int key, ui::WDIAG* dialog, const data::Value& business) {
  shell::MenuSet(*this, key, dialog, data::Value(), business);
}

void Principal::NEW_LOG_DIAG(ui::LR_WDIALOG& dialog, std::string_view dialog_name) {
  startup::Settings& s = startup::settings();
  startup::NEW_LOG_DIAG(s, services().tables, *s.workstation_clock, &dialog, dialog_name);
}

void Principal::LocalExec() {
  data::WorkAreas& areas = services().tables.areas();
  const int area = areas.current();
  ui::DialogHost::LocalExec();
  if (area >= 1) areas.select(area);
}

}  // namespace shell
