// qvtable tags, seek, walk, verify, index and reindex: the table's production index.
#include <algorithm>
#include <charconv>
#include <iostream>

#include "command.h"
#include "data/cdx_table_builder.h"
#include "data/cdx_table_index.h"
#include "data/cdx_table_verify.h"
#include "data/code_page.h"

namespace qvtable {
namespace {

// Options after the positional arguments: "--soft" style flags and "--type X" values.
struct Options {
  std::vector<std::string> positional;
  std::vector<std::string> flags;
  std::string type;
  std::string for_expression;
  bool bad = false;
  bool has(std::string_view flag) const { return std::find(flags.begin(), flags.end(), flag) != flags.end(); }
};

Options parse(std::span<const std::string> arguments, std::initializer_list<std::string_view> allowed) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a.size() > 2 && a.starts_with("--")) {
      if (std::find(allowed.begin(), allowed.end(), a) == allowed.end()) {
        options.bad = true;
      } else if (a == "--type" || a == "--for") {
        if (i + 1 >= arguments.size()) {
          options.bad = true;
          break;
        }
        (a == "--type" ? options.type : options.for_expression) = arguments[++i];
      } else {
        options.flags.push_back(a);
      }
    } else {
      options.positional.push_back(a);
    }
  }
  return options;
}

// The table with its production index; prints why not and returns nullptr.
std::unique_ptr<data::DbfTable> open_indexed(const std::string& path, data::Access access) {
  data::TableOpenOptions options;
  options.access = access;
  options.production_index = data::cdx_index_opener(tool_page_cache());
  auto opened = data::DbfTable::open(path, options);
  if (!opened) {
    fail(kDataProblem, opened.error().text);
    return nullptr;
  }
  std::unique_ptr<data::DbfTable> table = std::move(*opened);
  if (!dynamic_cast<data::CdxTableIndex*>(table->production_index())) {
    fail(kDataProblem, path + " has no index file");
    return nullptr;
  }
  return table;
}

data::CdxTableIndex& index_of(data::DbfTable& table) {
  return *dynamic_cast<data::CdxTableIndex*>(table.production_index());
}

int run_tags(std::span<const std::string> arguments) {
  if (arguments.size() != 1) return usage_error(index_commands()[0]);
  auto table = open_indexed(arguments[0], data::Access::ReadOnly);
  if (!table) return kDataProblem;
  data::CdxTableIndex& index = index_of(*table);
  std::cout << "tag\tkey\tfor\tdescending\tunique\tkeys\n";
  for (std::size_t i = 1; i <= index.order_count(); ++i) {
    data::CdxTag& tag = index.cdx_order(i).tag();
    const data::Result<std::uint64_t> count = tag.count();
    if (!count) return fail(kDataProblem, count.error().text);
    std::cout << tag.name() << '\t' << tag.header().key_expression << '\t' << tag.header().for_expression << '\t'
              << (tag.header().descending ? "yes" : "no") << '\t' << (tag.header().is_unique() ? "yes" : "no")
              << '\t' << *count << '\n';
  }
  return kOk;
}

// The value a command-line key stands for, by key type: C text as given, DESCEND text
// turned into DESCEND() bytes, N a number, D YYYY-MM-DD (empty for the blank date).
bool seek_value(const std::string& type, const std::string& text, data::CodePage code_page, data::Value& out) {
  if (type == "C") {
    out = data::Value(text);
    return true;
  }
  if (type == "DESCEND") {
    std::string bytes = data::encode_text(code_page, text);
    for (char& c : bytes) c = static_cast<char>((256 - static_cast<unsigned char>(c)) % 256);
    out = data::Value(data::decode_text(code_page, bytes));
    return true;
  }
  if (type == "N") {
    double number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    out = data::Value(number);
    return ec == std::errc{} && end == text.data() + text.size();
  }
  if (type == "D") {
    if (text.empty()) {
      out = data::Value(data::Date{});
      return true;
    }
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    const data::Date date = data::STOD(text.substr(0, 4) + text.substr(5, 2) + text.substr(8, 2));
    out = data::Value(date);
    return !date.is_blank();
  }
  return false;
}

std::string default_type(data::CdxKeyType type) {
  switch (type) {
    case data::CdxKeyType::Numeric: return "N";
    case data::CdxKeyType::Date: return "D";
    default: return "C";
  }
}

