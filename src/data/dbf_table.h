#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/code_page.h"
#include "data/dbf_header.h"
#include "data/file_map.h"
#include "data/result.h"
#include "data/table_index.h"
#include "data/table_types.h"
#include "data/unique_fd.h"
#include "data/value.h"

namespace data {

class FptFile;

// One open DBF table (with its FPT memo file and, through the TableIndex seam, its
// production index) and the record pointer of the work area that holds it.
//
// Navigation hides deleted records unless set_deleted_rows(DeletedRows::Shown); GoTo
// still reaches any record by number. Past the last record the pointer sits on a phantom
// blank record (RecNo = LastRec + 1, EOF true). In shared mode LastRec is re-read from the
// header whenever the pointer reaches the end, so rows appended by other programs appear.
//
// Field changes collect in the current record and reach the file (memos first, then the
// record, then the index) when the pointer moves, on commit(), unlock(), flush() and
// close(). In shared mode a change needs the record lock or the file lock.
//
// Locks use the byte offsets other programs of the suite test (one byte per record below
// 0x7FFFFFFE, the header byte for appends, a range for the file lock), as open-file-
// description locks, so two tables open on one file in this process exclude each other
// too. Taking a record lock releases the table's other record lock. In exclusive mode
// every lock succeeds at once.
//
// Not thread-safe. Views returned by raw_field() die at the next move or change.
class DbfTable {
 public:
  // Opens `path` (and its memo file when the header announces one). Fails with
  // TableErrorCode::Busy when another process holds the table in a conflicting mode,
  // NotFound when a file is missing, BadFormat when the header is malformed.
  static Result<std::unique_ptr<DbfTable>> open(const std::filesystem::path& path,
                                                const TableOpenOptions& options = {});
  // Creates an empty table (and memo file when a field is M) and opens it. Fails when the
  // structure is invalid or the file exists.
  static Result<std::unique_ptr<DbfTable>> create(const std::filesystem::path& path,
                                                  const TableStructure& structure,
                                                  const TableCreateOptions& options = {});

  // Commits the current record and releases every lock; errors are lost, so call close().
  ~DbfTable();
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;

  // Commits, flushes the index, writes the header, releases the locks and closes the
  // files. The table is unusable afterwards.
  Result<void> close();

  // ---- Structure ----
  const std::filesystem::path& path() const { return m_path; }
  Share share() const { return m_options.share; }
  bool is_read_only() const { return m_options.access == Access::ReadOnly; }
  const DbfHeader& header() const { return m_header; }
  CodePage code_page() const { return m_code_page; }
  bool has_memo_file() const { return m_memo != nullptr; }
  // The memo file, nullptr when the table has none.
  const FptFile* memo_file() const { return m_memo.get(); }
  int field_count() const { return static_cast<int>(m_visible_fields.size()); }
  // 1-based position of a field (case-insensitive), 0 when the table has no such field.
  int field_pos(std::string_view name) const;
  // Requires: 1 <= pos <= field_count().
  const DbfField& field(int pos) const { return m_header.fields[m_visible_fields[pos - 1]]; }
  TableStructure structure() const;

  // ---- Position ----
  std::uint32_t rec_no() const { return m_recno; }
  // The record count; in shared mode re-read from the header.
  std::uint32_t last_rec();
  bool eof() const { return m_eof; }
  bool bof() const { return m_bof; }
  bool found() const { return m_found; }
  bool deleted() const;
  void set_deleted_rows(DeletedRows rows) { m_deleted_rows = rows; }
  // Whether record `recno` may be shown by navigation (reads its deletion flag).
  bool is_visible(std::uint32_t recno);

  Result<void> go_to(std::uint32_t recno);
  Result<void> go_top();
  Result<void> go_bottom();
  Result<void> skip(long count = 1);
  // Seek in the controlling order. Fails when no order is controlling.
  Result<bool> seek(const Value& key, SeekMode mode = SeekMode::Exact);

  // ---- Orders ----
  // Makes the tag of that name controlling; "" means physical order. Fails when the
  // index has no such tag.
  Result<void> set_order(std::string_view tag);
  TableOrder* controlling_order() const { return m_order; }
  TableIndex* production_index() const { return m_index.get(); }
  // Replaces the production index (after the index tool created or rebuilt it) and sets
  // or clears the header flag other programs read to open it with the table.
  Result<void> attach_production_index(std::unique_ptr<TableIndex> index);

  // ---- Fields of the current record ----
  // Value by type: C M text (UTF-8, padded as stored), N F I B Y number, D date, L
  // logical, T text "YYYY-MM-DD HH:MM:SS". Throws RuntimeError for a position or name the
  // table lacks and for a memo the memo file cannot give.
  Value get(int pos) const;
  Value get(std::string_view name) const;
  std::string text(int pos) const;     // C and M, UTF-8, trailing blanks kept.
  double number(int pos) const;        // N F I B Y; 0 when blank.
  Date date(int pos) const;            // D; blank when blank.
  bool logical(int pos) const;         // L.
  std::string_view raw_field(int pos) const;  // Stored bytes of the current record.

  // Writes into the current record. Fails when the table is read-only, the pointer is at
  // EOF, the record is not locked in shared mode, or the value does not fit (a number too
  // wide for its field): the field is left unchanged. Text is cut to the field width.
  Result<void> put(int pos, const Value& value);
  Result<void> put(std::string_view name, const Value& value);

