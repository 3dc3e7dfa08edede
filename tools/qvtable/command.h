#pragma once

// The command table of qvtable. Each group of subcommands lives in its own file and
// returns its commands from one function declared here; main.cpp lists the groups. To add
// a group, write GROUP_commands.cpp with `std::vector<Command> GROUP_commands()`, declare
// it below and add it to the list in main.cpp.

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/cdx_page_cache.h"
#include "data/dbf_table.h"

namespace qvtable {

// Exit codes of every subcommand.
inline constexpr int kOk = 0;
inline constexpr int kDataProblem = 1;  // The table or a value is wrong, a lock is held elsewhere.
inline constexpr int kUsage = 2;        // The command line is wrong.

struct Command {
  std::string_view name;
  std::string_view usage;  // Arguments after the subcommand name, for the usage text.
  int (*run)(std::span<const std::string> arguments);  // Arguments after the subcommand name.
};

std::vector<Command> table_commands();   // info, dump, create
std::vector<Command> record_commands();  // append, replace, delete, lock, eval
std::vector<Command> index_commands();   // tags, seek, walk, verify, index, reindex
std::vector<Command> site_commands();    // init-site, demo-site

// The index page cache every table this run opens shares.
data::CdxPageCache& tool_page_cache();

// Writes "qvtable: TEXT" as one line on stderr and returns `code`.
int fail(int code, std::string_view text);
// The usage line of one command, as an error.
int usage_error(const Command& command);

// Opens a table for a subcommand, with its production index so that every change keeps
// the index right; prints the error and returns nullptr on failure. A read-only open
// that cannot use the index warns and goes on without it.
std::unique_ptr<data::DbfTable> open_for_tool(const std::string& path, data::Access access);

// Parses a record number; 0 when the text is not a positive number.
std::uint32_t parse_recno(std::string_view text);

// Stores NAME=value assignments into the current record, converting each text to the
// field's type. Returns kOk or prints the problem and returns its exit code.
int assign_fields(data::DbfTable& table, std::span<const std::string> assignments);

}  // namespace qvtable
