#include "startup/system_tables.h"

#include <fstream>

#include "data/text.h"
#include "data/use_table.h"

namespace startup {
namespace {

// The value of an optional field, or nothing when the table lacks it.
const data::Value* optional_field(data::WDBTable& table, const char* name, data::Value& out) {
  if (table.FieldPos(name) == 0) return nullptr;
  out = table.FieldGet(name);
  return &out;
}

double number_of(data::WDBTable& table, const char* name) { return table.FieldGet(name).number(); }

// Where a path's drive letter sits: the first character of its first component.
std::size_t drive_position(const std::string& path) {
  const std::size_t first = path.find_first_not_of("/\\");
  return first == std::string::npos ? path.size() : first;
}

void apply_colours(data::WDBTable& f_sys, int display_colours, Settings& settings) {
  if (f_sys.FieldPos("RGB1") == 0) return;
  // Displays of 256 colours or more (true colour reports -1 and counts here too) take the first
  // two triples; the others the last two.
  const int first = display_colours <= 20 ? 1 : 7;
  auto triple = [&](int from, RgbTriple& target) {
    RgbTriple read{};
    bool is_set = false;
    for (int i = 0; i < 3; ++i) {
      const std::string field = "RGB" + std::to_string(from + i);
      read[static_cast<std::size_t>(i)] =
          f_sys.FieldPos(field) ? static_cast<int>(number_of(f_sys, field.c_str())) : 0;
      is_set = is_set || read[static_cast<std::size_t>(i)] != 0;
    }
    if (is_set) target = read;
  };
  triple(first, settings.XO_COLOUR);
  triple(first + 3, settings.XH_COLOUR);
}

}  // namespace

bool DiskTempFolderProbe::create_probe_file(const std::string& folder) {
  std::ofstream probe(std::filesystem::path(folder) / "YES", std::ios::binary | std::ios::trunc);
  return static_cast<bool>(probe << "YES");
}

bool DiskTempFolderProbe::create_folder(const std::string& folder) {
  std::error_code ec;
  return std::filesystem::create_directory(folder, ec) && !ec;
}

char next_drive_letter(char letter) {
  if (letter >= 'A' && letter < 'I') return static_cast<char>(letter + 1);
  if (letter == 'I') return 'C';
  return letter;
}

TempPathSetting choose_local_temp_folder(const std::string& folder, TempFolderProbe& probe,
                                         data::MessageBoxSink& messages) {
  std::string path = folder;
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  const std::size_t at = drive_position(path);
  for (int round = 0; round < 10; ++round) {
    const char letter =
        at < path.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(path[at]))) : ' ';
    if (letter == ' ') {
      messages.MESSAGE_BOX(
          "Error creando directorio temporal de archivos...\rNo hay Unidades de Disco Duro Disponibles o "
          "accesibles",
          "Error", data::MB_OK | data::MB_ICONSTOP);
      break;
    }
    if (probe.create_probe_file(path) || probe.create_folder(path)) {
      (void)probe.create_folder(path + "/TEMP");
      return TempPathSetting{1, path};
    }
    const char next = next_drive_letter(letter);
    if (next != letter) path[at] = next;  // Other letters stay, and so does the spelling of the path.
  }
  return TempPathSetting{0, path};
}