int run_seek(std::span<const std::string> arguments) {
  const Command self = index_commands()[1];  // A copy: the list is a temporary.
  const Options o = parse(arguments, {"--soft", "--show-deleted", "--type"});
  if (o.bad || o.positional.size() != 3) return usage_error(self);
  auto table = open_indexed(o.positional[0], data::Access::ReadOnly);
  if (!table) return kDataProblem;
  if (data::Result<void> set = table->set_order(o.positional[1]); !set) return fail(kDataProblem, set.error().text);
  auto* order = dynamic_cast<data::CdxTableOrder*>(table->controlling_order());
  const std::string type = o.type.empty() ? default_type(order->tag().key_type()) : o.type;
  data::Value key;
  if (!seek_value(type, o.positional[2], table->code_page(), key))
    return fail(kUsage, "\"" + o.positional[2] + "\" is not a key of type " + type);
  table->set_deleted_rows(o.has("--show-deleted") ? data::DeletedRows::Shown : data::DeletedRows::Hidden);
  const data::Result<bool> found = table->seek(key, o.has("--soft") ? data::SeekMode::Soft : data::SeekMode::Exact);
  if (!found) return fail(kDataProblem, found.error().text);
  if (table->eof())
    std::cout << "EOF\n";
  else
    std::cout << (*found ? "FOUND " : "SOFT ") << table->rec_no() << '\n';
  return kOk;
}

int run_walk(std::span<const std::string> arguments) {
  const Options o = parse(arguments, {"--show-deleted"});
  if (o.bad || o.positional.size() != 2) return usage_error(index_commands()[2]);
  auto table = open_indexed(o.positional[0], data::Access::ReadOnly);
  if (!table) return kDataProblem;
  if (data::Result<void> set = table->set_order(o.positional[1]); !set) return fail(kDataProblem, set.error().text);
  table->set_deleted_rows(o.has("--show-deleted") ? data::DeletedRows::Shown : data::DeletedRows::Hidden);
  for (data::Result<void> moved = table->go_top(); !table->eof(); moved = table->skip(1)) {
    if (!moved) return fail(kDataProblem, moved.error().text);
    std::cout << table->rec_no() << '\n';
  }
  return kOk;
}

int run_verify(std::span<const std::string> arguments) {
  if (arguments.size() != 1) return usage_error(index_commands()[3]);
  auto table = open_indexed(arguments[0], data::Access::ReadOnly);
  if (!table) return kDataProblem;
  const std::vector<std::string> problems = data::verify_cdx_table(*table, index_of(*table));
  if (problems.empty()) {
    std::cout << "OK\n";
    return kOk;
  }
  for (const std::string& problem : problems) std::cout << problem << '\n';
  return kDataProblem;
}

// Building a tag reads every record: the table is opened exclusively so that nobody
// appends meanwhile.
std::unique_ptr<data::DbfTable> open_exclusive(const std::string& path) {
  data::TableOpenOptions options;
  options.share = data::Share::Exclusive;
  options.production_index = data::cdx_index_opener(tool_page_cache());
  auto table = data::DbfTable::open(path, options);
  if (!table) {
    fail(kDataProblem, table.error().text);
    return nullptr;
  }
  return std::move(*table);
}

int run_index(std::span<const std::string> arguments) {
  const Options o = parse(arguments, {"--for", "--descending", "--unique"});
  if (o.bad || o.positional.size() != 3) return usage_error(index_commands()[4]);
  auto table = open_exclusive(o.positional[0]);
  if (!table) return kDataProblem;
  const data::CdxTagDefinition definition{o.positional[1], o.positional[2], o.for_expression, o.has("--descending"),
                                          o.has("--unique")};
  if (data::Result<void> made = data::cdx_create_tag(*table, tool_page_cache(), definition); !made)
    return fail(kDataProblem, made.error().text);
  if (data::Result<void> closed = table->close(); !closed) return fail(kDataProblem, closed.error().text);
  return kOk;
}

int run_reindex(std::span<const std::string> arguments) {
  if (arguments.size() != 1) return usage_error(index_commands()[5]);
  auto table = open_exclusive(arguments[0]);
  if (!table) return kDataProblem;
  if (data::Result<void> rebuilt = data::cdx_reindex(*table, tool_page_cache()); !rebuilt)
    return fail(kDataProblem, rebuilt.error().text);
  if (data::Result<void> closed = table->close(); !closed) return fail(kDataProblem, closed.error().text);
  return kOk;
}

}  // namespace

std::vector<Command> index_commands() {
  return {
      {"tags", "FILE", run_tags},
      {"seek", "FILE TAG KEY [--soft] [--show-deleted] [--type C|N|D|DESCEND]", run_seek},
      {"walk", "FILE TAG [--show-deleted]", run_walk},
      {"verify", "FILE", run_verify},
      {"index", "FILE TAG \"KEY\" [--for EXPR] [--descending] [--unique]", run_index},
      {"reindex", "FILE", run_reindex},
  };
}

}  // namespace qvtable
