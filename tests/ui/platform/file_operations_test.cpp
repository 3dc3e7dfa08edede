#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ui/platform/file_operations.h"

namespace ui::platform {
namespace {

class FileOperations : public testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("qv_fileops_" + std::to_string(::getpid()) + "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string path(const char* name) const { return (folder / name).string(); }
  static void write(const std::string& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
  static std::string read(const std::string& file) {
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
  }
  std::filesystem::path folder;
};

TEST_F(FileOperations, CopyOntoAnExistingTargetIsRefusedAndLeavesItUnchanged) {
  write(path("source.txt"), "new contents");
  write(path("target.txt"), "old");
  EXPECT_EQ(COPYFILE(path("source.txt"), path("target.txt")), -5);
  EXPECT_EQ(read(path("target.txt")), "old");
  EXPECT_EQ(COPYFILE(path("source.txt"), path("target.txt"), Overwrite::Allow), 0);
  EXPECT_EQ(read(path("target.txt")), "new contents");
}

TEST_F(FileOperations, CopiesAndSetsTimes) {
  write(path("source.txt"), std::string(200'000, 'q'));
  struct timespec old_times[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path("source.txt").c_str(), old_times, 0), 0);
  EXPECT_EQ(COPYFILE(path("source.txt"), path("kept.txt"), Overwrite::Refuse, FileTimes::KeepSource), 0);
  EXPECT_EQ(read(path("kept.txt")), std::string(200'000, 'q'));
  EXPECT_EQ(std::filesystem::last_write_time(path("kept.txt")), std::filesystem::last_write_time(path("source.txt")));
  EXPECT_EQ(COPYFILE(path("source.txt"), path("now.txt")), 0);
  EXPECT_GT(std::filesystem::last_write_time(path("now.txt")), std::filesystem::last_write_time(path("source.txt")));
}

TEST_F(FileOperations, FailuresAreCodes) {
  EXPECT_EQ(COPYFILE(path("missing.txt"), path("any.txt")), -2);
  EXPECT_FALSE(std::filesystem::exists(path("any.txt")));
  write(path("source.txt"), "x");
  EXPECT_EQ(COPYFILE(path("source.txt"), path("no_folder/target.txt")), -5);
  EXPECT_EQ(REMOVEFILE(path("source.txt")), 0);
  EXPECT_EQ(REMOVEFILE(path("source.txt")), -1);
}

}  // namespace
}  // namespace ui::platform
