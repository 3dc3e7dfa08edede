#include "data/private_profile.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <random>
#include "support/temp_folder.h"

namespace data {
namespace {

namespace fs = std::filesystem;

using test_support::TempFolder;

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(PrivateProfile, ReadsValuesAsTheSuiteDoes) {
  struct Case {
    std::string text, section, key;
    std::optional<std::string> value;
  };
  const Case kCases[] = {
      {"[LAST_NEG]\r\nLAST_NEG=01\r\n", "LAST_NEG", "LAST_NEG", "01"},
      {"[last_neg]\nLast_Neg=01\n", "LAST_NEG", "LAST_NEG",
       "01"},                                                 // Names match regardless of case; LF file.
      {"[A]\rK=1\rL=2", "A", "L", "2"},                       // CR line ends, no final line end.
      {"  [ A ]  \n  K  =  v a  \n", "A", "K", "v a"},        // Blanks around names and values.
      {"[A]\nK=\"  quoted  \"\n", "A", "K", "  quoted  "},    // One pair of quotes is removed.
      {"[A]\nK='x\"\n", "A", "K", "'x\""},                    // Unmatched quotes stay.
      {"[A]\nK=a=b\n", "A", "K", "a=b"},                      // Only the first "=" separates.
      {"[A]\nK=1\n[A]\nK=2\nM=3\n", "A", "K", "1"},           // The first of two sections counts...
      {"[A]\nK=1\n[A]\nK=2\nM=3\n", "A", "M", std::nullopt},  // ...and only it.
      {"[A]\nK=1\nK=2\n", "A", "K", "1"},                     // The first of two keys.
      {"K=0\n[A]\nK=1\n", "A", "K", "1"},                     // Lines before any section are ignored.
      {"K=0\n", "", "K", std::nullopt},
      {"[A]\n;K=1\n", "A", ";K", std::nullopt},     // Comments are not keys.
      {"[A]\nFLAG\n", "A", "FLAG", ""},             // A key without "=" has an empty value.
      {"[A]\n[B]\nK=1\n", "A", "K", std::nullopt},  // A key of the next section.
      {"\xEF\xBB\xBF[A]\nK=1\n", "A", "K", "1"},    // A UTF-8 mark before the first section.
      {"[A\nK=1\n", "A", "K", "1"},                 // A header missing its "]".
      {"[]\nK=1\n", "", "K", std::nullopt},         // A header without a name.
      {std::string("[A]\nK=x\0y\n", 10), "A", "K", std::string("x\0y", 3)},  // Junk bytes are kept.
      {"", "A", "K", std::nullopt},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " " + c.section + "/" + c.key);
    EXPECT_EQ(PrivateProfile::parse(c.text).value(c.section, c.key), c.value);
  }
}

TEST(PrivateProfile, WritesKeepingEveryOtherLine) {
  struct Case {
    std::string before, section, key, value, after;
  };
  const Case kCases[] = {
      {"", "LAST_NEG", "LAST_NEG", "01", "[LAST_NEG]\r\nLAST_NEG=01\r\n"},  // A new file uses CR LF.
      {"; suite\r\n[A]\r\nK=1\r\n\r\n[B]\r\nX=1\r\n", "a", "k", "2",
       "; suite\r\n[A]\r\nK=2\r\n\r\n[B]\r\nX=1\r\n"},  // Replaced in place, file's spelling kept.
      {"[A]\nK=1\n\n[B]\nX=1\n", "A", "N", "new",
       "[A]\nK=1\nN=new\n\n[B]\nX=1\n"},                                // Added before the blank line.
      {"[A]\nK=1", "B", "X", "y", "[A]\nK=1\n\n[B]\nX=y\n"},            // New section at the end; LF kept.
      {"[A]\nK=1\n[A]\nK=2\n", "A", "K", "9", "[A]\nK=9\n[A]\nK=2\n"},  // Only the first section is written.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.before));
    PrivateProfile profile = PrivateProfile::parse(c.before);
    ASSERT_TRUE(profile.set_value(c.section, c.key, c.value));
    EXPECT_EQ(profile.text(), c.after);
  }
}

TEST(PrivateProfile, RefusesNamesAndValuesThatWouldReadBackDifferently) {
  struct Case {
    std::string section, key, value;
  };
  const Case kCases[] = {
      {"", "K", "v"},
      {"A]", "K", "v"},
      {" A", "K", "v"},
      {"A", "", "v"},
      {"A", "K=", "v"},
      {"A", "[K", "v"},
      {"A", ";K", "v"},
      {"A", "K ", "v"},
      {"A", "K", "one\r\ntwo"},
      {"A", "K", "one\ntwo"},
      {"A", "K", std::string("x\0y", 3)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.section + "/" + c.key + "/" + c.value));
    PrivateProfile profile = PrivateProfile::parse("[A]\r\nK=1\r\n");
    EXPECT_FALSE(profile.set_value(c.section, c.key, c.value));
    EXPECT_EQ(profile.text(), "[A]\r\nK=1\r\n");  // Nothing changed.
  }
}

