#include "data/work_areas.h"

#include "data/name_case.h"
#include "data/runtime_error.h"

namespace data {
Result<int> WorkAreas::open(const std::filesystem::path& path, const TableOpenOptions& options,
                            std::string_view alias) {
  const int area = lowest_free();
  if (area == 0) return table_error(TableErrorCode::Io, "every work area is in use");
  return open_in(area, path, options, alias);
}

Result<int> WorkAreas::open_in(int area, const std::filesystem::path& path, const TableOpenOptions& options,
                               std::string_view alias) {
  if (area < 1 || area > kMaxWorkAreas) {
    return table_error(TableErrorCode::Io, "work area " + std::to_string(area) + " does not exist");
  }
  const std::string name = upper_ascii(alias.empty() ? path.stem().string() : alias);
  const int holder = find_alias(name);
  if (holder != 0 && holder != area) {
    return table_error(TableErrorCode::Io,
                       "alias " + name + " is already in use in work area " + std::to_string(holder));
  }
  if (Result<void> closed = close(area); !closed) return closed.error();
  Result<std::unique_ptr<DbfTable>> table = DbfTable::open(path, options);
  if (!table) return table.error();
  m_slots[area].table = std::move(*table);
  m_slots[area].alias = name;
  m_current = area;
  return area;
}

Result<void> WorkAreas::close(int area) {
  if (area < 1 || area > kMaxWorkAreas || !m_slots[area].table) return {};
  Slot& slot = m_slots[area];
  Result<void> closed = slot.table->close();
  slot.table.reset();
  slot.alias.clear();
  return closed;
}

void WorkAreas::close_all() {
  for (int area = 1; area <= kMaxWorkAreas; ++area) (void)close(area);
}

void WorkAreas::select(int area) {
  if (area >= 1 && area <= kMaxWorkAreas) m_current = area;
}

int WorkAreas::find_alias(std::string_view alias) const {
  const std::string name = upper_ascii(alias);
  for (int area = 1; area <= kMaxWorkAreas; ++area) {
    if (m_slots[area].table && m_slots[area].alias == name) return area;
  }
  return 0;
}

int WorkAreas::lowest_free() const {
  for (int area = 1; area <= kMaxWorkAreas; ++area) {
    if (!m_slots[area].table) return area;
  }
  return 0;
}

DbfTable* WorkAreas::table(int area) const {
  if (area < 1 || area > kMaxWorkAreas) return nullptr;
  return m_slots[area].table.get();
}

DbfTable& WorkAreas::current_table() const {
  DbfTable* table = this->table(m_current);
  if (!table)
    throw RuntimeError("work area", "DBF", "work area " + std::to_string(m_current) + " is not in use");
  return *table;
}

const std::string& WorkAreas::alias(int area) const {
  static const std::string kNone;
  return area >= 1 && area <= kMaxWorkAreas ? m_slots[area].alias : kNone;
}

}  // namespace data
