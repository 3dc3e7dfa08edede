#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/cdx_page_cache.h"
#include "data/dbf_table.h"
#include "data/result.h"
#include "data/schema_catalogue.h"

namespace data {

// Builds the production index of a freshly created, empty table: one tag per SchemaTag, in
// catalogue order, in NAME.CDX beside the table, announced in the table's header so the suite's
// other programs open it with the table.
using IndexCreator = std::function<Result<void>(DbfTable& table, const std::vector<SchemaTag>& tags)>;

// The IndexCreator of CDX files, sharing `cache` (which must outlive it).
IndexCreator cdx_index_creator(CdxPageCache& cache);

// The folders every site has under its program folder.
inline constexpr const char* kSiteFolders[] = {"BASES", "PROFILE", "TEMP",      "HBEAT",
                                               "BMP",   "HTML",    "MAIL/SEND", "MAIL/RECEIVE"};

// Creates sites and single tables from the table catalogue.
class SiteBuilder {
 public:
  // Requires: `catalogue` outlives the builder. Without `create_index`, tables get no index file.
  SiteBuilder(const SchemaCatalogue& catalogue, IndexCreator create_index)
      : m_catalogue(catalogue), m_create_index(std::move(create_index)) {}

  // Creates `table` as `folder`/NAME.DBF (with NAME.FPT for memos and NAME.CDX for its tags),
  // empty. Fails without creating anything when a file of that name exists; a failure half-way
  // removes what it made.
  [[nodiscard]] Result<std::filesystem::path> create_table(const SchemaTable& table,
                                                           const std::filesystem::path& folder) const;

  // Creates an empty site under `program_folder`: the standard folders, every table marked for
  // BASES/ there and every template marked for PROFILE/ there. Returns the table files made.
  // Fails, touching nothing, when any of those table files already exists; a failure half-way
  // removes the tables it made.
  [[nodiscard]] Result<std::vector<std::filesystem::path>> create_empty_site(
      const std::filesystem::path& program_folder) const;

  const SchemaCatalogue& catalogue() const { return m_catalogue; }
  const IndexCreator& index_creator() const { return m_create_index; }

 private:
  const SchemaCatalogue& m_catalogue;
  IndexCreator m_create_index;
};

}  // namespace data
