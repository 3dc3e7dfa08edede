#include "startup/system_tables.h"

#include <gtest/gtest.h>

#include <set>

#include "../data/wtable_test_support.h"
#include "data/use_table.h"

namespace startup {
namespace {

using data::testing::SessionFixture;

// Answers from a list of folders that work; records every folder tried.
class FakeProbe final : public TempFolderProbe {
 public:
  explicit FakeProbe(std::set<std::string> usable = {}) : m_usable(std::move(usable)) {}
  bool create_probe_file(const std::string& folder) override {
    tried.push_back(folder);
    return m_usable.count(folder) != 0;
  }
  bool create_folder(const std::string& folder) override {
    made.push_back(folder);
    return folder.ends_with("/TEMP");
  }
  std::vector<std::string> tried;
  std::vector<std::string> made;

 private:
  std::set<std::string> m_usable;
};

TEST(LocalTempFolder, MovesTheDriveOnForTenRoundsThenSwitchesLocalCopiesOff) {
  FakeProbe probe;
  data::testing::RecordingMessageBoxSink messages;
  const TempPathSetting chosen = choose_local_temp_folder("/E/QTEMP/", probe, messages);
  const std::vector<std::string> expected{"/E/QTEMP", "/F/QTEMP", "/G/QTEMP", "/H/QTEMP", "/I/QTEMP",
                                          "/C/QTEMP", "/D/QTEMP", "/E/QTEMP", "/F/QTEMP", "/G/QTEMP"};
  EXPECT_EQ(probe.tried, expected);
  EXPECT_EQ(chosen.is_local, 0);
  EXPECT_TRUE(messages.texts.empty());
}

TEST(LocalTempFolder, StopsAtTheFirstUsableDriveAndMakesItsTempFolder) {
  FakeProbe probe({"/G/QTEMP"});
  data::testing::RecordingMessageBoxSink messages;
  const TempPathSetting chosen = choose_local_temp_folder("/e/QTEMP", probe, messages);
  EXPECT_EQ(chosen.is_local, 1);
  EXPECT_EQ(chosen.folder, "/G/QTEMP");
  EXPECT_EQ(probe.made.back(), "/G/QTEMP/TEMP");
}

TEST(LocalTempFolder, LettersOutsideTheRotationStayAndABlankPathIsReported) {
  FakeProbe probe;
  data::testing::RecordingMessageBoxSink messages;
  EXPECT_EQ(choose_local_temp_folder("/tmp/none/x", probe, messages).is_local, 0);
  EXPECT_EQ(std::set<std::string>(probe.tried.begin(), probe.tried.end()),
            std::set<std::string>{"/tmp/none/x"});
  EXPECT_EQ(probe.tried.size(), 10u);

  FakeProbe blank_probe;
  EXPECT_EQ(choose_local_temp_folder("", blank_probe, messages).is_local, 0);
  EXPECT_TRUE(blank_probe.tried.empty());
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0],
            "Error creando directorio temporal de archivos...\rNo hay Unidades de Disco Duro Disponibles o "
            "accesibles");
  EXPECT_EQ(messages.captions[0], "Error");
}

TEST(LocalTempFolder, OnDiskMakesTheFolderAndItsTempFolder) {
  data::testing::TestFolder folder;
  DiskTempFolderProbe probe;
  data::testing::RecordingMessageBoxSink messages;
  const std::string local = (folder / "local").string();
  EXPECT_EQ(choose_local_temp_folder(local, probe, messages).is_local, 1);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "local/TEMP"));
  // The next start finds it with the probe file.
  EXPECT_EQ(choose_local_temp_folder(local, probe, messages).is_local, 1);
  EXPECT_TRUE(std::filesystem::exists(folder / "local/YES"));
}

// F_SYS with the three fields every version has, plus `extra`, holding one row of `values`.
std::unique_ptr<data::WDBTable> f_sys_with(SessionFixture& f, data::TableStructure extra,
                                           const std::vector<std::pair<std::string, data::Value>>& values,
                                           bool has_row = true) {
  data::TableStructure structure{{"T_FONT", 'C', 40, 0}, {"GRAYED", 'N', 1, 0}, {"MAXCOMMIT", 'N', 5, 0}};
  structure.insert(structure.end(), extra.begin(), extra.end());
  std::filesystem::create_directories(f.folder / "BASES");
  auto made = data::DbfTable::create(f.folder / "BASES/F_SYS.DBF", structure);
  if (!made) std::abort();
  if (has_row) {
    if (!(*made)->append()) std::abort();
    for (const auto& [name, value] : values) {
      if (!(*made)->put(name, value)) std::abort();
    }
  }
  if (!(*made)->close()) std::abort();
  return data::USE(f.session, {}, "F_SYS");
}

