#include "shell/error_trace.h"

#include <cxxabi.h>
#include <execinfo.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace shell {
namespace {

constexpr int kMaxLevels = 64;

// backtrace_symbols gives "module(mangled+0x1f) [0xaddr]", "module(+0x1f) [0xaddr]" or "module [0xaddr]".
CallLevel parse_symbol(std::string_view symbol) {
  CallLevel level;
  const std::size_t open = symbol.find('(');
  const std::size_t plus = symbol.find('+', open == std::string_view::npos ? 0 : open);
  const std::size_t close = symbol.find(')', plus == std::string_view::npos ? 0 : plus);
  if (open == std::string_view::npos || plus == std::string_view::npos || close == std::string_view::npos) {
    level.routine = std::string(symbol.substr(0, symbol.find(' ')));
    return level;
  }
  const std::string mangled(symbol.substr(open + 1, plus - open - 1));
  level.line = std::strtol(std::string(symbol.substr(plus + 1, close - plus - 1)).c_str(), nullptr, 16);
  if (mangled.empty()) {
    level.routine = std::string(symbol.substr(0, open));
    return level;
  }
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status), &std::free);
  level.routine = status == 0 && name ? std::string(name.get()) : mangled;
  return level;
}

}  // namespace

std::vector<CallLevel> call_stack(int skip_levels) {
  std::array<void*, kMaxLevels> addresses{};
  const int count = ::backtrace(addresses.data(), kMaxLevels);
  const std::unique_ptr<char*, decltype(&std::free)> symbols(::backtrace_symbols(addresses.data(), count),
                                                             &std::free);
  std::vector<CallLevel> levels;
  if (!symbols) return levels;
  for (int i = 1 + skip_levels; i < count; ++i) levels.push_back(parse_symbol(symbols.get()[i]));
  return levels;
}

std::string call_trace(const ErrorObject& error, const std::vector<CallLevel>& levels) {
  std::string trace = "File: " + error.file_name + " GenCode: " + std::to_string(error.gen_code) +
                      " OsCode: " + std::to_string(error.os_code) + "\r\n";
  for (const CallLevel& level : levels) {
    if (level.line == 0) continue;
    trace += "Called from " + level.routine + "(" + std::to_string(level.line) + ")\r\n";
  }
  return trace;
}

}  // namespace shell
