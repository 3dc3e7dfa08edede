#pragma once

#include <exception>
#include <optional>
#include <string>

namespace shell {

// The facts of one run-time error as the error handler reads them: the codes and texts the
// storage layer's error objects carry, and whether the failed operation may be retried or
// given its default. Exceptions of the program become one of these (error_object()); the
// silent rules of DEFERROR are decided on the codes alone.
struct ErrorObject {
  int gen_code = 0;               // 0: no generic code (every C++ exception of this program).
  int os_code = 0;                // errno of a failed file operation, 0 otherwise.
  std::optional<int> sub_code;    // The subsystem's own code; shown as "???" when absent.
  std::string subsystem;          // "DBFCDX", "WINDOWS", "C++", …; shown as "???" when empty.
  int severity = 2;               // Above 1 the error line says "Error", else "Warning".
  std::string description;
  std::string file_name;
  std::string operation;
  bool can_retry = true;
  bool can_default = true;
};

// Generic codes the handler settles without a window.
inline constexpr int kGenZeroDivide = 5;
inline constexpr int kGenOpen = 21;      // A file could not be opened.
inline constexpr int kGenServerOpen = 2006;
inline constexpr int kGenLock = 40;      // A lock could not be had.
inline constexpr int kOsSharingViolation = 32;
// Two errors of the database server that are settled silently.
inline constexpr int kSubServerSilent1 = 6313;
inline constexpr int kSubServerSilent2 = 6102;

// The error object of an exception: a data::RuntimeError keeps its subsystem, its detail as the
// description and its operation; a std::filesystem::filesystem_error gives the file name and the
// system's error number; any other exception is subsystem "C++" with its type as the operation.
// Every one of them may be retried and defaulted.
ErrorObject error_object(const std::exception& error);

// The one-line summary shown in the window, stored in ERROR->DESCRIP and put in the mail:
// "Error DBFCDX/???  table not found: …: USE".
std::string error_line(const ErrorObject& error);

}  // namespace shell
