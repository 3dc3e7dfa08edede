#include "data/site_builder.h"

#include "data/cdx_table_builder.h"
#include "data/program_folder.h"

namespace data {
namespace {

std::vector<std::filesystem::path> table_files(const std::filesystem::path& dbf) {
  std::vector<std::filesystem::path> files{dbf};
  for (const char* extension : {".FPT", ".CDX"}) {
    std::filesystem::path other = dbf;
    files.push_back(other.replace_extension(extension));
  }
  return files;
}

void remove_table_files(const std::filesystem::path& dbf) {
  std::error_code ec;
  for (const std::filesystem::path& file : table_files(dbf)) std::filesystem::remove(file, ec);
}

// The file a table takes in `folder`, in the spelling already there if any (a share from Windows
// may hold "negocios.dbf").
std::filesystem::path existing_file(const std::filesystem::path& folder, const std::string& name) {
  return find_case_insensitive(folder, name);
}

}  // namespace

IndexCreator cdx_index_creator(CdxPageCache& cache) {
  return [&cache](DbfTable& table, const std::vector<SchemaTag>& tags) -> Result<void> {
    for (const SchemaTag& tag : tags) {
      const CdxTagDefinition definition{tag.name, tag.key, tag.for_condition, tag.is_descending, tag.is_unique};
      if (Result<void> made = cdx_create_tag(table, cache, definition); !made) return made;
    }
    return {};
  };
}

Result<std::filesystem::path> SiteBuilder::create_table(const SchemaTable& table,
                                                        const std::filesystem::path& folder) const {
  const std::filesystem::path dbf = folder / (table.name + ".DBF");
  std::error_code ec;
  for (const std::filesystem::path& file : table_files(dbf)) {
    if (std::filesystem::exists(existing_file(folder, file.filename().string()), ec)) {
      return Error{static_cast<int>(TableErrorCode::Io),
                   "already exists: " + existing_file(folder, file.filename().string()).string()};
    }
  }
  std::filesystem::create_directories(folder, ec);
  TableCreateOptions options;
  options.code_page = table.code_page;
  options.share = Share::Exclusive;
  Result<std::unique_ptr<DbfTable>> made = DbfTable::create(dbf, table.structure(), options);
  if (!made) return made.error();
  if (!table.tags.empty() && m_create_index) {
    if (Result<void> indexed = m_create_index(**made, table.tags); !indexed) {
      (void)(*made)->close();
      remove_table_files(dbf);
      return Error{indexed.error().code, table.name + ": " + indexed.error().text};
    }
  }
  if (Result<void> closed = (*made)->close(); !closed) {
    remove_table_files(dbf);
    return closed.error();
  }
  return dbf;
}

Result<std::vector<std::filesystem::path>> SiteBuilder::create_empty_site(
    const std::filesystem::path& root) const {
  struct Planned {
    const SchemaTable* table;
    std::filesystem::path folder;
  };
  std::vector<Planned> plan;
  for (const SchemaTable& table : m_catalogue.tables()) {
    if (table.is_bases) plan.push_back({&table, root / "BASES"});
    if (table.is_profile) plan.push_back({&table, root / "PROFILE"});
  }
  std::error_code ec;
  for (const Planned& planned : plan) {
    for (const std::filesystem::path& file : table_files(planned.folder / (planned.table->name + ".DBF"))) {
      const std::filesystem::path there = existing_file(planned.folder, file.filename().string());
      if (std::filesystem::exists(there, ec))
        return Error{static_cast<int>(TableErrorCode::Io), "already exists: " + there.string()};
    }
  }
  for (const char* folder : kSiteFolders) {
    std::filesystem::create_directories(root / folder, ec);
    if (ec)
      return Error{static_cast<int>(TableErrorCode::Io),
                   "cannot create " + (root / folder).string() + ": " + ec.message()};
  }
  std::vector<std::filesystem::path> made;
  for (const Planned& planned : plan) {
    Result<std::filesystem::path> file = create_table(*planned.table, planned.folder);
    if (!file) {
      for (const std::filesystem::path& earlier : made) remove_table_files(earlier);
      return file.error();
    }
    made.push_back(std::move(*file));
  }
  return made;
}

}  // namespace data
