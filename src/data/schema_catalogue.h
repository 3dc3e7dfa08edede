#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/code_page.h"
#include "data/result.h"
#include "data/table_types.h"

namespace data {

// One column of a catalogued table, in record order.
struct SchemaField {
  std::string name;
  char type = 'C';
  int width = 0;
  int decimals = 0;
  bool is_optional = false;  // A newer field the program tests with FIELDPOS before using it.
};

// One order (tag) of a catalogued table's production index.
struct SchemaTag {
  std::string name;
  std::string key;
  std::string for_condition;  // Empty when the tag has no FOR condition.
  bool is_descending = false;
  bool is_unique = false;
};

// What the catalogue says about one table: its structure, its tags and where empty copies belong.
struct SchemaTable {
  std::string name;     // Upper case, at most 8 characters.
  std::string purpose;  // The text after the dash of the first comment line.
  CodePage code_page = CodePage::Windows1252;
  bool has_memo = false;
  bool is_profile = false;  // An empty template copy is kept in PROFILE/.
  bool is_bases = false;    // The table lives in BASES/, shared by the suite.
  std::vector<SchemaField> fields;
  std::vector<SchemaTag> tags;

  TableStructure structure() const;
  const SchemaTag* find_tag(std::string_view tag) const;
};

// The catalogue of every table the program touches (resources/schema/*.tbl). It is the source of
// the empty tables of a new site, the PROFILE/ templates and the test fixtures; an existing site
// keeps its own files, whose structure is read from the files themselves.
class SchemaCatalogue {
 public:
  // Reads every NAME.tbl in `folder`. An Error names the file and line of the first malformed
  // line, or the folder when it cannot be read or holds no table.
  [[nodiscard]] static Result<SchemaCatalogue> load(const std::filesystem::path& folder);
  // Parses the text of one .tbl file; `origin` names it in errors.
  [[nodiscard]] static Result<SchemaTable> parse(std::string_view text, std::string_view origin);

  // The catalogue shipped with the program: $QV_SCHEMA_DIR when set, else the first
  // resources/schema/ found beside the executable or in a folder above it. Empty when none.
  static std::filesystem::path default_folder();

  // Tables sorted by name.
  const std::vector<SchemaTable>& tables() const { return m_tables; }
  // The table of that name (case-insensitive), or nullptr.
  const SchemaTable* find(std::string_view name) const;

 private:
  std::vector<SchemaTable> m_tables;
};

}  // namespace data
