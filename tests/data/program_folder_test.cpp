#include "data/program_folder.h"

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <fstream>

#include "support/temp_folder.h"

namespace data {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the test temporary folder, removed with everything in it.
using test_support::TempFolder;

void touch(const fs::path& file) { std::ofstream(file) << ""; }

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ProgramFolder, FindsNamesRegardlessOfCase) {
  TempFolder temp;
  fs::create_directories(temp.path() / "BASES");
  touch(temp.path() / "BASES" / "E_MSGS.DBF");
  fs::create_directories(temp.path() / "Mail" / "send");
  touch(temp.path() / "Twice.txt");
  touch(temp.path() / "TWICE.TXT");
  touch(temp.path() / "twice.txt");
  const ProgramFolder folder(temp.path());

  struct Case {
    std::string_view asked;
    fs::path found;
  };
  const Case kCases[] = {
      {"BASES/e_msgs.dbf", "BASES/E_MSGS.DBF"},                // The file keeps the spelling on disk.
      {"bases/E_Msgs.Dbf", "BASES/E_MSGS.DBF"},                // Folders too.
      {"MAIL\\SEND\\T1234567.HTM", "Mail/send/T1234567.HTM"},  // Windows separators; new file keeps its name.
      {"HBEAT/MAILSERV.HBT", "HBEAT/MAILSERV.HBT"},            // Nothing below a missing folder is searched.
      {"twice.TXT", "TWICE.TXT"},                     // Several matches, none exact: the smallest name.
      {"Twice.txt", "Twice.txt"},                     // The exact spelling wins.
      {"BASES//./E_MSGS.DBF", "BASES/./E_MSGS.DBF"},  // Empty components are dropped.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.asked);
    EXPECT_EQ(folder.find(c.asked), temp.path() / c.found);
  }
}

TEST(ProgramFolder, ComparesFileNamesAsWindowsDoes) {
  EXPECT_TRUE(same_file_name("E_MSGS.DBF", "e_msgs.dbf"));
  EXPECT_FALSE(same_file_name("E_MSGS.DBF", "E_MSGS.DB"));
  EXPECT_FALSE(same_file_name("E_MSGS", "E-MSGS"));
}

TEST(ReplaceFileContents, WritesNewAndReplacesOldFiles) {
  TempFolder temp;
  const fs::path file = temp.path() / "A.INI";
  ASSERT_TRUE(replace_file_contents(file, "first\r\n"));
  EXPECT_EQ(contents(file), "first\r\n");
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(replace_file_contents(file, "second"));
  EXPECT_EQ(contents(file), "second");
  struct stat state {};
  ASSERT_EQ(::stat(file.c_str(), &state), 0);
  EXPECT_EQ(state.st_mode & 0777, 0640u);  // Other programs keep the access they had.
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 1);
}

TEST(ReplaceFileContents, ReportsAFolderThatDoesNotExist) {
  TempFolder temp;
  const Result<void> result =
      replace_file_contents(temp.path() / "NO" / "A.INI", "x", InPlaceFallback::Allow);
  ASSERT_FALSE(result);
  EXPECT_NE(result.error().text.find("A.INI"), std::string::npos);
}

TEST(ReadFileStart, ReadsUpToTheLimit) {
  TempFolder temp;
  const fs::path file = temp.path() / "BIG";
  std::ofstream(file) << std::string(5000, 'x');
  EXPECT_EQ(read_file_start(file, 1000)->size(), 1000u);
  EXPECT_EQ(read_file_start(file, 9000)->size(), 5000u);
  EXPECT_FALSE(read_file_start(temp.path() / "MISSING", 10));
  EXPECT_FALSE(read_file_start(temp.path(), 10));  // A folder is not a file.
}

}  // namespace
}  // namespace data
