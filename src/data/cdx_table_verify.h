#pragma once

#include <string>
#include <vector>

#include "data/cdx_table_index.h"
#include "data/dbf_table.h"

namespace data {

// Checks a table's production index against the table: the file's structure (see
// verify_cdx_structure), then for every tag that each entry's key is the key its record
// gives now, that every record the tag should hold (FOR aware) is there, that a UNIQUE
// tag holds each key once, and that the tag walks the same both ways. One line per
// problem; empty when the index is right.
std::vector<std::string> verify_cdx_table(DbfTable& table, CdxTableIndex& index);

}  // namespace data
