// Helpers shared by the qvtable command groups.
#include <charconv>
#include <iostream>

#include "command.h"
#include "data/cdx_table_index.h"
#include "data/name_case.h"

namespace qvtable {
namespace {

// The value a command-line text stands for in a field of this type; empty Value with
// `ok` false when it cannot be read.
data::Value value_for_field(const data::DbfField& field, const std::string& text, bool& ok) {
  ok = true;
  switch (field.type) {
    case 'N':
    case 'F':
    case 'I':
    case 'B':
    case 'Y': {
      if (text.empty()) return data::Value();
      double number = 0;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
      ok = ec == std::errc{} && end == text.data() + text.size();
      return data::Value(number);
    }
    case 'D': {
      if (text.empty()) return data::Value(data::Date{});
      std::string digits;
      for (const char c : text) {
        if (c != '-') digits.push_back(c);
      }
      const data::Date date = data::STOD(digits);
      ok = !date.is_blank() && digits.size() == 8;
      return data::Value(date);
    }
    case 'L': {
      const std::string t = data::upper_ascii(text);
      if (t == "T" || t == ".T." || t == "TRUE" || t == "Y") return data::Value(true);
      ok = t == "F" || t == ".F." || t == "FALSE" || t == "N" || t.empty();
      return data::Value(false);
    }
    default:
      return data::Value(text);
  }
}

}  // namespace

int fail(int code, std::string_view text) {
  std::cerr << "qvtable: " << text << std::endl;
  return code;
}

int usage_error(const Command& command) {
  return fail(kUsage, "usage: qvtable " + std::string(command.name) + " " + std::string(command.usage));
}

data::CdxPageCache& tool_page_cache() {
  static data::CdxPageCache cache;  // One short-lived process: one cache for all its tables.
  return cache;
}

std::unique_ptr<data::DbfTable> open_for_tool(const std::string& path, data::Access access) {
  data::TableOpenOptions options;
  options.access = access;
  options.production_index =
      [access](data::DbfTable& table) -> data::Result<std::unique_ptr<data::TableIndex>> {
    auto index = data::CdxTableIndex::open(table, tool_page_cache());
    if (!index && access == data::Access::ReadOnly) {
      fail(kDataProblem, "warning: index not used: " + index.error().text);
      return std::unique_ptr<data::TableIndex>();
    }
    if (!index) return index.error();
    return std::unique_ptr<data::TableIndex>(std::move(*index));
  };
  data::Result<std::unique_ptr<data::DbfTable>> table = data::DbfTable::open(path, options);
  if (!table) {
    fail(kDataProblem, table.error().text);
    return nullptr;
  }
  if (!(*table)->open_warning().empty()) fail(kDataProblem, "warning: " + (*table)->open_warning());
  return std::move(*table);
}

std::uint32_t parse_recno(std::string_view text) {
  std::uint32_t recno = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), recno);
  return ec == std::errc{} && end == text.data() + text.size() ? recno : 0;
}

int assign_fields(data::DbfTable& table, std::span<const std::string> assignments) {
  for (const std::string& assignment : assignments) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
      return fail(kUsage, "expected NAME=value, got \"" + assignment + "\"");
    const std::string name = assignment.substr(0, equals);
    const int pos = table.field_pos(name);
    if (pos == 0)
      return fail(kDataProblem,
                  table.path().filename().string() + " has no field " + data::upper_ascii(name));
    bool ok = true;
    const data::Value value = value_for_field(table.field(pos), assignment.substr(equals + 1), ok);
    if (!ok) {
      return fail(kDataProblem, "\"" + assignment.substr(equals + 1) + "\" is not a value for field " +
                                    data::upper_ascii(name) + " (" + std::string(1, table.field(pos).type) +
                                    ")");
    }
    if (data::Result<void> put = table.put(pos, value); !put) return fail(kDataProblem, put.error().text);
  }
  return kOk;
}

}  // namespace qvtable
