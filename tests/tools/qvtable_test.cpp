// qvtable against real tables, and a second process holding locks the engine must respect.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "data/dbf_table.h"
#include "data/table_types.h"
#include "data/unique_fd.h"
#include "data/dbf_test_folder.h"

namespace {

struct Outcome {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// A running qvtable process with its standard output on a pipe.
class Child {
 public:
  explicit Child(const std::vector<std::string>& arguments, const std::string& err_file) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) std::abort();
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(pipe_fds[1], 1);
      const int err = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(err, 2);
      std::vector<char*> argv{const_cast<char*>(QVTABLE_PATH)};
      for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(QVTABLE_PATH, argv.data());
      ::_exit(127);
    }
    ::close(pipe_fds[1]);
    m_out = data::UniqueFd(pipe_fds[0]);
  }
  ~Child() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGKILL);
      wait();
    }
  }
  // The first line the child writes, without its line end.
  std::string read_line() {
    std::string line;
    char c;
    while (::read(m_out.get(), &c, 1) == 1 && c != '\n') line.push_back(c);
    return line;
  }
  std::string read_rest() {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(m_out.get(), buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    return text;
  }
  int wait() {
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void stop() {
    ::kill(m_pid, SIGTERM);
    wait();
  }

 private:
  pid_t m_pid = -1;
  data::UniqueFd m_out;
};

class QvTable : public ::testing::Test {
 protected:
  Outcome run(const std::vector<std::string>& arguments) {
    const std::string err_file = (folder / "stderr.txt").string();
    Child child(arguments, err_file);
    Outcome outcome;
    outcome.out = child.read_rest();
    outcome.exit_code = child.wait();
    std::ifstream in(err_file);
    outcome.err.assign(std::istreambuf_iterator<char>(in), {});
    return outcome;
  }
  std::string table(const std::string& name = "T.DBF") { return (folder / name).string(); }
  void create_sample() {
    ASSERT_EQ(run({"create", table(), "--fields", "NAME C 15, FECHA D, MONTO N 12 2, ACTIVO L, NOTA M"}).exit_code, 0);
  }

  data::testing::TestFolder folder;
};

TEST_F(QvTable, CreatesAppendsReplacesDeletesAndDumps) {
  create_sample();
  Outcome appended = run({"append", table(), "NAME=Muñoz", "FECHA=2026-12-11", "MONTO=-12.5", "ACTIVO=T",
                          "NOTA=línea 1\r\nlínea 2"});
  ASSERT_EQ(appended.exit_code, 0) << appended.err;
  EXPECT_EQ(appended.out, "1\n");
  ASSERT_EQ(run({"append", table(), "NAME=Peña", "ACTIVO=F"}).exit_code, 0);
  ASSERT_EQ(run({"replace", table(), "2", "MONTO=3", "FECHA=20250101"}).exit_code, 0);
  ASSERT_EQ(run({"delete", table(), "1"}).exit_code, 0);
  EXPECT_EQ(run({"dump", table()}).out, "2\t-\tPeña\t2025-01-01\t3.00\tF\t\n");
  EXPECT_EQ(run({"dump", table(), "--deleted"}).out,
            "1\t*\tMuñoz\t2026-12-11\t-12.50\tT\tlínea 1\\r\\nlínea 2\n"
            "2\t-\tPeña\t2025-01-01\t3.00\tF\t\n");
  const Outcome info = run({"info", table()});
  ASSERT_EQ(info.exit_code, 0);
  EXPECT_NE(info.out.find("records: 2\n"), std::string::npos);
  EXPECT_NE(info.out.find("code_page: 1252 (mark 0x03)\n"), std::string::npos);
  EXPECT_NE(info.out.find("memo_file: yes (block size 64"), std::string::npos);
  EXPECT_NE(info.out.find("3\tMONTO\tN\t12\t2\n"), std::string::npos);
}

TEST_F(QvTable, EvaluatesExpressionsOnARecord) {
  create_sample();
  ASSERT_EQ(run({"append", table(), "NAME=peña", "FECHA=2026-12-11", "MONTO=-12.5", "ACTIVO=T", "NOTA=hola"}).exit_code,
            0);
  struct Case {
    const char* expression;
    const char* printed;
  };
  const Case kCases[] = {
      {"UPPER(NAME)+DTOS(FECHA)", "PEÑA           20261211"},  // Key text keeps the field's padding.
      {"MONTO*2", "-25.00"},
      {"FECHA+20", "2026-12-31"},
      {"ACTIVO .AND. MONTO < 0", "T"},
      {"STR(MONTO,8,1)", "   -12.5"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.expression);
    const Outcome outcome = run({"eval", table(), "1", c.expression});
    ASSERT_EQ(outcome.exit_code, 0) << outcome.err;
    EXPECT_EQ(outcome.out, std::string(c.printed) + "\n");
  }
  EXPECT_EQ(run({"eval", table(), "1", "NO_SUCH_FIELD+1"}).exit_code, 1);
  EXPECT_EQ(run({"eval", table(), "2", "NAME"}).exit_code, 1);
}

TEST_F(QvTable, ExitCodesSeparateUsageFromDataProblems) {
  create_sample();
  std::ofstream(folder / "JUNK.DBF") << "not a table";
  struct Case {
    std::vector<std::string> arguments;
    int exit_code;
  };
  const Case kCases[] = {
      {{}, 2},                                             // No subcommand.
      {{"frobnicate"}, 2},                                 // Unknown subcommand.
      {{"dump"}, 2},                                       // Missing file.
      {{"replace", table(), "x", "MONTO=1"}, 2},           // Record number is not a number.
      {{"append", table(), "MONTO"}, 2},                   // Not NAME=value.
      {{"create", table("N.DBF"), "--fields", "A Q"}, 1},  // Unknown field type.
      {{"dump", table("NONE.DBF")}, 1},                    // Missing table.
      {{"dump", table("JUNK.DBF")}, 1},                    // Not a table.
      {{"replace", table(), "5", "MONTO=1"}, 1},           // No such record.
      {{"append", table(), "NOPE=1"}, 1},                  // No such field.
      {{"append", table(), "MONTO=abc"}, 1},               // Not a number.
      {{"append", table(), "MONTO=1e15"}, 1},              // Too wide for N(12,2).
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.arguments.empty() ? "" : c.arguments[0] + " " + (c.arguments.size() > 1 ? c.arguments.back() : ""));
    const Outcome outcome = run(c.arguments);
    EXPECT_EQ(outcome.exit_code, c.exit_code) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("qvtable: ", 0), 0u) << outcome.err;
  }
}

