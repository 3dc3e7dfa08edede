#include "startup/ads_def.h"

#include <gtest/gtest.h>
#include <fstream>

#include "startup/settings.h"
#include "support/temp_folder.h"

namespace startup {
namespace {

namespace fs = std::filesystem;

using test_support::TempFolder;

std::vector<std::string> read_bytes(const std::string& bytes) {
  TempFolder temp;
  const fs::path file = temp.path() / "ADS.DEF";
  std::ofstream(file, std::ios::binary) << bytes;
  return GET_A_ADS(file);
}

using Lines = std::vector<std::string>;

TEST(AdsDef, SplitsLinesAsTheSuiteWritesThem) {
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const Case kCases[] = {
      {"\\\\SERVER\\QUARVELT\\BASES\\\r\n",
       {"\\\\SERVER\\QUARVELT\\BASES\\", ""}},  // Path, CR LF: two lines.
      {"A\r\n\r\nC", {"A", "", "C"}},           // Blank lines count; the rest after the last CR is a line.
      {"A\rB\r", {"A", "B", ""}},               // CR alone also ends a line.
      {"A\n\rB", {"A", "B"}},                   // Every LF is dropped before cutting at CR.
      {"/srv/quarvelt/\n.F.\n", {"/srv/quarvelt/", ".F.", ""}},  // A Linux file is cut at its LFs.
      {"/srv/quarvelt/", {"/srv/quarvelt/"}},                    // No line break at all: one line.
      {"", {}},                                                  // Empty file: no lines.
      {std::string("P\0TH\r\n\xff\xfe", 8),
       {std::string("P\0TH", 4), "\xff\xfe"}},  // Binary junk is kept as bytes.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    EXPECT_EQ(read_bytes(c.bytes), c.lines);
  }
}

TEST(AdsDef, ReadsPastTheHistoricalThousandBytes) {
  std::string bytes = std::string(1500, 'x') + "\r\n";
  for (int i = 2; i <= 22; ++i) bytes += "L" + std::to_string(i) + "\r\n";
  const Lines lines = read_bytes(bytes);
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(lines[0].size(), 1500u);
  EXPECT_EQ(lines[21], "L22");
}

TEST(AdsDef, CapsWhatItReadsOfAHugeFile) {
  const Lines lines = read_bytes(std::string(200000, 'x') + "\r\n");
  ASSERT_EQ(lines.size(), 1u);  // The line break lies beyond what is read.
  EXPECT_EQ(lines[0].size(), 64u * 1024u);
}

TEST(AdsDef, MissingFileGivesNoLines) { EXPECT_TRUE(GET_A_ADS("/nonexistent/ADS.DEF").empty()); }

TEST(AdsDef, AppliesLinesTwentyOneToTwentyThree) {
  struct Case {
    std::string line21, line22, line23;
    std::optional<bool> rights, proprietary;
    long cache;
  };
  const Case kCases[] = {
      {".F.", "50", ".T.", false, true, 50},
      {".F. sin derechos", "", "", false, std::nullopt, 0},  // ".F." followed by text still means off.
      {"  .f.", " 25 registros", "1", false, true,
       25},                                          // Blanks and lower case; 1 means proprietary locking.
      {"   ", "-5", ".F.", std::nullopt, false, 0},  // Blank leaves the default; no negative cache.
      {"SI", "99999999999999999999", "x", true, true, 1000000000},  // An absurd cache is capped.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line21 + "|" + c.line22 + "|" + c.line23);
    reset_settings();
    Lines lines(20, "ignored");
    lines.insert(lines.end(), {c.line21, c.line22, c.line23, ".F.", ".F."});
    SET_ADS_PARAMS(lines);
    EXPECT_EQ(settings().ads_client.is_rights_checking, c.rights);
    EXPECT_EQ(settings().ads_client.is_proprietary_locking, c.proprietary);
    EXPECT_EQ(settings().XADSCACHERECORDS, c.cache);
  }
}

TEST(AdsDef, ShortFilesLeaveTheClientDefaults) {
  reset_settings();
  SET_ADS_PARAMS({"/srv/quarvelt/", ""});  // Path followed by CR LF: lines 21 to 27 are absent.
  EXPECT_EQ(settings().XADSCACHERECORDS, 0);
  EXPECT_FALSE(settings().ads_client.is_rights_checking.has_value());
  SET_ADS_PARAMS(Lines(21, ".F."));  // Line 21 only.
  EXPECT_EQ(settings().ads_client.is_rights_checking, false);
  EXPECT_FALSE(settings().ads_client.is_proprietary_locking.has_value());
}

}  // namespace
}  // namespace startup
