#pragma once

#include <filesystem>
#include <string>

#include "data/result.h"
#include "ui/grid_model.h"

namespace ui {

// What an export wrote: the table file and its rows.
struct GridExport {
  std::filesystem::path file;
  long rows = 0;
};

// Writes every row of the grid's scope, in its order and as shown (one text field per column, as
// wide as the column, named after its heading), to a new table "T" + 7 digits + ".DBF" in `folder`,
// which the suite's other programs and any spreadsheet can open. The grid stays on its current row.
// Fails, leaving no file behind, when the folder cannot take the table.
[[nodiscard]] data::Result<GridExport> export_grid_table(GridModel& grid, const std::filesystem::path& folder);

// The field names of the export: the headings in upper-case letters and digits, cut to 10
// characters, made unique with a number.
std::vector<std::string> export_field_names(const std::vector<std::string>& headings);

}  // namespace ui
