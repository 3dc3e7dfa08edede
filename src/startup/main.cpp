#include <iostream>
#include <string_view>
#include <vector>

#include "startup/command_line.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return startup::run_command_line(arguments, std::cout, std::cerr);
}
