#include "data/schema_catalogue.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "data/program_folder.h"
#include "data/text.h"

namespace data {
namespace {

Error line_error(std::string_view origin, int line, std::string_view what) {
  return Error{static_cast<int>(TableErrorCode::BadFormat),
               std::string(origin) + ":" + std::to_string(line) + ": " + std::string(what)};
}

// Cuts the next blank-separated word off `rest`.
std::string next_word(std::string_view& rest) {
  const std::size_t start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const std::size_t end = std::min(rest.find(' '), rest.size());
  std::string word(rest.substr(0, end));
  rest.remove_prefix(end);
  return word;
}

// Cuts a quoted expression off `rest`. The first quote followed by a blank or the end of the line
// closes it, so literals inside keep their own quotes.
bool next_expression(std::string_view& rest, std::string& expression) {
  const std::size_t start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos || rest[start] != '"') return false;
  rest.remove_prefix(start + 1);
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '"' && (i + 1 == rest.size() || rest[i + 1] == ' ')) {
      expression = std::string(rest.substr(0, i));
      rest.remove_prefix(i + 1);
      return !expression.empty();
    }
  }
  return false;
}

bool parse_yes_no(const std::string& word, bool& out) {
  if (word == "yes")
    out = true;
  else if (word == "no")
    out = false;
  else
    return false;
  return true;
}

bool parse_int(const std::string& word, int& out) {
  if (word.empty() || word.size() > 6 ||
      !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  out = std::stoi(word);
  return true;
}

bool is_name(std::string_view name, std::size_t max) {
  if (name.empty() || name.size() > max) return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; });
}

Result<SchemaField> parse_field(std::string_view rest, std::string_view origin, int line) {
  SchemaField field;
  field.name = next_word(rest);
  const std::string type = next_word(rest);
  const std::string width = next_word(rest);
  const std::string decimals = next_word(rest);
  const std::string flag = next_word(rest);
  if (!is_name(field.name, 10)) return line_error(origin, line, "bad field name \"" + field.name + "\"");
  if (type.size() != 1 || std::string_view("CNFDLMI").find(type[0]) == std::string_view::npos) {
    return line_error(origin, line, "bad type of field " + field.name);
  }
  field.type = type[0];
  if (!parse_int(width, field.width) || !parse_int(decimals, field.decimals) || field.width < 1 ||
      field.width > 254) {
    return line_error(origin, line, "bad width of field " + field.name);
  }
  if (flag == "optional")
    field.is_optional = true;
  else if (!flag.empty() || !next_word(rest).empty())
    return line_error(origin, line, "unexpected words after field " + field.name);
  return field;
}

Result<SchemaTag> parse_tag(std::string_view rest, std::string_view origin, int line) {
  SchemaTag tag;
  tag.name = next_word(rest);
  if (!is_name(tag.name, 10)) return line_error(origin, line, "bad tag name \"" + tag.name + "\"");
  if (next_word(rest) != "key" || !next_expression(rest, tag.key)) {
    return line_error(origin, line, "tag " + tag.name + " needs key \"EXPRESSION\"");
  }
  for (std::string word = next_word(rest); !word.empty(); word = next_word(rest)) {
    if (word == "for" && tag.for_condition.empty()) {
      if (!next_expression(rest, tag.for_condition))
        return line_error(origin, line, "tag " + tag.name + ": bad for");
    } else if (word == "descending") {
      tag.is_descending = true;
    } else if (word == "unique") {
      tag.is_unique = true;
    } else {
      return line_error(origin, line, "tag " + tag.name + ": unexpected \"" + word + "\"");
    }
  }
  return tag;
}

}  // namespace

TableStructure SchemaTable::structure() const {
  TableStructure out;
  out.reserve(fields.size());
  for (const SchemaField& field : fields)
    out.push_back(FieldSpec{field.name, field.type, field.width, field.decimals});
  return out;
}

const SchemaTag* SchemaTable::find_tag(std::string_view tag) const {
  for (const SchemaTag& candidate : tags) {
    if (same_file_name(candidate.name, tag)) return &candidate;
  }
  return nullptr;
}

