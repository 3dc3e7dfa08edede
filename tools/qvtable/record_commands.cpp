// qvtable append, replace, delete and lock: one record at a time, under its lock.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include "command.h"
#include "data/expr_expression.h"
#include "data/file_lock.h"
#include "data/table_field_source.h"
#include "data/unique_fd.h"

namespace qvtable {
namespace {

// Positions on `recno` and takes its lock, or reports why not.
int lock_for_change(data::DbfTable& table, std::uint32_t recno) {
  if (recno > table.last_rec()) {
    return fail(kDataProblem, "record " + std::to_string(recno) + " does not exist (the table has " +
                                  std::to_string(table.last_rec()) + ")");
  }
  if (data::Result<void> moved = table.go_to(recno); !moved) return fail(kDataProblem, moved.error().text);
  if (!table.lock_current()) {
    return fail(kDataProblem, "record " + std::to_string(recno) + " is locked by another program");
  }
  return kOk;
}

int finish(data::DbfTable& table) {
  if (data::Result<void> unlocked = table.unlock(); !unlocked) return fail(kDataProblem, unlocked.error().text);
  if (data::Result<void> closed = table.close(); !closed) return fail(kDataProblem, closed.error().text);
  return kOk;
}

int run_append(std::span<const std::string> arguments) {
  if (arguments.empty()) return usage_error(record_commands()[0]);
  auto table = open_for_tool(arguments[0], data::Access::ReadWrite);
  if (!table) return kDataProblem;
  if (data::Result<void> appended = table->append(); !appended) return fail(kDataProblem, appended.error().text);
  if (const int code = assign_fields(*table, arguments.subspan(1)); code != kOk) return code;
  const std::uint32_t recno = table->rec_no();
  if (const int code = finish(*table); code != kOk) return code;
  std::cout << recno << std::endl;
  return kOk;
}

int run_replace(std::span<const std::string> arguments) {
  const std::uint32_t recno = arguments.size() >= 3 ? parse_recno(arguments[1]) : 0;
  if (recno == 0) return usage_error(record_commands()[1]);
  auto table = open_for_tool(arguments[0], data::Access::ReadWrite);
  if (!table) return kDataProblem;
  if (const int code = lock_for_change(*table, recno); code != kOk) return code;
  if (const int code = assign_fields(*table, arguments.subspan(2)); code != kOk) return code;
  return finish(*table);
}

int run_delete(std::span<const std::string> arguments) {
  const std::uint32_t recno = arguments.size() == 2 ? parse_recno(arguments[1]) : 0;
  if (recno == 0) return usage_error(record_commands()[2]);
  auto table = open_for_tool(arguments[0], data::Access::ReadWrite);
  if (!table) return kDataProblem;
  if (const int code = lock_for_change(*table, recno); code != kOk) return code;
  if (data::Result<void> deleted = table->delete_record(); !deleted) return fail(kDataProblem, deleted.error().text);
  return finish(*table);
}

// Holds a record lock (or, for record 0, the append lock) for SECONDS, so other programs
// and tests can watch it. Prints "locked" once the lock is held.
int run_lock(std::span<const std::string> arguments) {
  const Command self = record_commands()[3];  // A copy: the list is a temporary.
  if (arguments.size() != 3) return usage_error(self);
  const bool is_header = arguments[1] == "0";
  const std::uint32_t recno = parse_recno(arguments[1]);
  const std::uint32_t seconds = arguments[2] == "0" ? 0 : parse_recno(arguments[2]);
  if ((!is_header && recno == 0) || (seconds == 0 && arguments[2] != "0")) return usage_error(self);
  auto table = open_for_tool(arguments[0], data::Access::ReadWrite);
  if (!table) return kDataProblem;
  data::UniqueFd header_holder;
  if (is_header) {
    header_holder = data::UniqueFd(::open(arguments[0].c_str(), O_RDWR | O_CLOEXEC));
    if (!header_holder ||
        !data::lock_bytes(header_holder.get(), data::kHeaderLockOffset, 1, data::LockKind::Exclusive)) {
      return fail(kDataProblem, "the append lock is held by another program");
    }
  } else if (const int code = lock_for_change(*table, recno); code != kOk) {
    return code;
  }
  std::cout << "locked" << std::endl;
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  return finish(*table);
}

// Evaluates an xBase expression on one record and prints its value: text as it is, numbers
// with the decimals the expression carries, dates as YYYY-MM-DD, logicals as T or F.
int run_eval(std::span<const std::string> arguments) {
  const std::uint32_t recno = arguments.size() == 3 ? parse_recno(arguments[1]) : 0;
  if (recno == 0) return usage_error(record_commands()[4]);
  auto table = open_for_tool(arguments[0], data::Access::ReadOnly);
  if (!table) return kDataProblem;
  if (recno > table->last_rec()) {
    return fail(kDataProblem, "record " + std::to_string(recno) + " does not exist (the table has " +
                                  std::to_string(table->last_rec()) + ")");
  }
  if (data::Result<void> moved = table->go_to(recno); !moved) return fail(kDataProblem, moved.error().text);
  const data::TableFieldSource fields(*table);
  data::Result<data::Expression> expression = data::Expression::compile(arguments[2], fields);
  if (!expression) return fail(kDataProblem, expression.error().text);
  const data::Value value = expression->evaluate(fields);
  switch (value.kind()) {
    case data::Value::Kind::Number: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.*f", expression->result_decimals(), value.number());
      std::cout << buffer << '\n';
      break;
    }
    case data::Value::Kind::Date: {
      const std::string s = data::DTOS(value.date());
      std::cout << (value.date().is_blank() ? "" : s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2)) << '\n';
      break;
    }
    case data::Value::Kind::Logical: std::cout << (value.logical() ? "T" : "F") << '\n'; break;
    default: std::cout << value.text() << '\n'; break;
  }
  return kOk;
}

}  // namespace

std::vector<Command> record_commands() {
  return {
      {"append", "FILE [NAME=value ...]", run_append},
      {"replace", "FILE RECNO NAME=value ...", run_replace},
      {"delete", "FILE RECNO", run_delete},
      {"lock", "FILE RECNO SECONDS   (RECNO 0 holds the append lock)", run_lock},
      {"eval", "FILE RECNO EXPRESSION", run_eval},
  };
}

}  // namespace qvtable
