#include "ui/grid_export_table.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <set>

#include "data/dbf_table.h"
#include "data/use_table.h"

namespace ui {

namespace {

long hundredths_since_midnight() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto hundredths =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000 / 10;
  return (local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec) * 100L + static_cast<long>(hundredths);
}

std::filesystem::path free_file(const std::filesystem::path& folder) {
  for (long attempt = 0;; ++attempt) {
    const std::filesystem::path file = folder / data::private_copy_name(hundredths_since_midnight() + attempt, "DBF");
    if (!std::filesystem::exists(file)) return file;
  }
}

}  // namespace

std::vector<std::string> export_field_names(const std::vector<std::string>& headings) {
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (std::size_t i = 0; i < headings.size(); ++i) {
    std::string name;
    for (char c : headings[i]) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x80 && std::isalnum(byte)) name += static_cast<char>(std::toupper(byte));
    }
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) name = "C" + name;
    name.resize(std::min<std::size_t>(name.size(), 10));
    const std::string base = name;
    for (int n = 2; taken.count(name); ++n) {
      const std::string suffix = std::to_string(n);
      name = base.substr(0, std::min<std::size_t>(base.size(), 10 - suffix.size())) + suffix;
    }
    taken.insert(name);
    names.push_back(name);
  }
  return names;
}

data::Result<GridExport> export_grid_table(GridModel& grid, const std::filesystem::path& folder) {
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  const std::vector<std::string> names = export_field_names(grid.headings());
  data::TableStructure structure;
  for (std::size_t i = 0; i < names.size(); ++i)
    structure.push_back({names[i], 'C', std::clamp(grid.columns()[i].width(), 1, 254), 0});
  GridExport result{free_file(folder), 0};
  auto table = data::DbfTable::create(result.file, structure);
  if (!table) return table.error();
  const auto discard = [&](const data::Error& error) -> data::Result<GridExport> {
    (void)(*table)->close();
    std::error_code ignored;
    std::filesystem::remove(result.file, ignored);
    return error;
  };
  const std::uint32_t current = grid.NCRECNO;
  BrowseCursor& cursor = grid.cursor();
  for (bool more = cursor.go_top(); more; more = cursor.skip(1) == 1) {
    if (auto added = (*table)->append(); !added) return discard(added.error());
    const GridRow row = grid.current_row_cells();
    for (std::size_t i = 0; i < row.cells.size(); ++i)
      if (auto put = (*table)->put(static_cast<int>(i) + 1, data::Value(row.cells[i])); !put) return discard(put.error());
    ++result.rows;
  }
  if (current != 0) cursor.go_to_record(current);
  if (auto closed = (*table)->close(); !closed) return discard(closed.error());
  return result;
}

}  // namespace ui