Result<SchemaTable> SchemaCatalogue::parse(std::string_view text, std::string_view origin) {
  SchemaTable table;
  std::istringstream in{std::string(text)};
  std::string raw;
  int line = 0;
  bool has_code_page = false, has_memo = false, has_profile = false, has_bases = false;
  while (std::getline(in, raw)) {
    ++line;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::string_view rest = raw;
    if (rest.find_first_not_of(' ') == std::string_view::npos) continue;
    if (rest.front() == '#') {
      if (line == 1) {
        // "# NAME — purpose"
        const std::size_t dash = rest.find("\xE2\x80\x94");
        if (dash != std::string_view::npos) table.purpose = ALLTRIM(rest.substr(dash + 3));
      }
      continue;
    }
    const std::string keyword = next_word(rest);
    if (keyword == "table") {
      table.name = next_word(rest);
      if (!is_name(table.name, 8)) return line_error(origin, line, "bad table name \"" + table.name + "\"");
    } else if (keyword == "codepage") {
      const std::string page = next_word(rest);
      if (page == "1252")
        table.code_page = CodePage::Windows1252;
      else if (page == "437")
        table.code_page = CodePage::Dos437;
      else if (page == "850")
        table.code_page = CodePage::Dos850;
      else
        return line_error(origin, line, "unknown code page " + page);
      has_code_page = true;
    } else if (keyword == "memo") {
      has_memo = parse_yes_no(next_word(rest), table.has_memo);
      if (!has_memo) return line_error(origin, line, "memo takes yes or no");
    } else if (keyword == "profile") {
      has_profile = parse_yes_no(next_word(rest), table.is_profile);
      if (!has_profile) return line_error(origin, line, "profile takes yes or no");
    } else if (keyword == "bases") {
      has_bases = parse_yes_no(next_word(rest), table.is_bases);
      if (!has_bases) return line_error(origin, line, "bases takes yes or no");
    } else if (keyword == "field") {
      Result<SchemaField> field = parse_field(rest, origin, line);
      if (!field) return field.error();
      table.fields.push_back(std::move(*field));
    } else if (keyword == "tag") {
      Result<SchemaTag> tag = parse_tag(rest, origin, line);
      if (!tag) return tag.error();
      table.tags.push_back(std::move(*tag));
    } else {
      return line_error(origin, line, "unknown line \"" + keyword + "\"");
    }
  }
  if (table.name.empty() || !has_code_page || !has_memo || !has_profile || !has_bases) {
    return line_error(origin, line, "table, codepage, memo, profile and bases lines are all needed");
  }
  if (table.fields.empty()) return line_error(origin, line, "table " + table.name + " has no field");
  const bool has_memo_field = std::any_of(table.fields.begin(), table.fields.end(),
                                          [](const SchemaField& f) { return f.type == 'M'; });
  if (has_memo_field != table.has_memo) return line_error(origin, line, "memo line and M fields disagree");
  return table;
}

Result<SchemaCatalogue> SchemaCatalogue::load(const std::filesystem::path& folder) {
  SchemaCatalogue catalogue;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec)
    return Error{static_cast<int>(TableErrorCode::NotFound),
                 "cannot read the table catalogue " + folder.string()};
  for (const auto& entry : it) {
    if (!entry.is_regular_file() || entry.path().extension() != ".tbl") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file) return Error{static_cast<int>(TableErrorCode::Io), "cannot read " + entry.path().string()};
    Result<SchemaTable> table = parse(text.str(), entry.path().string());
    if (!table) return table.error();
    catalogue.m_tables.push_back(std::move(*table));
  }
  if (catalogue.m_tables.empty()) {
    return Error{static_cast<int>(TableErrorCode::NotFound), "no table in the catalogue " + folder.string()};
  }
  std::sort(catalogue.m_tables.begin(), catalogue.m_tables.end(),
            [](const SchemaTable& a, const SchemaTable& b) { return a.name < b.name; });
  return catalogue;
}

std::filesystem::path SchemaCatalogue::default_folder() {
  if (const char* env = std::getenv("QV_SCHEMA_DIR"); env && *env) return env;
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  for (; !ec && !dir.empty(); dir = dir.parent_path()) {
    const std::filesystem::path candidate = dir / "resources" / "schema";
    if (std::filesystem::exists(candidate / "README.md", ec)) return candidate;
    if (dir == dir.root_path()) break;
  }
  return {};
}

const SchemaTable* SchemaCatalogue::find(std::string_view name) const {
  for (const SchemaTable& table : m_tables) {
    if (same_file_name(table.name, name)) return &table;
  }
  return nullptr;
}

}  // namespace data
