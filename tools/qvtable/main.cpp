// qvtable: inspect and change the suite's tables from the command line.
#include <iostream>

#include "command.h"
#include "data/runtime_error.h"

namespace {

std::vector<qvtable::Command> all_commands() {
  std::vector<qvtable::Command> commands;
  for (auto group : {qvtable::table_commands, qvtable::record_commands, qvtable::index_commands,
                     qvtable::site_commands}) {
    for (const qvtable::Command& command : group()) commands.push_back(command);
  }
  return commands;
}

int print_usage(const std::vector<qvtable::Command>& commands) {
  std::cerr << "usage:\n";
  for (const qvtable::Command& command : commands) {
    std::cerr << "  qvtable " << command.name << ' ' << command.usage << '\n';
  }
  return qvtable::kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<qvtable::Command> commands = all_commands();
  if (argc < 2) {
    qvtable::fail(qvtable::kUsage, "missing subcommand");
    return print_usage(commands);
  }
  const std::string_view name = argv[1];
  const std::vector<std::string> arguments(argv + 2, argv + argc);
  for (const qvtable::Command& command : commands) {
    if (command.name != name) continue;
    try {
      return command.run(arguments);
    } catch (const data::RuntimeError& error) {
      return qvtable::fail(qvtable::kDataProblem, error.what());
    }
  }
  if (name == "--help" || name == "help") {
    print_usage(commands);
    return qvtable::kOk;
  }
  qvtable::fail(qvtable::kUsage, "unknown subcommand " + std::string(name));
  return print_usage(commands);
}