void apply_f_sys(Settings& settings, data::WDBTable& f_sys, int display_colours, TempFolderProbe& probe,
                 data::MessageBoxSink& messages) {
  f_sys.GoTop();
  if (f_sys.Eof()) return;  // No settings row: every default stands.
  data::Value value;

  // 1. Fonts.
  settings.grid_font = data::ALLTRIM(f_sys.FieldGet("T_FONT").text());
  settings.grid_font_size = optional_field(f_sys, "T_SIZE", value) ? value.number() : 8;
  if (optional_field(f_sys, "P_FONT", value)) {
    const std::string font = data::ALLTRIM(value.text());
    settings.XPRINT_FONT = font.empty() ? "Calibri" : font;
  }
  if (optional_field(f_sys, "D_FONT", value)) {
    const std::string font = data::ALLTRIM(value.text());
    settings.XGLOBAL_FONT_NAME = font.empty() ? std::nullopt : std::optional<std::string>(font);
  }

  // 2. Switches and numbers.
  if (optional_field(f_sys, "FIESTA1", value)) settings.XFIESTAHOUSECOUNT = value;
  if (optional_field(f_sys, "NO_DATE", value) && value.number() == 1) settings.XSEL_DATE = data::Value("NO");
  if (optional_field(f_sys, "REFRESH_B", value))
    settings.XREFRESH_BROWSE = data::Value(value.number() == 1 ? 0 : 1);
  if (optional_field(f_sys, "WS_SOCKET", value)) {
    settings.XWS_SOCKET = data::Value(value.number() != 0 ? value.number() : 4129.0);
  }
  settings.XGRAYED = static_cast<int>(number_of(f_sys, "GRAYED"));
  if (optional_field(f_sys, "MULTITASK", value))
    settings.XMULTITASK = MultitaskSetting{1, static_cast<int>(value.number())};
  if (optional_field(f_sys, "DLGSIZE", value)) settings.XDLGSIZE = value.number();
  if (optional_field(f_sys, "DGROUP", value))
    settings.XDGROUPLIMIT = value.number() == 0 ? 6000 : value.number();
  if (optional_field(f_sys, "NOFLATBUTT", value) && value.number() == 1) settings.XFLAT_SHOW = 0;
  if (optional_field(f_sys, "NO_SIM_P", value) && value.number() == 1) settings.XSIM_PRINT = 0;
  (void)f_sys.FieldGet("MAXCOMMIT");  // Read by the suite; nothing here depends on it.

  // 3. The local folder for temporary files. Only a table that switches it on is tried, so a site
  // without one is not told about a missing drive at every start.
  if (optional_field(f_sys, "LOCAL_TEMP", value)) {
    data::Value path;
    const std::string folder =
        optional_field(f_sys, "LOCAL_PATH", path) ? data::ALLTRIM(path.text()) : std::string();
    settings.XTEMPPATH = TempPathSetting{static_cast<int>(value.number()), folder};
    if (settings.XTEMPPATH.is_local == 1)
      settings.XTEMPPATH = choose_local_temp_folder(folder, probe, messages);
  }

  // 4. Colours.
  apply_colours(f_sys, display_colours, settings);
}

void load_fonts(Settings& settings, data::WDBTable& fonts) {
  settings.XAVAILABLE_FONTS.clear();
  for (fonts.GoTop(); !fonts.Eof(); fonts.Skip(1)) {
    settings.XAVAILABLE_FONTS.push_back(data::ALLTRIM(fonts.FieldGet("T_FONT").text()));
  }
}

void load_system_tables(Settings& settings, data::TableSession& session, int display_colours) {
  DiskTempFolderProbe probe;
  {
    std::unique_ptr<data::WDBTable> f_sys = data::USE(session, {}, "F_SYS");
    apply_f_sys(settings, *f_sys, display_colours, probe, session.messages());
  }
  sync_table_settings(settings, session);
  std::unique_ptr<data::WDBTable> fonts = data::USE(session, {}, "FONTS", "FONTS");
  load_fonts(settings, *fonts);
}

void sync_table_settings(const Settings& settings, data::TableSession& session) {
  data::TableSettings& table = session.settings;
  table.program_folder = settings.program_folder.root();
  table.sub_base = settings.XDBACCESS.empty() ? std::string() : settings.XDBACCESS[0].text();
  table.is_local_temp = settings.XTEMPPATH.is_local;
  table.local_temp_folder = settings.XTEMPPATH.folder;
  table.EXT_MODULO = settings.EXT_MODULO;
  if (!settings.DEF_RDD.empty()) table.DEF_RDD = settings.DEF_RDD;
}

}  // namespace startup