  // Appends a blank record, makes it current and locks it (releasing the other record
  // lock). Fails with TableErrorCode::Locked when another program holds the append lock.
  Result<void> append();
  Result<void> delete_record();
  Result<void> recall();
  // Writes the current record if it changed.
  Result<void> commit();
  // Forgets the changes of the current record not yet written (fields and memos), so the record
  // reads as stored again; a new record not yet written stays, blank.
  void discard_changes();
  // Commits, and writes the header and the index.
  Result<void> flush();

  // ---- Locks ----
  bool lock_record(std::uint32_t recno);  // Releases the other record lock first.
  bool lock_current() { return lock_record(m_recno); }
  bool lock_file();
  bool is_locked(std::uint32_t recno) const;
  // Commits and releases every lock of this table.
  Result<void> unlock();

  // ---- Record bytes, for indexes ----
  std::size_t record_length() const { return m_header.record_length; }
  // The bytes of the current record (possibly changed and not yet written).
  std::span<const std::byte> record_bytes() const { return m_record; }
  // Reads record `recno` as stored in the file.
  Result<std::vector<std::byte>> read_record(std::uint32_t recno);
  // The value / stored bytes of field `pos` within `record` (a whole record).
  Value decode_field(std::span<const std::byte> record, int pos) const;
  static std::string_view raw_field(std::span<const std::byte> record, const DbfField& field);

 private:
  struct Key {
    explicit Key() = default;
  };

 public:
  // Use open() or create().
  DbfTable(Key, std::filesystem::path path, TableOpenOptions options, UniqueFd fd);

  // A sentence about a damaged file that could still be read (a record count beyond the
  // end of the file); empty when there is none.
  const std::string& open_warning() const { return m_warning; }

 private:
  Result<void> load_header();
  Result<void> open_memo_file();
  std::span<const std::byte> blank_record() const { return m_blank; }
  // Reads record `recno` into the current record; `sequential` lets it read ahead.
  Result<void> load(std::uint32_t recno, bool sequential);
  void set_phantom(bool bof);
  void clear_window() { m_window_count = 0; }
  // Reads record `recno` whole into the probe; false when the file does not hold it.
  bool probe(std::uint32_t recno);
  void forget_probe() { m_probe_recno = 0; }
  // The stored bytes of record `recno`: the current record, the probe, or a new read.
  Result<std::span<const std::byte>> stored_bytes(std::uint32_t recno);
  // Record `recno` in the memory map of an exclusive table, nullptr when it is not mapped.
  const std::byte* mapped_record(std::uint32_t recno);
  // The first visible record at or after / at or before `recno` in physical order, 0 when
  // none. With `read_ahead` false the first record is read alone (a GoTop that may stay).
  Result<std::uint32_t> visible_from(std::uint32_t recno, long direction, bool read_ahead = true);
  Result<std::uint32_t> step(std::uint32_t recno, long direction);
  Result<std::uint32_t> step_in_order(std::uint32_t recno, long direction);
  void refresh_record_count();
  Result<void> check_change_allowed() const;
  void prepare_change();
  Result<void> write_record_bytes(std::uint32_t recno, std::span<const std::byte> record, bool with_eof_marker);
  Result<void> write_header_counts();
  void release_record_lock();
  Result<std::string> memo_bytes(std::span<const std::byte> record, const DbfField& field) const;
  std::size_t field_index(int pos, const char* operation) const;

  std::filesystem::path m_path;
  TableOpenOptions m_options;
  UniqueFd m_fd;
  DbfHeader m_header;  // record_count is the count as last known.
  CodePage m_code_page = CodePage::Windows1252;
  std::vector<std::size_t> m_visible_fields;  // Header field index of each FCount position.
  std::unique_ptr<FptFile> m_memo;
  std::unique_ptr<TableIndex> m_index;
  TableOrder* m_order = nullptr;  // Owned by m_index.
  DeletedRows m_deleted_rows = DeletedRows::Hidden;
  std::string m_warning;

  std::vector<std::byte> m_blank;
  std::vector<std::byte> m_record;  // The current record, with changes not yet written.
  std::vector<std::byte> m_before;  // The current record as stored, kept once a change starts.
  std::vector<std::pair<std::size_t, std::string>> m_pending_memos;  // Field index, stored bytes.
  std::uint32_t m_recno = 1;
  bool m_eof = true;
  bool m_bof = true;
  bool m_found = false;
  bool m_dirty = false;
  bool m_is_new = false;         // Appended in exclusive mode and not yet written.
  bool m_keys_pending = false;   // Appended in shared mode; its keys go to the index at commit.
  bool m_header_dirty = false;   // Count and date not yet written (exclusive appends).

  std::uint32_t m_locked_record = 0;
  bool m_file_locked = false;

  // Records read ahead for a run of skips in physical order; emptied by every other move
  // so a new scan always starts from what is in the file.
  std::vector<std::byte> m_window;
  std::uint32_t m_window_first = 0;
  std::uint32_t m_window_count = 0;
  // The record last read to test whether navigation may show it, kept so that landing on
  // it needs no second read. Forgotten at the start of every move, so it never carries
  // bytes from one move into the next.
  std::vector<std::byte> m_probe;
  std::uint32_t m_probe_recno = 0;
  // Exclusive tables on local disks are read through a map: nobody else changes the file,
  // and a read costs no system call.
  FileMap m_map;
};

}  // namespace data
