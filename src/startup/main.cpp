#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

#include "shell/main_entry.h"
#include "startup/command_line.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const data::Result<startup::CommandLine> command_line = startup::parse_command_line(arguments);
  // Usage errors, --help and --version are answered as the command line always answered them.
  if (!command_line || command_line->is_help || command_line->is_version) {
    return startup::run_command_line(arguments, std::cout, std::cerr);
  }
  const std::filesystem::path folder =
      startup::choose_program_folder(*command_line, std::getenv("QUARVELT_HOME"), startup::executable_folder());
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    std::cerr << startup::kProgramName << ": the program folder " << folder.string() << " does not exist\n";
    return startup::kExitFailure;
  }
  std::cout << startup::version_line() << '\n' << "program folder: " << (folder / "").string() << std::endl;
  return shell::MAIN(folder, command_line->display, std::cerr);
}
