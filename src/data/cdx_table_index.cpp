#include "data/cdx_table_index.h"

#include <cctype>
#include <optional>

namespace data {
namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

namespace {

// The index file beside a table, if there is one.
std::optional<std::filesystem::path> existing_index_file(const std::filesystem::path& table_path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  // The two usual spellings first: looking at a name costs less than reading the folder.
  for (const char* extension : {".CDX", ".cdx"}) {
    fs::path candidate = table_path;
    candidate.replace_extension(extension);
    if (fs::exists(candidate, ec)) return candidate;
  }
  // Shares mounted from Windows keep their spelling: match the name regardless of case.
  const std::string stem = upper(table_path.stem().string());
  const fs::path folder = table_path.has_parent_path() ? table_path.parent_path() : fs::path(".");
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const fs::path name = entry.path().filename();
    if (upper(name.stem().string()) == stem && upper(name.extension().string()) == ".CDX") return entry.path();
  }
  return std::nullopt;
}

}  // namespace

std::filesystem::path CdxTableIndex::path_for(const std::filesystem::path& table_path) {
  if (auto existing = existing_index_file(table_path)) return *existing;
  const bool lower_case = table_path.extension() == ".dbf";
  const std::filesystem::path folder = table_path.has_parent_path() ? table_path.parent_path() : ".";
  return folder / (table_path.stem().string() + (lower_case ? ".cdx" : ".CDX"));
}

Result<std::unique_ptr<CdxTableIndex>> CdxTableIndex::open(DbfTable& table, CdxPageCache& cache) {
  const auto path = existing_index_file(table.path());
  if (!path) return std::unique_ptr<CdxTableIndex>();
  return open_file(table, *path, cache);
}

Result<std::unique_ptr<CdxTableIndex>> CdxTableIndex::open_file(DbfTable& table, const std::filesystem::path& path,
                                                                CdxPageCache& cache) {
  const CdxShare share = table.share() == Share::Shared ? CdxShare::Shared : CdxShare::Exclusive;
  auto index = CdxIndex::open(path.string(), cache, share, table.is_read_only());
  if (!index) return index.error();
  auto result = std::make_unique<CdxTableIndex>(Token{}, table, std::move(*index));
  if (auto r = result->load_orders(); !r) return r.error();
  return result;
}

CdxTableIndex::CdxTableIndex(Token, DbfTable& table, std::unique_ptr<CdxIndex> index)
    : m_table(table),
      m_index(std::move(index)),
      m_before(table, upper(table.path().stem().string())),
      m_after(table, upper(table.path().stem().string())) {}

Result<void> CdxTableIndex::load_orders() {
  m_orders.clear();
  for (std::size_t i = 0; i < m_index->tag_count(); ++i) {
    auto order = CdxTableOrder::make(m_index->tag(i), m_after);
    if (!order) return order.error();
    (*order)->set_source(&m_after);
    m_orders.push_back(std::move(*order));
  }
  return {};
}

TableOrder* CdxTableIndex::find_order(std::string_view name) {
  CdxTag* tag = m_index->find_tag(name);
  for (auto& order : m_orders)
    if (&order->tag() == tag) return order.get();
  return nullptr;
}

Result<void> CdxTableIndex::record_added(std::uint32_t recno, std::span<const std::byte> record) {
  m_after.set_record(record, recno);
  CdxLock lock(m_index->file(), CdxLockMode::Write);
  if (!lock.ok()) return lock.error();
  for (auto& order : m_orders) {
    if (!order->entry_key(m_after, m_new_key)) continue;
    auto inserted = order->tag().insert(m_new_key, recno);
    if (!inserted) return inserted.error();
  }
  return lock.release();
}

Result<void> CdxTableIndex::record_changed(std::uint32_t recno, std::span<const std::byte> before,
                                           std::span<const std::byte> after) {
  m_before.set_record(before, recno);
  m_after.set_record(after, recno);
  std::optional<CdxLock> lock;
  for (auto& order : m_orders) {
    const bool had = order->entry_key(m_before, m_old_key);
    const bool has = order->entry_key(m_after, m_new_key);
    if (had == has && (!had || m_old_key == m_new_key)) continue;
    if (!lock) {
      lock.emplace(m_index->file(), CdxLockMode::Write);
      if (!lock->ok()) return lock->error();
    }
    if (had) {
      auto removed = order->tag().remove(m_old_key, recno);
      if (!removed) return removed.error();
    }
    if (has) {
      auto inserted = order->tag().insert(m_new_key, recno);
      if (!inserted) return inserted.error();
    }
  }
  if (lock) return lock->release();
  return {};
}

IndexOpener cdx_index_opener(CdxPageCache& cache) {
  return [&cache](DbfTable& table) -> Result<std::unique_ptr<TableIndex>> {
    auto index = CdxTableIndex::open(table, cache);
    if (!index) return index.error();
    return std::unique_ptr<TableIndex>(std::move(*index));
  };
}

}  // namespace data
