#pragma once

#include <string>

#include "data/cdx_page_cache.h"
#include "data/dbf_table.h"
#include "data/result.h"

namespace data {

// What a new tag is: its name, key expression and options, as the index command takes
// them.
struct CdxTagDefinition {
  std::string name;
  std::string key_expression;
  std::string for_expression;  // Empty: every record.
  bool descending = false;
  bool unique = false;
};

// Builds a tag of the table's production index from every record (creating the index
// file when the table has none, replacing a tag of the same name), then attaches the
// index to the table, which marks its header so other programs open it too. The key
// length is the key expression's result width (8 for numbers and dates). Open the table
// exclusively: rows added meanwhile by others would be missing.
Result<void> cdx_create_tag(DbfTable& table, CdxPageCache& cache, const CdxTagDefinition& definition);

// Rebuilds every tag of the table's production index from the records, keeping their
// definitions and creation order. Fails when the table has no index file.
Result<void> cdx_reindex(DbfTable& table, CdxPageCache& cache);

}  // namespace data
