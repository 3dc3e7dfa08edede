#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "data/dbf_table.h"
#include "data/result.h"

namespace data {

// The numbered work areas of the program (1 … kMaxWorkAreas), each holding at most one
// open table under an alias, and the current area that unqualified operations act on.
//
// Opening in a new area takes the lowest free one and makes it current. An open that
// finds the table held exclusively by another program fails with TableErrorCode::Busy,
// which the caller retries; nothing is left half-open. Not thread-safe.
class WorkAreas {
 public:
  static constexpr int kMaxWorkAreas = 250;

  WorkAreas() = default;
  WorkAreas(const WorkAreas&) = delete;
  WorkAreas& operator=(const WorkAreas&) = delete;

  // Opens `path` in the lowest free area under `alias` (upper-cased; the file's stem when
  // empty) and selects it. Returns the area number. Fails when every area is in use, the
  // alias is taken by another area, or the open fails.
  Result<int> open(const std::filesystem::path& path, const TableOpenOptions& options = {},
                   std::string_view alias = "");
  // Opens into a given area, closing what it held first.
  Result<int> open_in(int area, const std::filesystem::path& path, const TableOpenOptions& options = {},
                      std::string_view alias = "");
  // Closes the table of `area` (commits, releases its locks); a free area is ignored.
  Result<void> close(int area);
  void close_all();

  int current() const { return m_current; }
  // Makes `area` current (it may be free, as in xBase). Requires: 1 <= area <= kMaxWorkAreas.
  void select(int area);
  // The area holding `alias` (case-insensitive), 0 when none.
  int find_alias(std::string_view alias) const;
  int lowest_free() const;

  bool used(int area) const { return table(area) != nullptr; }
  // The table of `area`, nullptr when the area is free or out of range.
  DbfTable* table(int area) const;
  // The table of the current area. Throws RuntimeError when the current area is free.
  DbfTable& current_table() const;
  const std::string& alias(int area) const;

 private:
  struct Slot {
    std::unique_ptr<DbfTable> table;
    std::string alias;
  };
  std::array<Slot, kMaxWorkAreas + 1> m_slots;  // Index 0 is unused: areas count from 1.
  int m_current = 1;
};

// Runs one operation in another work area and selects the previous one again on scope
// exit, the `area->operation` of the business code.
class AreaScope {
 public:
  AreaScope(WorkAreas& areas, int area) : m_areas(areas), m_previous(areas.current()) { areas.select(area); }
  ~AreaScope() { m_areas.select(m_previous); }
  AreaScope(const AreaScope&) = delete;
  AreaScope& operator=(const AreaScope&) = delete;

 private:
  WorkAreas& m_areas;
  int m_previous;
};

}  // namespace data
