#include "startup/command_line.h"

#include <cstdlib>
#include <system_error>

#include "startup/settings.h"

namespace startup {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kVersion = QV_VERSION;  // The project version, given by the build.

data::Unexpected usage_error(std::string text) {
  return data::unexpected(kExitUsage, std::string(kProgramName) + ": " + std::move(text) + " (try --help)");
}

}  // namespace

data::Result<CommandLine> parse_command_line(std::span<const std::string_view> arguments) {
  CommandLine result;
  bool is_gui = false;
  bool is_headless = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--dir") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) return usage_error("--dir needs a folder");
      result.dir = fs::path(arguments[++i]);
    } else if (argument.starts_with("--dir=")) {
      const std::string_view folder = argument.substr(6);
      if (folder.empty()) return usage_error("--dir needs a folder");
      result.dir = fs::path(folder);
    } else if (argument == "--gui") {
      is_gui = true;
    } else if (argument == "--headless") {
      is_headless = true;
    } else if (argument == "--help" || argument == "-h") {
      result.is_help = true;
    } else if (argument == "--version") {
      result.is_version = true;
    } else if (argument.starts_with("-")) {
      return usage_error("unknown option '" + std::string(argument) + "'");
    } else {
      return usage_error("unexpected argument '" + std::string(argument) + "'");
    }
  }
  if (is_gui && is_headless) return usage_error("--gui and --headless exclude each other");
  result.display = is_gui        ? DisplayChoice::Gui
                   : is_headless ? DisplayChoice::Headless
                                 : DisplayChoice::Automatic;
  return result;
}

fs::path choose_program_folder(const CommandLine& command_line, const char* home_variable,
                               const fs::path& executable_folder) {
  fs::path folder = command_line.dir                          ? *command_line.dir
                    : home_variable && *home_variable != '\0' ? fs::path(home_variable)
                                                              : executable_folder;
  std::error_code ec;
  fs::path absolute = fs::absolute(folder, ec);
  if (ec) return folder;
  return absolute.lexically_normal();
}

fs::path executable_folder() {
  std::error_code ec;
  const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
  if (ec || executable.empty()) return fs::current_path(ec);
  return executable.parent_path();
}

std::string version_line() { return std::string(kProgramName) + " " + std::string(kVersion); }

std::string usage_text() {
  return "Usage: " + std::string(kProgramName) +
         " [--dir DIR] [--gui | --headless]\n"
         "\n"
         "Runs the QUARVELT mail server on a program folder (BASES/, HTML/, MAIL/, HBEAT/, ...).\n"
         "\n"
         "  --dir DIR     the program folder; without it $QUARVELT_HOME, else the executable's folder\n"
         "  --gui         show the windows on the desktop\n"
         "  --headless    run without a display; status lines go to standard error\n"
         "  --help        show this text and exit\n"
         "  --version     show the version and exit\n"
         "\n"
         "Exit status: 0 on success, 1 when the program folder is missing or start-up fails,\n"
         "2 when the command line cannot be understood.\n";
}

int run_command_line(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
  const data::Result<CommandLine> command_line = parse_command_line(arguments);
  if (!command_line) {
    err << command_line.error().text << '\n';
    return kExitUsage;
  }
  if (command_line->is_help) {
    out << usage_text();
    return kExitOk;
  }
  if (command_line->is_version) {
    out << version_line() << '\n';
    return kExitOk;
  }
  const fs::path folder =
      choose_program_folder(*command_line, std::getenv("QUARVELT_HOME"), executable_folder());
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    err << kProgramName << ": the program folder " << folder.string() << " does not exist\n";
    return kExitFailure;
  }
  Settings& s = settings();
  s.program_folder = data::ProgramFolder(folder);
  s.PATH = (folder / "").string();
  out << version_line() << '\n' << "program folder: " << s.PATH << '\n';
  return kExitOk;
}

}  // namespace startup