TEST(ApplyFSys, FieldsTheTableLacksKeepTheirDefaults) {
  SessionFixture f;
  auto f_sys = f_sys_with(f, {}, {{"T_FONT", data::Value("Arial")}, {"GRAYED", data::Value(0)}});
  Settings settings;
  FakeProbe probe;
  apply_f_sys(settings, *f_sys, -1, probe, f.messages);
  EXPECT_EQ(settings.grid_font, "Arial");
  EXPECT_EQ(settings.grid_font_size, 8);
  EXPECT_EQ(settings.XPRINT_FONT, "Times New Roman");  // No P_FONT field.
  EXPECT_EQ(settings.XDGROUPLIMIT, 10000);             // No DGROUP field.
  EXPECT_TRUE(settings.XWS_SOCKET.is_empty());
  EXPECT_EQ(settings.XMULTITASK.every, 3);
  EXPECT_EQ(settings.XGRAYED, 0);
  EXPECT_EQ(settings.XO_COLOUR, (RgbTriple{192, 192, 192}));
  EXPECT_EQ(settings.XTEMPPATH.is_local, 0);
  EXPECT_TRUE(probe.tried.empty());
}

TEST(ApplyFSys, AnEmptyTableChangesNothing) {
  SessionFixture f;
  auto f_sys = f_sys_with(f, {{"DGROUP", 'N', 6, 0}}, {}, false);
  Settings settings;
  FakeProbe probe;
  apply_f_sys(settings, *f_sys, -1, probe, f.messages);
  EXPECT_EQ(settings.XDGROUPLIMIT, 10000);
  EXPECT_EQ(settings.XGRAYED, 1);
}

TEST(ApplyFSys, ZeroesAndBlanksTakeTheirFallbacks) {
  SessionFixture f;
  data::TableStructure extra{{"T_SIZE", 'N', 4, 1},    {"P_FONT", 'C', 40, 0},    {"D_FONT", 'C', 40, 0},
                             {"WS_SOCKET", 'N', 5, 0}, {"DGROUP", 'N', 6, 0},     {"MULTITASK", 'N', 3, 0},
                             {"NO_DATE", 'N', 1, 0},   {"REFRESH_B", 'N', 1, 0},  {"NOFLATBUTT", 'N', 1, 0},
                             {"NO_SIM_P", 'N', 1, 0},  {"LOCAL_TEMP", 'N', 1, 0}, {"LOCAL_PATH", 'C', 80, 0}};
  for (int i = 1; i <= 12; ++i) extra.push_back({"RGB" + std::to_string(i), 'N', 3, 0});
  auto f_sys = f_sys_with(f, extra,
                          {{"T_SIZE", data::Value(9.5)},
                           {"MULTITASK", data::Value(5)},
                           {"NO_DATE", data::Value(1)},
                           {"REFRESH_B", data::Value(1)},
                           {"NOFLATBUTT", data::Value(1)},
                           {"NO_SIM_P", data::Value(1)},
                           {"LOCAL_TEMP", data::Value(1)},
                           {"LOCAL_PATH", data::Value("/E/QTEMP")},
                           {"RGB1", data::Value(10)},
                           {"RGB10", data::Value(7)}});
  Settings settings;
  FakeProbe probe({"/F/QTEMP"});
  apply_f_sys(settings, *f_sys, -1, probe, f.messages);
  EXPECT_EQ(settings.grid_font_size, 9.5);
  EXPECT_EQ(settings.XPRINT_FONT, "Calibri");            // P_FONT blank.
  EXPECT_FALSE(settings.XGLOBAL_FONT_NAME.has_value());  // D_FONT blank: none.
  EXPECT_EQ(settings.XWS_SOCKET.number(), 4129);         // WS_SOCKET 0.
  EXPECT_EQ(settings.XDGROUPLIMIT, 6000);                // DGROUP 0.
  EXPECT_EQ(settings.XMULTITASK.every, 5);
  EXPECT_EQ(settings.XSEL_DATE.text(), "NO");
  EXPECT_EQ(settings.XREFRESH_BROWSE.number(), 0);
  EXPECT_EQ(settings.XFLAT_SHOW, 0);
  EXPECT_EQ(settings.XSIM_PRINT, 0);
  EXPECT_EQ(settings.XTEMPPATH.is_local, 1);
  EXPECT_EQ(settings.XTEMPPATH.folder, "/F/QTEMP");
  // True colour takes the first two triples; a triple of zeros keeps its default.
  EXPECT_EQ(settings.XO_COLOUR, (RgbTriple{10, 0, 0}));
  EXPECT_EQ(settings.XH_COLOUR, (RgbTriple{200, 0, 0}));

  Settings rich;
  apply_f_sys(rich, *f_sys, 256, probe, f.messages);
  EXPECT_EQ(rich.XO_COLOUR, (RgbTriple{192, 192, 192}));
  EXPECT_EQ(rich.XH_COLOUR, (RgbTriple{7, 0, 0}));
}

TEST(LoadFonts, ReplacesTheListWithTheTablesTrimmedNames) {
  SessionFixture f;
  data::testing::create_catalogued_table("FONTS", f.folder / "BASES/FONTS.DBF");
  {
    auto table = data::DbfTable::open(f.folder / "BASES/FONTS.DBF");
    ASSERT_TRUE(table);
    for (const char* name : {"  Garamond ", "Verdana"}) {
      ASSERT_TRUE((*table)->append());
      ASSERT_TRUE((*table)->put("T_FONT", data::Value(name)));
    }
    ASSERT_TRUE((*table)->close());
  }
  Settings settings;
  load_fonts(settings, *data::USE(f.session, {}, "FONTS"));
  EXPECT_EQ(settings.XAVAILABLE_FONTS, (std::vector<std::string>{"Garamond", "Verdana"}));
}

}  // namespace
}  // namespace startup