TEST_F(QvTable, DumpsEveryFixtureAsTheRuntimeDid) {
  const std::filesystem::path fixtures = data::testing::xbase_fixtures();
  if (fixtures.empty()) GTEST_SKIP() << "no xBase fixtures on this machine";
  for (const std::string set : {"small", "special", "appended"}) {
    SCOPED_TRACE(set);
    std::string upper = set;
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    const Outcome dump = run({"dump", (fixtures / set / (upper + ".DBF")).string(), "--deleted"});
    ASSERT_EQ(dump.exit_code, 0) << dump.err;
    std::ifstream in(fixtures / set / "expected" / "dump.tsv", std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(dump.out == expected);
  }
}

TEST_F(QvTable, AnotherProcessHoldingARecordLockExcludesUs) {
  create_sample();
  ASSERT_EQ(run({"append", table(), "NAME=uno"}).exit_code, 0);
  ASSERT_EQ(run({"append", table(), "NAME=dos"}).exit_code, 0);
  data::Result<std::unique_ptr<data::DbfTable>> opened = data::DbfTable::open(table());
  ASSERT_TRUE(opened) << opened.error().text;
  data::DbfTable& ours = **opened;

  Child holder({"lock", table(), "2", "60"}, (folder / "holder.txt").string());
  ASSERT_EQ(holder.read_line(), "locked");
  EXPECT_FALSE(ours.lock_record(2));
  EXPECT_TRUE(ours.lock_record(1));  // Other records stay free.
  EXPECT_NE(run({"replace", table(), "2", "NAME=tres"}).exit_code, 0);
  holder.stop();  // Its locks go with its descriptors.
  EXPECT_TRUE(ours.lock_record(2));
  ASSERT_TRUE(ours.unlock());
  EXPECT_EQ(run({"replace", table(), "2", "NAME=tres"}).exit_code, 0);
}

TEST_F(QvTable, AnotherProcessHoldingTheAppendLockStopsAppends) {
  create_sample();
  data::Result<std::unique_ptr<data::DbfTable>> opened = data::DbfTable::open(table());
  ASSERT_TRUE(opened) << opened.error().text;
  data::DbfTable& ours = **opened;

  Child holder({"lock", table(), "0", "60"}, (folder / "holder.txt").string());
  ASSERT_EQ(holder.read_line(), "locked");
  data::Result<void> blocked = ours.append();
  ASSERT_FALSE(blocked);
  EXPECT_TRUE(data::has_code(blocked.error(), data::TableErrorCode::Locked));
  holder.stop();
  ASSERT_TRUE(ours.append());
  EXPECT_EQ(ours.rec_no(), 1u);
}

TEST_F(QvTable, ExclusiveOpenElsewhereMakesTheTableBusy) {
  create_sample();
  Child holder({"lock", table(), "0", "60"}, (folder / "holder.txt").string());
  ASSERT_EQ(holder.read_line(), "locked");
  data::TableOpenOptions exclusive;
  exclusive.share = data::Share::Exclusive;
  data::Result<std::unique_ptr<data::DbfTable>> opened = data::DbfTable::open(table(), exclusive);
  ASSERT_FALSE(opened);
  EXPECT_TRUE(data::has_code(opened.error(), data::TableErrorCode::Busy));
  holder.stop();
  EXPECT_TRUE(data::DbfTable::open(table(), exclusive));
}

}  // namespace
