#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data/cdx_index.h"
#include "data/cdx_record_source.h"
#include "data/cdx_table_order.h"
#include "data/dbf_table.h"
#include "data/table_index.h"

namespace data {

// The production index of an open table: the CDX file with the table's base name, every
// tag kept right on each append and change (old entry out, new entry in, under one
// index write lock per record), and the tags as orders the table navigates.
class CdxTableIndex final : public TableIndex {
 public:
  // Opens the index file beside `table` (same base name, extension CDX in any case), in
  // the table's share and access mode; nullptr when there is none. Fails when the file is
  // damaged or a tag's expressions cannot be evaluated on this table.
  static Result<std::unique_ptr<CdxTableIndex>> open(DbfTable& table, CdxPageCache& cache);
  // Opens an index file that was just written for `table` (by the index tool).
  static Result<std::unique_ptr<CdxTableIndex>> open_file(DbfTable& table, const std::filesystem::path& path,
                                                          CdxPageCache& cache);
  // The index file that belongs beside `table`; the usual spelling when none exists yet.
  static std::filesystem::path path_for(const std::filesystem::path& table_path);

  std::size_t order_count() const override { return m_orders.size(); }
  TableOrder& order(std::size_t position) override { return *m_orders.at(position - 1); }
  TableOrder* find_order(std::string_view name) override;
  Result<void> record_added(std::uint32_t recno, std::span<const std::byte> record) override;
  Result<void> record_changed(std::uint32_t recno, std::span<const std::byte> before,
                              std::span<const std::byte> after) override;
  Result<void> flush() override { return {}; }  // Every change is written under its lock.

  CdxIndex& index() { return *m_index; }
  CdxTableOrder& cdx_order(std::size_t position) { return *m_orders.at(position - 1); }

  struct Token {};
  CdxTableIndex(Token, DbfTable& table, std::unique_ptr<CdxIndex> index);

 private:
  Result<void> load_orders();

  DbfTable& m_table;
  std::unique_ptr<CdxIndex> m_index;
  std::vector<std::unique_ptr<CdxTableOrder>> m_orders;
  CdxRecordSource m_before;
  CdxRecordSource m_after;
  std::string m_old_key;
  std::string m_new_key;
};

// The opener a table's open options take to maintain its production index, with the
// page cache every work area of the process shares.
IndexOpener cdx_index_opener(CdxPageCache& cache);

}  // namespace data
