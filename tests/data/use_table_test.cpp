#include "data/use_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "data/record_change.h"
#include "data/runtime_error.h"
#include "data/text.h"
#include "wtable_test_support.h"

namespace data {
namespace {

using testing::create_catalogued_table;
using testing::SessionFixture;
namespace fs = std::filesystem;

// Appends one row to a table file, outside any session.
void append_row(const fs::path& file, std::string_view field, const Value& value) {
  Result<std::unique_ptr<DbfTable>> table = DbfTable::open(file);
  ASSERT_TRUE(table) << table.error().text;
  ASSERT_TRUE((*table)->append());
  ASSERT_TRUE((*table)->put(field, value));
  ASSERT_TRUE((*table)->close());
}

std::size_t files_in(const fs::path& folder) {
  std::error_code ec;
  if (!fs::exists(folder, ec)) return 0;
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(WorkAreaAlias, PadsWithZerosCutsToSevenAndAddsTheArea) {
  struct Case {
    std::string_view name;
    int area;
    std::string_view alias;
  };
  constexpr Case kCases[] = {
      {"DEFMAIL", 12, "DEFMAIL012"},         // Seven letters: nothing to pad.
      {"E_MSGS", 5, "E_MSGS0005"},           // Padded with one "0".
      {"LOG_DIAG", 7, "LOG_DIA007"},         // Cut to seven.
      {"T4529678.MLS", 3, "T452967003"},     // The extension of a private copy is dropped.
      {"bases/neg.dbf", 140, "NEG0000140"},  // Folder dropped, upper-cased.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(work_area_alias(c.name, c.area), c.alias);
  }
}

TEST(Use, TrimsAndCutsNamesAndOpensInTheLowestFreeArea) {
  SessionFixture f;
  create_catalogued_table("LOG_DIAG", f.folder / "BASES/LOG_DIAG.DBF");
  create_catalogued_table("NEGOCIOS", f.folder / "BASES/negocios.dbf");
  struct Case {
    std::string_view given;
    std::string_view name;
  };
  constexpr Case kCases[] = {
      {"  LOG_DIAG  ", "LOG_DIAG"},  // Blanks around the name are trimmed.
      {"NEGOCIOSXY", "NEGOCIOS"},    // A name of 10 characters opens the file named by its first 8.
      {"log_diag", "LOG_DIAG"},      // Names are upper case and found regardless of case.
  };
  std::vector<std::unique_ptr<WDBTable>> handles;
  int area = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.given);
    handles.push_back(USE(f.session, {}, c.given));
    ++area;
    EXPECT_EQ(handles.back()->Name, c.name);
    EXPECT_EQ(handles.back()->Area, area);
    EXPECT_EQ(handles.back()->Alias, work_area_alias(c.name, area));
    EXPECT_EQ(f.session.areas().current(), area);  // USE leaves the new area current.
    EXPECT_TRUE(handles.back()->Cargo.is_empty());
    EXPECT_EQ(handles.back()->RDD, "DBFCDX");
  }
  // A closed handle frees its area for the next USE.
  KILLTABLA(handles[0].get());
  EXPECT_FALSE(handles[0]->Used());
  EXPECT_EQ(USE(f.session, {}, "NEGOCIOS")->Area, 1);
  EXPECT_TRUE(f.messages.texts.empty());
}

TEST(Use, HandleMethodsWorkOnTheirOwnAreaWithoutChangingTheCurrentOne) {
  SessionFixture f;
  create_catalogued_table("NEGOCIOS", f.folder / "BASES/NEGOCIOS.DBF");
  create_catalogued_table("FONTS", f.folder / "BASES/FONTS.DBF");
  append_row(f.folder / "BASES/NEGOCIOS.DBF", "CODIGO", Value("HOTEL1"));
  auto negocios = USE(f.session, {}, "NEGOCIOS");
  auto fonts = USE(f.session, {}, "FONTS");
  ASSERT_EQ(f.session.areas().current(), fonts->Area);
  negocios->GoTop();
  EXPECT_EQ(ALLTRIM(negocios->get("CODIGO").text()), "HOTEL1");
  EXPECT_EQ(negocios->LastRec(), 1u);
  EXPECT_GT(negocios->FieldPos("CODIGO"), 0);
  EXPECT_EQ(negocios->FieldPos("NO_SUCH"), 0);
  ASSERT_TRUE(negocios->RLock());
  negocios->put("CODIGO", Value("HOTEL2"));
  negocios->Unlock();
  EXPECT_EQ(f.session.areas().current(), fonts->Area);
  // Writing a field the table lacks, or without the lock, is a run-time error naming the table.
  EXPECT_THROW(negocios->put("NO_SUCH", Value(1)), RuntimeError);
  EXPECT_THROW(negocios->put("CODIGO", Value("X")), RuntimeError);
}

TEST(Use, ATableInTheDataSubBaseOverridesTheCommonOne) {
  SessionFixture f;
  create_catalogued_table("NEGOCIOS", f.folder / "BASES/NEGOCIOS.DBF");
  create_catalogued_table("NEGOCIOS", f.folder / "BASES/SUB1/NEGOCIOS.DBF");
  append_row(f.folder / "BASES/SUB1/NEGOCIOS.DBF", "CODIGO", Value("SUB"));
  struct Case {
    std::string_view sub_base;
    bool fixed;
    std::uint32_t rows;
  };
  const Case kCases[] = {
      {"", false, 0},         // No sub-base: the common table.
      {"SUB1", false, 1},     // The sub-base holds the table: it wins.
      {"sub1", false, 1},     // Folder names match regardless of case.
      {"MISSING", false, 0},  // A sub-base folder that does not exist: the common table.
      {"SUB1", true, 0},      // A fixed open never consults the sub-base.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.sub_base) + (c.fixed ? " fixed" : ""));
    f.session.settings.sub_base = std::string(c.sub_base);
    UseOptions options;
    options.fixed = c.fixed;
    options.basepath = f.folder.path().string();
    auto handle = USE(f.session, {}, "NEGOCIOS", "", options);
    EXPECT_EQ(handle->LastRec(), c.rows);
  }
  // Only tables present in the sub-base are taken from it.
  create_catalogued_table("FONTS", f.folder / "BASES/FONTS.DBF");
  f.session.settings.sub_base = "SUB1";
  EXPECT_EQ(USE(f.session, {}, "FONTS")->path(), f.folder / "BASES/FONTS.DBF");
}

TEST(Use, AMissingTableIsARunTimeErrorWithItsFullPath) {
  SessionFixture f;
  fs::create_directories(f.folder / "BASES");
  try {
    (void)USE(f.session, {}, "NOTHERE");
    FAIL() << "USE returned";
  } catch (const RuntimeError& error) {
    EXPECT_NE(std::string(error.what()).find((f.folder / "BASES/NOTHERE.DBF").string()), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(f.clock.waits(), 0);  // Not retried: only busy tables are.
  EXPECT_FALSE(f.session.areas().used(1));
}

TEST(Use, OpensWithTheControllingOrderAskedForAndSeeksDatesSoftly) {
  SessionFixture f;
  testing::create_indexed_table(f.session, "LOG_DIAG", f.folder / "BASES");
  testing::create_indexed_table(f.session, "FONTS", f.folder / "BASES");
  auto fonts = USE(f.session, {}, "FONTS");
  auto log = USE(f.session, {}, "LOG_DIAG", "LOG_DIA2");
  EXPECT_EQ(log->Alias, "LOG_DIA002");
  ASSERT_NE(log->table().controlling_order(), nullptr);
  EXPECT_EQ(log->table().controlling_order()->name(), "LOG_DIA2");
  for (int day : {20, 5, 12}) {
    ADD_NEW_REC(f.session);
    log->put("FECHA", Value(Date::from_ymd(2026, 3, day)));
    log->put("HORA", Value("08:00:00"));
    UNLOCK_NEW_REC(f.session);
  }
  struct Case { int day; bool is_eof; int found_day; };
  constexpr Case kCases[] = {
      {12, false, 12},  // A date present: its row.
      {13, false, 20},  // Between keys: the next later one.
      {1, false, 5},    // Before every key: the first.
      {21, true, 0},    // After the last key: end of table.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.day);
    SEEK_DATE(f.session, "", Date::from_ymd(2026, 3, c.day));
    EXPECT_EQ(log->Eof(), c.is_eof);
    if (!c.is_eof) {
      EXPECT_EQ(log->get("FECHA").date(), Date::from_ymd(2026, 3, c.found_day));
    }
  }
  // An exact seek of an absent key ends at EOF.
  EXPECT_FALSE(log->Seek(Value("20260313")));
  EXPECT_TRUE(log->Eof());
  EXPECT_EQ(f.session.areas().current(), log->Area);
}

TEST(Use, AMissingTagIsARunTimeErrorAndLeavesNothingOpen) {
  SessionFixture f;
  create_catalogued_table("FONTS", f.folder / "BASES/FONTS.DBF");
  EXPECT_THROW((void)USE(f.session, {}, "FONTS", "NOTAG"), RuntimeError);
  EXPECT_FALSE(f.session.areas().used(1));
}

TEST(Use, ABusyTableIsRetriedQuietlyForFiveSecondsThenWithAMessageEachTime) {
  struct Case {
    int held_ms;
    bool has_messages;
  };
  constexpr Case kCases[] = {{3000, false}, {8000, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.held_ms);
    SessionFixture f;
    const fs::path file = f.folder / "BASES/FONTS.DBF";
    create_catalogued_table("FONTS", file);
    TableOpenOptions exclusive;
    exclusive.share = Share::Exclusive;
    Result<std::unique_ptr<DbfTable>> holder = DbfTable::open(file, exclusive);
    ASSERT_TRUE(holder);
    f.clock.on_wait = [&](std::chrono::milliseconds elapsed) {
      if (elapsed.count() >= c.held_ms) holder->reset();
    };
    auto handle = USE(f.session, {}, "FONTS");
    EXPECT_TRUE(handle->Used());
    EXPECT_GE(f.clock.elapsed().count(), c.held_ms);
    EXPECT_EQ(!f.messages.texts.empty(), c.has_messages);
    for (std::size_t i = 0; i < f.messages.texts.size(); ++i) {
      EXPECT_EQ(f.messages.texts[i], "No se puede abrir archivo: " + file.string());
      EXPECT_EQ(f.messages.captions[i], "Alerta");
      EXPECT_GT(f.messages.moments[i].count(), 5000);
    }
  }
}

class PrivateCopy : public ::testing::Test {
 protected:
  void SetUp() override { testing::create_indexed_table(f.session, "TMP_PTO", f.folder / "PROFILE"); }
  SessionFixture f;
};

TEST_F(PrivateCopy, IsAnEmptyExclusiveCopyWithTheTemplatesIndexDeletedOnClose) {
  auto copy = USE(f.session, {}, "TMP_PTO.dbf");
  const fs::path temp = f.folder / "TEMP";
  EXPECT_TRUE(std::regex_match(copy->Name, std::regex("T[0-9]{7}\\.MLS"))) << copy->Name;
  EXPECT_EQ(copy->path(), temp / copy->Name);
  const fs::path index = temp / (copy->Name.substr(0, 8) + ".CDX");
  EXPECT_EQ(copy->Cargo.text(), "BORRAR->" + index.string());
  EXPECT_TRUE(fs::exists(index));
  EXPECT_EQ(copy->LastRec(), 0u);
  EXPECT_EQ(copy->table().share(), Share::Exclusive);
  // The copied index is the copy's: its tag orders the rows added to the copy.
  copy->set_order("TMP_1");
  for (const char* document : {"D2", "D1"}) {
    ADD_NEW_REC(f.session);
    copy->put("DOCUMENTO", Value(document));
    UNLOCK_NEW_REC(f.session);
  }
  EXPECT_TRUE(copy->Seek(Value("D1")));
  EXPECT_EQ(copy->RecNo(), 2u);
  copy->GoTop();
  EXPECT_EQ(ALLTRIM(copy->get("DOCUMENTO").text()), "D1");
  EXPECT_EQ(copy->FieldPos("SALDO_PTOS"), 4);
  // A second copy gets a name of its own.
  auto second = USE(f.session, {}, "TMP_PTO.DBF");
  EXPECT_NE(second->Name, copy->Name);
  EXPECT_EQ(files_in(temp), 4u);
  KILLTABLA(copy.get());
  second.reset();  // The destructor closes like KILLTABLA.
  EXPECT_EQ(files_in(temp), 0u);
}

TEST_F(PrivateCopy, GoesToTheLocalTemporaryFolderWhenOneIsSet) {
  const fs::path local = f.folder / "local";
  f.session.settings.is_local_temp = 1;
  f.session.settings.local_temp_folder = local.string();
  auto copy = USE(f.session, {}, "TMP_PTO.DBF");
  EXPECT_EQ(copy->path().parent_path(), local / "TEMP");
  EXPECT_EQ(files_in(f.folder / "TEMP"), 0u);
  copy.reset();
  EXPECT_EQ(files_in(local / "TEMP"), 0u);
}

TEST_F(PrivateCopy, ABrokenTemplateIsARunTimeErrorAndCreatesNothing) {
  // Missing template.
  EXPECT_THROW((void)USE(f.session, {}, "TMP_VACA.DBF"), RuntimeError);
  // A template with rows: its index would describe rows the copy lacks.
  append_row(f.folder / "PROFILE/TMP_PTO.DBF", "DOCUMENTO", Value("D1"));
  EXPECT_THROW((void)USE(f.session, {}, "TMP_PTO.DBF"), RuntimeError);
  EXPECT_EQ(files_in(f.folder / "TEMP"), 0u);
  EXPECT_FALSE(f.session.areas().used(1));
}

TEST(PrivateCopyName, IsTAndTheLastSevenDigitsOfTheHundredthsSinceMidnight) {
  EXPECT_EQ(private_copy_name(4529678, "MLS"), "T4529678.MLS");
  EXPECT_EQ(private_copy_name(12, "MLS"), "T0000012.MLS");
  EXPECT_EQ(private_copy_name(8639999, "XXX"), "T8639999.XXX");
}

}  // namespace
}  // namespace data
