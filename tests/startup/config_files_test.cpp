#include "startup/config_files.h"

#include <gtest/gtest.h>
#include <fstream>

namespace startup {
namespace {

namespace fs = std::filesystem;

TEST(ConfigFiles, OwnIniLivesInTheProgramFolder) {
  std::string pattern = (fs::path(testing::TempDir()) / "qv_own_XXXXXX").string();
  const fs::path root = ::mkdtemp(pattern.data());
  const data::ProgramFolder folder(root);
  EXPECT_EQ(own_ini_file(folder), root / "QUARVELT-MAILSERVER.INI");
  std::ofstream(root / "Quarvelt-MailServer.ini") << "[FRAME]\n";
  EXPECT_EQ(own_ini_file(folder), root / "Quarvelt-MailServer.ini");  // An existing file keeps its spelling.
  fs::remove_all(root);
}

}  // namespace
}  // namespace startup
