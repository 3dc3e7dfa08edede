// The Center's trace file: labels end in CR LF, and no file means -1.
#include "notify/mailserver_trace.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_folder.h"

namespace notify {
namespace {

TEST(WriteTrace, AppendsEachLabelWithCrLfAndAnswersMinusOneWithoutAFile) {
  EXPECT_EQ(WRITE_TRACE(nullptr, "8"), -1);
  TraceFile closed;
  EXPECT_EQ(WRITE_TRACE(&closed, "8"), -1);

  test_support::TempFolder folder;
  TraceFile file(folder / "TRACE.TXT", std::ios::binary);
  EXPECT_EQ(WRITE_TRACE(&file, "8"), 0);
  EXPECT_EQ(WRITE_TRACE(&file, "9-1"), 0);
  file.close();
  std::ifstream in(folder / "TRACE.TXT", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "8\r\n9-1\r\n");
}

}  // namespace
}  // namespace notify
