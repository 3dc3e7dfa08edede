#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "data/result.h"

namespace startup {

inline constexpr std::string_view kProgramName = "quarvelt-mailserver";

// Which display back end the window system starts with.
enum class DisplayChoice { Automatic, Gui, Headless };

// What the command line asked for:
//   quarvelt-mailserver [--dir DIR] [--gui | --headless] [--help] [--version]
struct CommandLine {
  std::optional<std::filesystem::path> dir;
  DisplayChoice display = DisplayChoice::Automatic;
  bool is_help = false;
  bool is_version = false;
};

// The exit statuses of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // The program folder does not exist, or start-up failed.
inline constexpr int kExitUsage = 2;    // The command line could not be understood.

// Reads the arguments after the program name. `--dir DIR` and `--dir=DIR` are both accepted. An
// unknown option, a stray argument, a missing folder after --dir or both --gui and --headless give an
// Error whose text is one sentence for standard error.
[[nodiscard]] data::Result<CommandLine> parse_command_line(std::span<const std::string_view> arguments);

// The program folder: --dir, else $QUARVELT_HOME (`home_variable`, null or empty when unset), else
// `executable_folder`. Relative folders are made absolute against the current directory.
std::filesystem::path choose_program_folder(const CommandLine& command_line, const char* home_variable,
                                            const std::filesystem::path& executable_folder);

// The folder of the running executable; the current directory when the system cannot tell.
std::filesystem::path executable_folder();

// "quarvelt-mailserver <version>".
std::string version_line();
// The --help text, ending with a newline.
std::string usage_text();

// Runs the command line: answers --help and --version, otherwise settles the program folder, records
// it in the settings (PATH and the program folder) and reports it. Returns the process exit status;
// every problem is one line on `err`.
int run_command_line(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err);

}  // namespace startup
