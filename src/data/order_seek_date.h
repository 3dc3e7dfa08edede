#pragma once

#include <string_view>

#include "data/date.h"
#include "data/dbf_table.h"
#include "data/result.h"

namespace data {

// Starts a scan at the first row on or after `date` among the keys that begin with
// `prefix`: a soft seek of prefix + DTOS(date) in the table's controlling order. Past the
// last key the table is at EOF. Soft seeking applies to this call only.
[[nodiscard]] Result<void> SEEK_DATE(DbfTable& table, std::string_view prefix, const Date& date);

}  // namespace data
