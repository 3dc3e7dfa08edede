#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "data/cdx_table_builder.h"
#include "data/dbf_table.h"
#include "data/message_box_sink.h"
#include "data/schema_catalogue.h"
#include "data/site_builder.h"
#include "data/use_table.h"
#include "data/wtable_retry.h"
#include "data/wtable_session.h"
#include "support/temp_folder.h"

namespace ui::testing {

// The code of row `i` (1-based) of the grid test table, in CODE order.
inline std::string grid_code(long i) {
  char text[24];  // Room for any long, so the compiler sees no truncation.
  std::snprintf(text, sizeof text, "%06ld", i);
  return text;
}
// Its group: 100 groups "A00".."A99" of consecutive codes, 1% of the table each.
inline std::string grid_group(long i, long rows) {
  char text[24];
  std::snprintf(text, sizeof text, "A%02ld", (i - 1) * 100 / rows);
  return text;
}
// Its name: a permutation of the codes, so the NAME order shuffles the CODE order.
inline std::string grid_name(long i, long rows) {
  char text[24];
  std::snprintf(text, sizeof text, "N%06ld", (i * 7919) % rows);
  return text;
}

// Writes GRID.DBF with `rows` rows and its production index: CODE, GRUPO (GRUPO+CODE), NAME and
// CODED (CODE, descending). Every 1000th row (codes 1000, 2000, …) is deleted.
inline void write_grid_table(const std::filesystem::path& folder, long rows) {
  std::filesystem::create_directories(folder);
  const data::TableStructure structure = {
      {"CODE", 'C', 6, 0}, {"GRUPO", 'C', 3, 0}, {"NAME", 'C', 20, 0},
      {"AMOUNT", 'N', 8, 2}, {"FECHA", 'D', 8, 0}, {"ACTIVO", 'L', 1, 0}};
  auto table = data::DbfTable::create(folder / "GRID.DBF", structure);
  if (!table) std::abort();
  data::DbfTable& t = **table;
  for (long i = 1; i <= rows; ++i) {
    if (!t.append()) std::abort();
    (void)t.put("CODE", data::Value(grid_code(i)));
    (void)t.put("GRUPO", data::Value(grid_group(i, rows)));
    (void)t.put("NAME", data::Value(grid_name(i, rows)));
    (void)t.put("AMOUNT", data::Value(static_cast<double>(i) / 4));
    (void)t.put("FECHA", data::Value(data::Date::from_ymd(2026, 1, 1) + static_cast<int>(i % 365)));
    (void)t.put("ACTIVO", data::Value(i % 2 == 0));
    if (i % 1000 == 0) (void)t.delete_record();
  }
  data::CdxPageCache cache;
  const data::CdxTagDefinition tags[] = {{"CODE", "CODE", "", false, false},
                                         {"GRUPO", "GRUPO+CODE", "", false, false},
                                         {"NAME", "NAME", "", false, false},
                                         {"CODED", "CODE", "", true, false}};
  for (const auto& tag : tags)
    if (!data::cdx_create_tag(t, cache, tag)) std::abort();
  if (!t.close()) std::abort();
}

// The table catalogue of this source tree.
inline const data::SchemaCatalogue& catalogue() {
  static const data::SchemaCatalogue loaded = [] {
    auto result = data::SchemaCatalogue::load(std::filesystem::path(QV_SOURCE_DIR) / "resources" / "schema");
    if (!result) std::abort();
    return std::move(*result);
  }();
  return loaded;
}

// Creates the empty catalogue table `name` in `folder`, with its production index.
inline void write_catalogued_table(data::TableSession& session, const std::string& name,
                                   const std::filesystem::path& folder) {
  const data::SchemaTable* table = catalogue().find(name);
  if (!table) std::abort();
  std::filesystem::create_directories(folder);
  const data::SiteBuilder builder(catalogue(), data::cdx_index_creator(session.page_cache()));
  if (!builder.create_table(*table, folder)) std::abort();
}

class QuietSink final : public data::MessageBoxSink {
 public:
  int MESSAGE_BOX(std::string_view, std::string_view, int flags) override { return data::default_button(flags); }
};

class StillClock final : public data::RetryClock {
 public:
  std::chrono::steady_clock::time_point now() const override { return m_now; }
  void wait(std::chrono::milliseconds interval) override { m_now += interval; }

 private:
  std::chrono::steady_clock::time_point m_now{};
};

// Bytes this process has read from files so far: the kernel's own counter, so a test can tell
// that an operation did not read a whole table.
inline long long bytes_read_by_process() {
  std::ifstream io("/proc/self/io");
  std::string name;
  long long value = 0;
  while (io >> name >> value)
    if (name == "rchar:") return value;
  return -1;
}

// A program folder with a session on it.
struct GridSite {
  test_support::TempFolder folder{"grid"};
  QuietSink sink;
  StillClock clock;
  data::TableSession session{data::TableSettings{folder.path(), "", 0, "", "MLS", "DBFCDX"}, sink, clock};

  std::unique_ptr<data::WDBTable> use(std::string_view name, std::string_view order) {
    return data::USE(session, {}, name, order);
  }
};

}  // namespace ui::testing
