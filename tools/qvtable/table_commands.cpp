// qvtable info, dump and create: the table as a whole.
#include <cstdio>
#include <iostream>
#include <sstream>

#include "command.h"
#include "data/fpt_file.h"
#include "data/table_dump.h"

namespace qvtable {
namespace {

std::string hex(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%02X", value);
  return buffer;
}

std::string_view version_name(std::uint8_t version) {
  switch (version) {
    case 0x02: return "FoxBASE";
    case 0x03: return "dBase III / FoxPro, no memo";
    case 0x30: return "Visual FoxPro";
    case 0x31: return "Visual FoxPro, autoincrement";
    case 0x32: return "Visual FoxPro, varchar";
    case 0x83: return "dBase III with memo";
    case 0x8B: return "dBase IV with memo";
    case 0xF5: return "FoxPro 2.x with memo";
    default: return "other";
  }
}

int run_info(std::span<const std::string> arguments) {
  if (arguments.size() != 1) return usage_error(table_commands()[0]);
  auto table = open_for_tool(arguments[0], data::Access::ReadOnly);
  if (!table) return kDataProblem;
  const data::DbfHeader& header = table->header();
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", header.last_update_year(), header.update_month,
                header.update_day);
  std::cout << "file: " << arguments[0] << '\n'
            << "version: " << hex(header.version) << " (" << version_name(header.version) << ")\n"
            << "last_update: " << date << '\n'
            << "records: " << table->last_rec() << '\n'
            << "header_length: " << header.header_length << '\n'
            << "record_length: " << header.record_length << '\n'
            << "table_flags: " << hex(header.table_flags) << '\n'
            << "code_page: " << data::code_page_name(table->code_page()) << " (mark "
            << hex(header.code_page_mark) << ")\n";
  if (const data::FptFile* memo = table->memo_file()) {
    const data::Result<std::uint32_t> next_free = memo->next_free_block();
    std::cout << "memo_file: yes (block size " << memo->block_size() << ", next free block "
              << (next_free ? std::to_string(*next_free) : "unreadable") << ")\n";
  } else {
    std::cout << "memo_file: none\n";
  }
  std::cout << "fields: " << table->field_count() << '\n';
  for (int pos = 1; pos <= table->field_count(); ++pos) {
    const data::DbfField& field = table->field(pos);
    std::cout << pos << '\t' << field.name << '\t' << field.type << '\t' << field.width << '\t'
              << static_cast<int>(field.decimals) << '\n';
  }
  return table->open_warning().empty() ? kOk : kDataProblem;
}

int run_dump(std::span<const std::string> arguments) {
  const bool with_deleted = arguments.size() == 2 && arguments[1] == "--deleted";
  if (arguments.empty() || arguments.size() > 2 || (arguments.size() == 2 && !with_deleted)) {
    return usage_error(table_commands()[1]);
  }
  auto table = open_for_tool(arguments[0], data::Access::ReadOnly);
  if (!table) return kDataProblem;
  table->set_deleted_rows(with_deleted ? data::DeletedRows::Shown : data::DeletedRows::Hidden);
  std::string out;
  for (data::Result<void> moved = table->go_top(); !table->eof(); moved = table->skip()) {
    if (!moved) return fail(kDataProblem, moved.error().text);
    out += data::dump_line(*table);
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::cout << out;
      out.clear();
    }
  }
  std::cout << out << std::flush;
  return table->open_warning().empty() ? kOk : kDataProblem;
}

// "NAME C 15, FECHA D, MONTO N 12 2" as a structure; false when a part is malformed.
bool parse_fields(std::string_view text, data::TableStructure& structure) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    std::istringstream part{std::string(text.substr(start, comma - start))};
    data::FieldSpec item;
    std::string type;
    if (!(part >> item.name >> type) || type.size() != 1) return false;
    item.type = type[0];
    if (!(part >> item.width)) {
      part.clear();
      item.width = 0;
    } else if (!(part >> item.decimals)) {
      part.clear();
      item.decimals = 0;
    }
    std::string rest;
    if (part >> rest) return false;
    structure.push_back(item);
    start = comma + 1;
  }
  return !structure.empty();
}

int run_create(std::span<const std::string> arguments) {
  const Command self = table_commands()[2];  // A copy: the list is a temporary.
  if (arguments.empty()) return usage_error(self);
  data::TableStructure structure;
  data::TableCreateOptions options;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--fields" && i + 1 < arguments.size()) {
      if (!parse_fields(arguments[++i], structure)) return fail(kUsage, "cannot read --fields \"" + arguments[i] + "\"");
    } else if (arguments[i] == "--code-page" && i + 1 < arguments.size()) {
      const std::string& page = arguments[++i];
      if (page == "1252") options.code_page = data::CodePage::Windows1252;
      else if (page == "850") options.code_page = data::CodePage::Dos850;
      else if (page == "437") options.code_page = data::CodePage::Dos437;
      else return fail(kUsage, "unknown code page " + page + " (1252, 850 or 437)");
    } else {
      return usage_error(self);
    }
  }
  if (structure.empty()) return usage_error(self);
  data::Result<std::unique_ptr<data::DbfTable>> table = data::DbfTable::create(arguments[0], structure, options);
  if (!table) return fail(kDataProblem, table.error().text);
  if (data::Result<void> closed = (*table)->close(); !closed) return fail(kDataProblem, closed.error().text);
  return kOk;
}

}  // namespace

std::vector<Command> table_commands() {
  return {
      {"info", "FILE", run_info},
      {"dump", "FILE [--deleted]", run_dump},
      {"create", "FILE --fields \"NAME C 15, FECHA D, MONTO N 12 2, ACTIVO L, NOTA M\" [--code-page 1252|850|437]",
       run_create},
  };
}

}  // namespace qvtable
