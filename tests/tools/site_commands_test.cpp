// qvtable init-site and demo-site: every table they make opens, and every index verifies.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "data/dbf_test_folder.h"      // tests/data/
#include "data/wtable_test_support.h"  // tests/data/

namespace {

namespace fs = std::filesystem;

// Runs qvtable with its output thrown away; returns the exit code.
int qvtable(const std::string& arguments) {
  const std::string command = std::string("QV_SCHEMA_DIR='") + QV_SOURCE_DIR + "/resources/schema' '" + QVTABLE_PATH +
                              "' " + arguments + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Every catalogued table of the site opens; every one with tags passes the index check.
void expect_site_verifies(const fs::path& site) {
  for (const data::SchemaTable& table : data::testing::source_catalogue().tables()) {
    for (const char* folder : {"BASES", "PROFILE"}) {
      if ((folder[0] == 'B' && !table.is_bases) || (folder[0] == 'P' && !table.is_profile)) continue;
      const fs::path file = site / folder / (table.name + ".DBF");
      SCOPED_TRACE(file.string());
      EXPECT_EQ(qvtable("info " + quoted(file)), 0);
      EXPECT_EQ(fs::exists(site / folder / (table.name + ".CDX")), !table.tags.empty());
      if (!table.tags.empty()) {
        EXPECT_EQ(qvtable("verify " + quoted(file)), 0);
      }
    }
  }
}

TEST(InitSite, CreatesAnEmptySiteWhoseEveryTableVerifies) {
  data::testing::TestFolder folder;
  ASSERT_EQ(qvtable("init-site " + quoted(folder.path())), 0);
  expect_site_verifies(folder.path());
  // A second run would overwrite the site: refused.
  EXPECT_EQ(qvtable("init-site " + quoted(folder.path())), 1);
  EXPECT_EQ(qvtable("init-site"), 2);
}

TEST(DemoSite, BuildsASiteWithDataWhoseEveryTableVerifies) {
  data::testing::TestFolder folder;
  ASSERT_EQ(qvtable("demo-site " + quoted(folder.path()) + " 40025 40110"), 0);
  expect_site_verifies(folder.path());
  EXPECT_EQ(qvtable("demo-site " + quoted(folder / "other") + " 40025"), 2);
  EXPECT_EQ(qvtable("demo-site " + quoted(folder / "other") + " 0 70000"), 2);
}

}  // namespace