TEST(PrivateProfileFile, CutsLongValuesOnlyWhenReading) {
  TempFolder temp;
  const fs::path file = temp.path() / "deep" / "QUARVELT.INI";
  const std::string long_value(2000, 'v');
  ASSERT_TRUE(write_profile_string(file, "PREDET_P", "PRINTER", long_value));  // Creates the folder.
  EXPECT_NE(contents(file).find(long_value), std::string::npos);               // Written in full.
  EXPECT_EQ(read_profile_string(file, "PREDET_P", "PRINTER", ""), std::string(1023, 'v'));
  const std::string accents(1500, 'n');
  ASSERT_TRUE(write_profile_string(file, "A", "K", "\xC3\xB1" + accents));  // "ñ" and 1500 letters.
  EXPECT_EQ(read_profile_string(file, "A", "K", ""),
            "\xC3\xB1" + std::string(1022, 'n'));  // Characters, not bytes.
  EXPECT_EQ(read_profile_string(file, "A", "MISSING", "def"), "def");
  EXPECT_EQ(read_profile_string(temp.path() / "NONE.INI", "A", "K", ""), "");
}

TEST(PrivateProfileFile, LeavesTheFileUntouchedWhenAWriteIsRefused) {
  TempFolder temp;
  const fs::path file = temp.path() / "QUARVELT.INI";
  std::ofstream(file, std::ios::binary) << "[A]\nK=1";
  EXPECT_FALSE(write_profile_string(file, "A", "K", "bad\nvalue"));
  EXPECT_EQ(contents(file), "[A]\nK=1");
  EXPECT_FALSE(write_profile_string(temp.path(), "A", "K", "v"));  // A folder is not a settings file.
}

TEST(PrivateProfileFile, BusinessCallsUseTheSuiteConfigFolder) {
  TempFolder temp;
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_CONFIG_HOME", temp.path().c_str(), 1);
  EXPECT_EQ(suite_config_folder(), temp.path() / "quarvelt");
  EXPECT_EQ(GETPVPROFSTRING("LAST_NEG", "LAST_NEG", "", "QUARVELT.INI"), "");  // Missing file: the default.
  EXPECT_TRUE(WRITEPVPROFSTRING("LAST_NEG", "LAST_NEG", "07", "QUARVELT.INI"));
  EXPECT_TRUE(fs::exists(temp.path() / "quarvelt" / "QUARVELT.INI"));
  EXPECT_EQ(GETPVPROFSTRING("last_neg", "last_neg", "", "quarvelt.ini"), "07");  // Found regardless of case.
  EXPECT_EQ(GETPVPROFINT("LAST_NEG", "LAST_NEG", -1, "QUARVELT.INI"), 7);
  EXPECT_EQ(GETPVPROFINT("LAST_NEG", "OTHER", -1, "QUARVELT.INI"), -1);
  EXPECT_TRUE(WRITEPVPROFSTRING("N", "V", "-12abc", "QUARVELT.INI"));
  EXPECT_EQ(GETPVPROFINT("N", "V", 0, "QUARVELT.INI"), -12);
  if (old)
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace data

namespace data {
namespace {

// Whatever the file holds, a written value reads back as written (up to the blanks and one pair of
// quotes that reading removes), and every other key keeps its value.
TEST(PrivateProfile, WrittenValuesReadBackFromAnyText) {
  std::mt19937 random(20261209);
  const std::string kAlphabet = std::string("[]=;'\" \t\r\nABab01\xC3\xB1\xff", 19) + std::string(1, '\0');
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 120);
    for (int i = 0; i < length; ++i) text += kAlphabet[random() % kAlphabet.size()];
    SCOPED_TRACE(testing::PrintToString(text));
    PrivateProfile profile = PrivateProfile::parse(text);
    const std::optional<std::string> other = profile.value("B", "k");
    ASSERT_TRUE(profile.set_value("A", "KEY", "value " + std::to_string(round)));
    const PrivateProfile reread = PrivateProfile::parse(profile.text());
    EXPECT_EQ(reread.value("a", "key"), "value " + std::to_string(round));
    EXPECT_EQ(reread.value("B", "k"), other);
  }
}

}  // namespace
}  // namespace data
