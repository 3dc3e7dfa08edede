#pragma once

#include <string>
#include <vector>

#include "shell/error_object.h"

namespace shell {

// One level of the call stack: the routine and a position inside it (never 0 for a level that
// can be shown).
struct CallLevel {
  std::string routine;
  long line = 0;
};

// The call stack of the caller, innermost level first, without the levels of this function.
//
// Taken with glibc's backtrace() and backtrace_symbols(), with C++ names demangled: the
// toolchain's std::stacktrace needs C++23 and a separate library, and the handler must work in
// every build. The binary carries no line table at run time, so `line` is the byte offset of the
// return address inside the routine, which a developer turns into a source line with addr2line.
// Levels whose routine has no symbol (static functions of a stripped binary) are kept with
// their module name.
std::vector<CallLevel> call_stack(int skip_levels = 0);

// The trace put under the error line: "File: <file> GenCode: <n> OsCode: <n>" and then
// "Called from <routine>(<line>)" for each level whose line is not 0, each line ending in CR LF.
std::string call_trace(const ErrorObject& error, const std::vector<CallLevel>& levels);

}  // namespace shell
