#pragma once

#include <string>
#include <vector>

#include "data/code_page.h"
#include "data/table_index.h"

namespace data {

// How a table is shared with the suite's other programs.
enum class Share { Shared, Exclusive };
enum class Access { ReadWrite, ReadOnly };
// Whether navigation shows deleted records. The program always hides them.
enum class DeletedRows { Hidden, Shown };

// Error codes of the table engine (Error::code).
enum class TableErrorCode : int {
  Busy = 1,        // Another program holds the table in a conflicting mode; retry the open.
  NotFound = 2,    // The table or its memo file does not exist.
  BadFormat = 3,   // The file is not a table this engine can read safely.
  Io = 4,          // The operating system refused a read or write.
  Locked = 5,      // Another program holds the lock an append or change needs.
  ReadOnly = 6,    // The table was opened read-only.
  NotLocked = 7,   // A change in shared mode without the record or file lock.
  BadValue = 8,    // A value that does not fit its field.
  NoOrder = 9,     // No controlling order, or no tag of that name.
  AtEof = 10,      // A change at the phantom record.
};
inline bool has_code(const Error& error, TableErrorCode code) { return error.code == static_cast<int>(code); }
inline Error table_error(TableErrorCode code, std::string text) { return Error{static_cast<int>(code), std::move(text)}; }

// A column to create: {name, type, width, decimals}, as DBStruct lists them.
struct FieldSpec {
  std::string name;
  char type = 'C';
  int width = 0;  // Fixed for D (8), L (1) and M (10); may be left 0 for them.
  int decimals = 0;
};
using TableStructure = std::vector<FieldSpec>;

struct TableOpenOptions {
  Share share = Share::Shared;
  Access access = Access::ReadWrite;
  // The code page of a table whose header carries no mark.
  CodePage unmarked_code_page = CodePage::Windows1252;
  // Opens the production index; empty means the table is used without one.
  IndexOpener production_index;
};

struct TableCreateOptions {
  CodePage code_page = CodePage::Windows1252;
  // The new table is left open this way.
  Share share = Share::Exclusive;
  IndexOpener production_index;
};

}  // namespace data
