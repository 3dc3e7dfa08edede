#pragma once

#include <string>
#include <vector>

#include "data/cdx_index.h"

namespace data {

// Structural check of an index file: for every tag, node attributes per level, sibling
// links in both directions, each interior entry equal to its child's last entry, entries
// in strictly ascending (key, record) order, and no page used twice; for the file, the
// free list. Returns one line per problem, empty when the file is sound. Takes the read
// lock. Checking keys against the records is the order layer's part.
std::vector<std::string> verify_cdx_structure(CdxIndex& index);

}  // namespace data
