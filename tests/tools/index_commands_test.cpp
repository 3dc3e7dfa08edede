// qvtable's index subcommands against copies of the sample tables: every recorded seek,
// the tag list, walks, verify, and appends, changes, new tags and a reindex after which
// verify still finds nothing wrong.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "data/cdx_test_support.h"  // tests/data/
#include "data/dbf_test_folder.h"   // tests/data/

namespace {

using namespace data::cdx_test;

struct ToolRun {
  int exit_code = -1;
  std::string out;
};

// Runs qvtable with `arguments`, returning its exit code and standard output.
ToolRun qvtable(const std::vector<std::string>& arguments) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) std::abort();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    std::vector<char*> argv{const_cast<char*>(QVTABLE_PATH)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(QVTABLE_PATH, argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  ToolRun run;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) run.out.append(buffer, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string lines_of(const std::filesystem::path& file) {
  std::string text;
  for (const std::string& line : read_lines(file)) text += line + "\n";
  return text;
}

class IndexCommands : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    const auto fixtures = data::testing::xbase_fixtures();
    if (fixtures.empty()) GTEST_SKIP() << "sample tables not present";
    m_set = fixtures / GetParam();
    data::testing::copy_fixture_set(m_set, m_folder.path());
    std::string upper = GetParam();
    for (char& c : upper) c = static_cast<char>(std::toupper(c));
    m_table = (m_folder / (upper + ".DBF")).string();
  }

  data::testing::TestFolder m_folder;
  std::filesystem::path m_set;
  std::string m_table;
};

TEST_P(IndexCommands, AnswersEveryRecordedSeek) {
  const auto lines = read_lines(m_set / "expected" / "seeks.tsv");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto p = split(lines[i]);
    SCOPED_TRACE(lines[i]);
    std::vector<std::string> arguments{"seek", m_table, p[0], p[2], "--type", p[1]};
    if (p[4] == "soft") arguments.push_back("--soft");
    if (p[5] == "shown") arguments.push_back("--show-deleted");
    const ToolRun run = qvtable(arguments);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, p[6] + "\n");
  }
}

TEST_P(IndexCommands, ListsTagsWalksAndVerifies) {
  const ToolRun tags = qvtable({"tags", m_table});
  ASSERT_EQ(tags.exit_code, 0);
  std::string expected = "tag\tkey\tfor\tdescending\tunique\tkeys\n";
  for (const ExpectedTag& t : read_expected_tags(m_set)) {
    expected += t.name + "\t" + t.key_expression + "\t" + t.for_expression + "\t" + (t.descending ? "yes" : "no") +
                "\t" + (t.unique ? "yes" : "no") + "\t" + std::to_string(t.keys) + "\n";
    EXPECT_EQ(qvtable({"walk", m_table, t.name}).out, lines_of(m_set / "expected" / ("walk-" + t.name + ".txt")));
  }
  EXPECT_EQ(tags.out, expected);
  const ToolRun verify = qvtable({"verify", m_table});
  EXPECT_EQ(verify.exit_code, 0);
  EXPECT_EQ(verify.out, "OK\n");
}

TEST_P(IndexCommands, VerifyStaysCleanAfterAppendsChangesNewTagsAndReindex) {
  if (GetParam() == "large") GTEST_SKIP() << "the other sets cover this faster";
  const auto tags = read_expected_tags(m_set);
  // Assign a field every tag of each set reads, so that appends and changes move keys.
  const std::vector<std::string> values = GetParam() == "special"
                                              ? std::vector<std::string>{"ENVIADO=0", "TO_USER=Ñandú@ejemplo.es",
                                                                         "FECHA=2025-03-10", "ERR_COUNT=7",
                                                                         "CANTIDAD=-1.5", "HORA=10:00:00"}
                                              : std::vector<std::string>{"NEGOCIO=ÑANDÚ", "CODIGO=cod77777",
                                                                         "FECHA=2024-02-29", "MONTO=-0.01"};
  for (int i = 0; i < 5; ++i) {
    std::vector<std::string> arguments{"append", m_table};
    arguments.insert(arguments.end(), values.begin(), values.end());
    ASSERT_EQ(qvtable(arguments).exit_code, 0);
  }
  std::vector<std::string> change{"replace", m_table, "2"};
  change.insert(change.end(), values.begin(), values.end());
  ASSERT_EQ(qvtable(change).exit_code, 0);
  ASSERT_EQ(qvtable({"delete", m_table, "3"}).exit_code, 0);
  EXPECT_EQ(qvtable({"verify", m_table}).out, "OK\n");

  const std::string key = GetParam() == "special" ? "UPPER(TO_USER)" : "UPPER(NEGOCIO)+DTOS(FECHA)";
  const std::string condition = GetParam() == "special" ? "ERR_COUNT > 2" : "MONTO < 0";
  ASSERT_EQ(qvtable({"index", m_table, "NUEVO", key, "--for", condition, "--descending"}).exit_code, 0);
  ASSERT_EQ(qvtable({"index", m_table, "UNICO", key, "--unique"}).exit_code, 0);
  const ToolRun listed = qvtable({"tags", m_table});
  EXPECT_NE(listed.out.find("NUEVO\t" + key + "\t" + condition + "\tyes\tno\t"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("UNICO\t" + key + "\t\tno\tyes\t"), std::string::npos) << listed.out;
  EXPECT_EQ(qvtable({"verify", m_table}).out, "OK\n");

  ASSERT_EQ(qvtable(change).exit_code, 0);
  ASSERT_EQ(qvtable({"reindex", m_table}).exit_code, 0);
  EXPECT_EQ(qvtable({"verify", m_table}).out, "OK\n");
  for (const ExpectedTag& t : tags) {
    // The original tags are still there, in their order, after the rebuild.
    EXPECT_NE(qvtable({"tags", m_table}).out.find(t.name + "\t" + t.key_expression), std::string::npos);
  }
}

TEST(IndexCommandErrors, ReportUsageAndDataProblems) {
  data::testing::TestFolder folder;
  const std::string table = (folder / "T.DBF").string();
  ASSERT_EQ(qvtable({"create", table, "--fields", "NAME C 10, MONTO N 8 2"}).exit_code, 0);
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
  };
  const Case cases[] = {
      {{"tags", table}, 1},                                  // No index file yet.
      {{"seek", table}, 2},                                  // Missing tag and key.
      {{"seek", table, "NAME", "x", "--bogus"}, 2},          // Unknown option.
      {{"index", table, "9BAD", "NAME"}, 1},                 // Invalid tag name.
      {{"index", table, "T1", "NOSUCH"}, 1},                 // Unknown field in the key.
      {{"index", table, "T1", "NAME", "--for", "MONTO"}, 1}, // FOR that is not logical.
      {{"index", table, "T1", "UPPER(NAME)"}, 0},
      {{"seek", table, "NOTAG", "x"}, 1},                    // No such tag.
      {{"seek", table, "T1", "x", "--type", "N"}, 2},        // Not a number.
      {{"seek", table, "T1", "X"}, 0},                       // Prints EOF.
      {{"verify", table}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front() + (c.arguments.size() > 2 ? " " + c.arguments[2] : ""));
    EXPECT_EQ(qvtable(c.arguments).exit_code, c.exit_code);
  }
  EXPECT_EQ(qvtable({"seek", table, "t1", "X"}).out, "EOF\n");
}

INSTANTIATE_TEST_SUITE_P(Sets, IndexCommands, ::testing::Values("small", "large", "special", "appended"));

}  // namespace
