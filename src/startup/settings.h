#pragma once

#include <any>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/clock.h"
#include "data/program_folder.h"
#include "data/value.h"

namespace startup {

// Members keep the business names exactly (XEMAILHOST, XU_COMP, ...): every layer above reads and
// writes them by those names. Values the business code leaves loosely typed (empty until a login or a
// settings table fills them, or text in one place and a number in another) are data::Value; slots for
// objects of the layers above (the main frame, the menu under construction, a loaded library) are
// std::any, so that this layer needs none of their types. Their owners decide what they put there.

// {1 = temporary copies on a local disk, that disk folder}, filled from F_SYS.
struct TempPathSetting {
  int is_local = 0;    // XTEMPPATH[1]
  std::string folder;  // XTEMPPATH[2], stored without a trailing separator.
};

// The throttle of the message pump: it pumps on every `every`-th call; 0 pumps on every call.
struct MultitaskSetting {
  int calls = 1;  // XMULTITASK[1], the running call count.
  int every = 3;  // XMULTITASK[2], from F_SYS->MULTITASK.
};

// A table registered for full-text search, from F_TXT_S. The table session (data::TableSession) owns
// the registration the locking calls use; the frame keeps a copy of its list here.
struct TextSearchFile {
  std::string table;
  std::string document_field;
};

// The client settings ADS.DEF lines 21 to 23 asked for; the server client applies them when it
// registers its driver. Empty means the line was absent or blank, so the client keeps its default.
struct AdsClientSettings {
  std::optional<bool> is_rights_checking;      // Line 21; start-up turns checking off again after connecting.
  std::optional<bool> is_proprietary_locking;  // Line 23; false is the compatible locking mode.
};

using RgbTriple = std::array<int, 3>;

// The process-wide settings: every global the start-up declares, with its default. Reached through
// settings(); the user-interface thread is the only one that touches it.
struct Settings {
  // Application and frame.
  std::any OAPP;                   // The main frame object.
  std::int64_t XAPPHANDLE = 0;     // Window handle of the main frame, owner of every message box; 0 = none.
  std::any XAPPSELF;               // The main frame again, before OAPP is set.
  std::string PATH;                // The program folder with a trailing separator; a scratch path afterwards.
  std::string EXT_MODULO = "XXX";  // Module code; "MLS" once the mail server's frame is built.
  int XREMOTE_SESSION = 0;
  int XDOTRANSPARENCY = 1;
  std::any XSPLASHOBJ;
  std::string XLOGOFILE;
  std::any OSTACK;    // Stack of enclosing menus while a menu is built.
  std::any OCURMENU;  // The menu under construction, then the menu bar in force.
  int SNID = 30000;   // Last automatic control or command identifier; the first handed out is 30001.
  int XCONSTRUCTINGMENU = 0;
  std::any XTBARSELF;
  std::int64_t XOLD_DLGFOCUS = 0;  // Control that had the focus before a button press.
  std::string XVIRTUALTEXT;        // Text typed on the on-screen keyboard for a list.
  data::Value IN_CH_STRUC;         // 1 while a database structure change runs.
  data::ValueList XWIN_ATRIB{data::Value(0), data::Value(0)};

  // Session and user. A module without login (the mail server) keeps these defaults.
  std::string USER_NAME = std::string(10, ' ');
  int USER_NUMBER = 1;
  std::string XUSER_ABREVIA;
  data::Value XU_COMP;  // Current business code (field NEGOCIO), empty until one is chosen.
  int XIDIOMA = 1;
  data::Value XID_MENU{0};  // Command of the dialog being opened; NEW_LOG_DIAG consumes it.
  data::ValueList XDBACCESS{data::Value(""), data::Value(),
                            data::Value()};  // {sub-base folder, code, unused}
  data::Value XSUPERACCESS;
  data::Value XUSER_NUMBER;
  data::Value XFECHA_CLAVE;
  data::Value XNO_SALIR;
  data::Value XDO_CHAT;
  data::Value XREC_E_S;  // The row of the session log to close; empty when none was recorded.
  data::Value XMANEJO_TC;
  data::ValueList XTRADUCT;  // {search text, replacement, embedded flag} of the current business.

