#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "frame_test_support.h"

extern char** environ;

namespace shell_test {
namespace {

const std::string kProgram = std::string(QV_BINARY_DIR) + "/src/startup/quarvelt-mailserver";

// The program started with `arguments`, its standard error read line by line through a pipe.
class RunningProgram {
 public:
  explicit RunningProgram(std::vector<std::string> arguments, const std::string& home) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    arguments.insert(arguments.begin(), kProgram);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment{"HOMESHARE=" + home, "QV_RESOURCE_DIR=" + std::string(QV_SOURCE_DIR) + "/resources",
                                         "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    if (posix_spawn(&m_pid, kProgram.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_fds[1]);
    m_stderr = pipe_fds[0];
  }
  ~RunningProgram() {
    if (m_pid > 0) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
    if (m_stderr >= 0) ::close(m_stderr);
  }

  bool started() const { return m_pid > 0; }
  pid_t pid() const { return m_pid; }

  // Reads standard error until a line contains `text`; false at the end of the output.
  bool wait_for_line(const std::string& text) {
    std::string line;
    char c;
    while (::read(m_stderr, &c, 1) == 1) {
      output += c;
      if (c != '\n') {
        line += c;
        continue;
      }
      if (line.find(text) != std::string::npos) return true;
      line.clear();
    }
    return false;
  }

  // Waits for the program to end; its wait status.
  int wait() {
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return status;
  }

  std::string output;

 private:
  pid_t m_pid = -1;
  int m_stderr = -1;
};

TEST(MainBinary, RunsHeadlessOnTheDemoSiteUntilSigterm) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    test_support::TempFolder folder{"binary"};
    make_demo_site(folder.path());
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    RunningProgram program({"--dir", folder.path().string(), "--headless"}, (folder / "home").string());
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(program.wait_for_line("MailServer Quarvelt: running")) << program.output;
    ::kill(program.pid(), signal);
    const int status = program.wait();
    ASSERT_TRUE(WIFEXITED(status)) << program.output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << program.output;
    // No question is asked on the operator's signal.
    EXPECT_EQ(program.output.find("Cierre de Aplicaci"), std::string::npos) << program.output;
  }
}

TEST(MainBinary, GuiWithoutADesktopBackEndRunsHeadless) {
  test_support::TempFolder folder{"binary"};
  make_demo_site(folder.path());
  ASSERT_FALSE(testing::Test::HasFatalFailure());
  RunningProgram program({"--dir", folder.path().string(), "--gui"}, (folder / "home").string());
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.wait_for_line("MailServer Quarvelt: running")) << program.output;
  EXPECT_NE(program.output.find("running headless"), std::string::npos) << program.output;
  ::kill(program.pid(), SIGTERM);
  EXPECT_EQ(program.wait(), 0);
}

TEST(MainBinary, MissingSettingsTableFailsTheStartUp) {
  test_support::TempFolder folder{"binary"};
  std::filesystem::create_directories(folder / "BASES");
  RunningProgram program({"--dir", folder.path().string()}, (folder / "home").string());
  ASSERT_TRUE(program.started());
  EXPECT_TRUE(program.wait_for_line("start-up failed"));
  const int status = program.wait();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
}  // namespace shell_test
