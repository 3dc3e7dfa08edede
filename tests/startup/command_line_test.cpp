#include "startup/command_line.h"

#include <sys/wait.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>
#include "support/temp_folder.h"

namespace startup {
namespace {

namespace fs = std::filesystem;

using test_support::TempFolder;

std::string contents(const fs::path& file) {
  std::ifstream in(file);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct ProgramRun {
  int status;
  std::string out, err;
};

// Runs the built program through the shell with `environment` and `arguments` as written.
ProgramRun run_program(const std::string& environment, const std::string& arguments) {
  TempFolder temp;
  const fs::path program = fs::path(QV_BINARY_DIR) / "src" / "startup" / "quarvelt-mailserver";
  const std::string command = "env -u QUARVELT_HOME " + environment + " '" + program.string() + "' " +
                              arguments + " >'" + (temp.path() / "out").string() + "' 2>'" +
                              (temp.path() / "err").string() + "' </dev/null";
  const int raw = std::system(command.c_str());
  return ProgramRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, contents(temp.path() / "out"),
                    contents(temp.path() / "err")};
}

std::size_t line_count(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(CommandLine, ProgramAnswersWithItsExitStatus) {
  TempFolder site;
  const std::string dir = site.path().string();
  struct Case {
    std::string environment, arguments;
    int status;
    std::string out_contains;  // Empty: nothing on standard output.
    std::string err_contains;  // Empty: nothing on standard error.
  };
  const Case kCases[] = {
      {"", "--version", 0, "quarvelt-mailserver 0.", ""},
      {"", "--help", 0, "--dir DIR", ""},
      // A folder that is not a site: the server starts on it and stops at its first settings table.
      {"", "--dir '" + dir + "'", 1, "program folder: " + dir + "/\n", "start-up failed"},
      {"", "--dir='" + dir + "' --headless", 1, "program folder: " + dir + "/", "start-up failed"},
      {"QUARVELT_HOME='" + dir + "'", "--headless", 1, "program folder: " + dir + "/",
       "start-up failed"},  // The variable is second choice.
      {"QUARVELT_HOME=/nonexistent", "--dir '" + dir + "'", 1, "program folder: " + dir + "/",
       "start-up failed"},  // --dir wins.
      {"", "", 1, "program folder: " + (fs::path(QV_BINARY_DIR) / "src" / "startup").string() + "/",
       "start-up failed"},
      {"", "--frobnicate", 2, "", "unknown option '--frobnicate'"},
      {"", "stray", 2, "", "unexpected argument 'stray'"},
      {"", "--dir", 2, "", "--dir needs a folder"},
      {"", "--gui --headless", 2, "", "exclude each other"},
      {"", "--dir '" + dir + "/missing'", 1, "", "does not exist"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.environment + " " + c.arguments);
    const ProgramRun run = run_program(c.environment, c.arguments);
    EXPECT_EQ(run.status, c.status);
    if (c.out_contains.empty())
      EXPECT_EQ(run.out, "");
    else
      EXPECT_NE(run.out.find(c.out_contains), std::string::npos) << run.out;
    if (c.err_contains.empty()) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_NE(run.err.find(c.err_contains), std::string::npos) << run.err;
      EXPECT_EQ(line_count(run.err), 1u);  // One clear line.
    }
  }
}

TEST(CommandLine, ChoosesTheProgramFolderInOrder) {
  CommandLine with_dir;
  with_dir.dir = "/site/a";
  EXPECT_EQ(choose_program_folder(with_dir, "/site/b", "/opt/bin"), fs::path("/site/a"));
  EXPECT_EQ(choose_program_folder(CommandLine{}, "/site/b", "/opt/bin"), fs::path("/site/b"));
  EXPECT_EQ(choose_program_folder(CommandLine{}, "", "/opt/bin"), fs::path("/opt/bin"));
  EXPECT_EQ(choose_program_folder(CommandLine{}, nullptr, "/opt/bin"), fs::path("/opt/bin"));
  EXPECT_EQ(choose_program_folder(with_dir, nullptr, "/x").is_absolute(), true);
}

TEST(CommandLine, ReadsTheDisplayChoice) {
  const std::vector<std::string_view> gui{"--gui"};
  const std::vector<std::string_view> headless{"--headless", "--dir", "/s"};
  EXPECT_EQ(parse_command_line(gui)->display, DisplayChoice::Gui);
  EXPECT_EQ(parse_command_line(headless)->display, DisplayChoice::Headless);
  EXPECT_EQ(parse_command_line({})->display, DisplayChoice::Automatic);
}

}  // namespace
}  // namespace startup