  // E-mail, loaded from DEFMAIL.
  std::string XEMAILHOST;
  std::string XEMAILNAME;
  std::string XEMAILADDR;
  std::string XEMAIL_ID = "Desconocido";
  std::string XEMAILDEST;
  int XEMAILSEND = 0;
  int XEMAILAUTH = 0;
  std::string XEMAIL_AU;
  std::string XEMAIL_AP;
  std::string XEMAIL_CC1;
  std::string XEMAIL_CC2;
  int XEMAIL_IMAP = 0;
  data::Value XEMAIL_SMTP_PORT;  // Empty, or the number from DEFMAIL->SMTP_PORT.
  data::Value XEMAIL_POP3_PORT;
  std::any XSEE32LIB;         // The loaded e-mail engine.
  data::Value XSEECONNECTED;  // Empty while no connection is open, else the connect result.
  std::any XCURL_DLL;
  std::any HLIBFCE4C;

  // Data access.
  std::string DEF_RDD;  // "ADSCDX" (server) or "DBFCDX" (local files), set by start-up.
  std::vector<std::string> XADSPARAMS = std::vector<std::string>(26);  // The lines of ADS.DEF.
  std::string XADSDIRECTORY;
  std::optional<bool> XADS_MYCONNECTION;  // Empty when no server is used.
  long XADSCACHERECORDS = 0;
  AdsClientSettings ads_client;  // The rest of what ADS.DEF asked of the server client.
  TempPathSetting XTEMPPATH;
  std::vector<TextSearchFile> XTXT_SRCH_FILES;
  std::string XADS_T_ERR;
  std::any XDUMMYADSTABLE;  // Keep-alive table handle, held for the life of the process.

  // Interface and printing, partly from F_SYS.
  RgbTriple XO_COLOUR{192, 192, 192};
  RgbTriple XH_COLOUR{200, 0, 0};
  int XGRAYED = 1;
  int XBUTTON_STYLE = 3;
  int XFLAT_SHOW = 1;
  int XSIM_PRINT = 1;
  std::string XPRINT_FONT = "Times New Roman";
  std::optional<std::string> XGLOBAL_FONT_NAME;
  double XGLOBAL_FONT_SIZE = 8;
  std::string grid_font;        // Font of the data grids, F_SYS->T_FONT.
  double grid_font_size = 8;   // Its size, F_SYS->T_SIZE.
  double XDLGSIZE = 0;
  double XDGROUPLIMIT = 10000;
  int XNUMCOLORS = 256;
  MultitaskSetting XMULTITASK;
  int XINMULTITASK = 0;  // Nonzero while the message pump runs; it refuses to nest.
  int XGARBAGECOUNT = 0;
  std::string XLOGO2;
  std::vector<std::string> XAVAILABLE_FONTS{"Arial",     "Arial Black", "Arial Narrow",    "AvantGarde",
                                            "Century",   "Courier",     "Calibri",         "Cambria",
                                            "Eurostyle", "Tahoma",      "Times New Roman", "Helvetica"};
  data::Value XFIESTAHOUSECOUNT;
  data::Value XSEL_DATE;        // "NO" when date fields are not analysed.
  data::Value XREFRESH_BROWSE;  // 1 = grids refresh on their timer.
  data::Value XWS_SOCKET;

  // Not business globals: where XDATE, XTIME and the heartbeat take "now" and the program folder from.
  std::shared_ptr<const data::Clock> workstation_clock = std::make_shared<data::WorkstationClock>();
  data::ServerClockQuery server_clock;  // Set by the server client while its connection is open.
  data::ProgramFolder program_folder{"."};

  // Error handling: true while the error window is open, so a second error opens none.
  bool XINERRORSYS = false;

  // The words of the last mouse-move message the frame saw. Names as the business code spells them.
  std::int64_t __L_LPARAM = 0;
  std::int64_t __L_WPARAM = 0;
  std::int64_t __L_LOLPARAM = 0;
  std::int64_t __L_HILPARAM = 0;
  std::int64_t __L_LOWPARAM = 0;
  std::int64_t __L_HIWPARAM = 0;
};

// The one settings object of the process. The reference stays valid for the life of the process.
Settings& settings();

// Puts every setting back to its default; start-up calls it first, tests between cases.
void reset_settings();

}  // namespace startup
