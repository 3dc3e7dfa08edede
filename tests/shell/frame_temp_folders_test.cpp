#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "shell/frame_temp_folders.h"
#include "support/temp_folder.h"

namespace shell_test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> names_in(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

void touch(const fs::path& file) { std::ofstream(file) << "x"; }

TEST(TempFolders, CleaningKeepsOnlyFilesOfOtherPrograms) {
  test_support::TempFolder folder{"clean"};
  const fs::path temp = folder / "TEMP";
  fs::create_directories(temp);
  for (const char* name : {
           "T1234567.MLS", "T1234567.CDX", "T1234567.FPT",  // A private copy of this module: all three go.
           "t7654321.mls",                                  // Any case.
           "T0000001.HOT", "T0000001.CDX",                  // Another module's hot copy goes with its index.
           "ORPHAN.CDX", "ORPHAN.FPT",                      // Index and memo without their table go.
           "T2222222.XXX", "T2222222.CDX",                  // Another module's copy stays, and its index.
           "NOTES.TXT",
       }) {
    touch(temp / name);
  }
  shell::clean_temp_folder(startup::TempPathSetting{1, folder.path().string()}, "MLS");
  EXPECT_EQ(names_in(temp), (std::set<std::string>{"NOTES.TXT", "T2222222.CDX", "T2222222.XXX"}));
}

TEST(TempFolders, NothingIsCleanedWithoutALocalTemporaryFolder) {
  test_support::TempFolder folder{"clean"};
  fs::create_directories(folder / "TEMP");
  touch(folder / "TEMP" / "T1234567.MLS");
  shell::clean_temp_folder(startup::TempPathSetting{0, folder.path().string()}, "MLS");
  EXPECT_EQ(names_in(folder / "TEMP").size(), 1u);
}

TEST(TempFolders, UserFolderAndStaleWorkFiles) {
  test_support::TempFolder folder{"user"};
  const fs::path made = shell::user_temp_folder((folder / "share").c_str(), folder / "appdata", "quarvelt-mailserver");
  EXPECT_EQ(made, folder / "share" / "quarvelt-mailserver" / "TEMP" / "");
  EXPECT_TRUE(fs::is_directory(made));
  EXPECT_EQ(shell::user_temp_folder(nullptr, folder / "appdata", "prog"), folder / "appdata" / "prog" / "TEMP" / "");

  for (const char* name : {"_Dummy.bbb", "_ABCDEFG.DBF", "_abcdefg.ntx", "_ABC.DBF", "KEEP.DBF"}) touch(made / name);
  shell::delete_stale_work_files(made);
  EXPECT_EQ(names_in(made), (std::set<std::string>{"KEEP.DBF", "_ABC.DBF"}));
}

}  // namespace
}  // namespace shell_test
