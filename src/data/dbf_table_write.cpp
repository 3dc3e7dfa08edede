// Changing a DbfTable: field writes, appends, deletion, commits and locks.
#include <cerrno>
#include <cstring>
#include <ctime>

#include "data/dbf_field_codec.h"
#include "data/dbf_table.h"
#include "data/file_io.h"
#include "data/file_lock.h"
#include "data/fpt_file.h"
#include "data/runtime_error.h"

namespace data {
namespace {

constexpr std::byte kEndOfFile{0x1A};

Error io_error(const std::filesystem::path& path, const std::string& what) {
  return table_error(TableErrorCode::Io, what + " " + path.string() + ": " + std::strerror(errno));
}

// Releases the append lock when an append leaves early.
class HeaderLockGuard {
 public:
  explicit HeaderLockGuard(int fd) : m_fd(fd) {}
  ~HeaderLockGuard() { unlock_bytes(m_fd, kHeaderLockOffset, 1); }
  HeaderLockGuard(const HeaderLockGuard&) = delete;
  HeaderLockGuard& operator=(const HeaderLockGuard&) = delete;

 private:
  int m_fd;
};

}  // namespace

Result<void> DbfTable::check_change_allowed() const {
  if (!m_fd) return table_error(TableErrorCode::Io, m_path.string() + " is closed");
  if (is_read_only()) return table_error(TableErrorCode::ReadOnly, m_path.string() + " is open read-only");
  if (m_eof) return table_error(TableErrorCode::AtEof, m_path.string() + " is at end of file; there is no record to change");
  if (m_options.share == Share::Shared && !m_file_locked && m_locked_record != m_recno && !m_is_new) {
    return table_error(TableErrorCode::NotLocked,
                       "record " + std::to_string(m_recno) + " of " + m_path.string() + " is not locked");
  }
  return {};
}

void DbfTable::prepare_change() {
  if (!m_dirty) {
    m_before = m_record;
    m_dirty = true;
  }
}

Result<void> DbfTable::put(int pos, const Value& value) {
  const std::size_t index = field_index(pos, "FieldPut");
  if (Result<void> ok = check_change_allowed(); !ok) return ok;
  const DbfField& field = m_header.fields[index];
  if (field.is_memo()) {
    if (field.type != 'M') return table_error(TableErrorCode::BadValue, "field " + field.name + " is read-only here");
    if (!value.is_text() && !value.is_empty()) {
      return table_error(TableErrorCode::BadValue, "field " + field.name + ": a memo field takes text");
    }
    if (!m_memo) return table_error(TableErrorCode::BadFormat, m_path.string() + " has no memo file");
    std::string stored = (field.flags & 0x04) ? value.text() : encode_text(m_code_page, value.text());
    prepare_change();
    for (auto& [pending_index, bytes] : m_pending_memos) {
      if (pending_index == index) {
        bytes = std::move(stored);
        return {};
      }
    }
    m_pending_memos.emplace_back(index, std::move(stored));
    return {};
  }
  const bool was_dirty = m_dirty;
  prepare_change();
  // encode_value() leaves the bytes alone when it fails.
  Result<void> ok = encode_value(field, value, m_code_page,
                                 std::span<std::byte>(m_record).subspan(field.offset, field.width));
  if (!ok) m_dirty = was_dirty;
  return ok;
}

Result<void> DbfTable::put(std::string_view name, const Value& value) {
  const int pos = field_pos(name);
  if (pos == 0) throw RuntimeError("FieldPut", "DBF", m_path.filename().string() + " has no field " + std::string(name));
  return put(pos, value);
}

Result<void> DbfTable::delete_record() {
  if (Result<void> ok = check_change_allowed(); !ok) return ok;
  prepare_change();
  m_record[0] = std::byte{'*'};
  return {};
}

Result<void> DbfTable::recall() {
  if (Result<void> ok = check_change_allowed(); !ok) return ok;
  prepare_change();
  m_record[0] = std::byte{' '};
  return {};
}

Result<void> DbfTable::write_record_bytes(std::uint32_t recno, std::span<const std::byte> record,
                                          bool with_eof_marker) {
  const off_t offset = static_cast<off_t>(m_header.header_length) +
                       static_cast<off_t>(recno - 1) * static_cast<off_t>(m_header.record_length);
  // The end-of-file marker goes out with the last record in one write; the next append
  // overwrites it.
  const bool written = with_eof_marker ? write_exact(m_fd.get(), record, kEndOfFile, offset)
                                       : write_exact(m_fd.get(), record.data(), record.size(), offset);
  if (!written) return io_error(m_path, "cannot write record " + std::to_string(recno) + " of");
  if (recno == m_probe_recno) forget_probe();
  if (recno >= m_window_first && recno < m_window_first + m_window_count) {
    std::memcpy(m_window.data() + static_cast<std::size_t>(recno - m_window_first) * record.size(), record.data(),
                record.size());
  }
  return {};
}

Result<void> DbfTable::write_header_counts() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // Visual FoxPro tables count the year modulo 100, the others from 1900.
  const int year = m_header.is_visual_foxpro() ? local.tm_year % 100 : local.tm_year;
  unsigned char bytes[7] = {static_cast<unsigned char>(year), static_cast<unsigned char>(local.tm_mon + 1),
                            static_cast<unsigned char>(local.tm_mday)};
  const std::uint32_t count = m_header.record_count;
  std::memcpy(bytes + 3, &count, sizeof count);  // Little-endian, like the machine.
  if (!write_exact(m_fd.get(), bytes, sizeof bytes, 1)) return io_error(m_path, "cannot write header of");
  m_header.update_year = bytes[0];
  m_header.update_month = bytes[1];
  m_header.update_day = bytes[2];
  m_header_dirty = false;
  return {};
}

Result<void> DbfTable::commit() {
  if (!m_dirty || !m_fd) return {};
  // Memos first, so the record never points at a memo that is not there yet.
  for (const auto& [index, bytes] : m_pending_memos) {
    const DbfField& field = m_header.fields[index];
    const std::uint32_t old_block = m_is_new ? 0 : decode_memo_block(field, raw_field(m_before, field));
    std::uint32_t block = 0;
    if (!bytes.empty()) {
      Result<std::uint32_t> written = m_memo->write(old_block, bytes);
      if (!written) return written.error();
      block = *written;
    }
    encode_memo_block(field, block, std::span<std::byte>(m_record).subspan(field.offset, field.width));
  }
  m_pending_memos.clear();
  const bool is_last = m_recno == m_header.record_count;
  if (Result<void> ok = write_record_bytes(m_recno, m_record, m_is_new && is_last); !ok) return ok;
  const bool was_new = m_is_new || m_keys_pending;
  m_is_new = false;
  m_keys_pending = false;
  m_dirty = false;
  if (m_index) {
    if (was_new) return m_index->record_added(m_recno, m_record);
    if (m_before != m_record) return m_index->record_changed(m_recno, m_before, m_record);
  }
  return {};
}

void DbfTable::discard_changes() {
  if (!m_dirty) return;
  m_pending_memos.clear();
  if (m_is_new || m_keys_pending) {
    m_record = m_blank;  // Still to be written once, as the blank record it was appended as.
    return;
  }
  m_record = m_before;
  m_dirty = false;
}

Result<void> DbfTable::append() {
  if (!m_fd) return table_error(TableErrorCode::Io, m_path.string() + " is closed");
  if (is_read_only()) return table_error(TableErrorCode::ReadOnly, m_path.string() + " is open read-only");
  if (Result<void> ok = commit(); !ok) return ok;
  clear_window();
  m_found = false;
  if (m_options.share == Share::Exclusive) {
    // Nobody else has the file: the record and the header are written once, at commit
    // and at flush.
    m_header.record_count += 1;
    m_header_dirty = true;
    m_recno = m_header.record_count;
    m_record = m_blank;
    m_before = m_blank;
    m_is_new = true;
    m_dirty = true;
    m_eof = m_bof = false;
    return {};
  }
  if (!lock_bytes(m_fd.get(), kHeaderLockOffset, 1, LockKind::Exclusive)) {
    return table_error(TableErrorCode::Locked, m_path.string() + ": another program holds the append lock");
  }
  HeaderLockGuard header_lock(m_fd.get());
  refresh_record_count();
  const std::uint32_t recno = m_header.record_count + 1;
  if (!m_file_locked) {
    release_record_lock();
    if (!lock_bytes(m_fd.get(), record_lock_offset(recno), 1, LockKind::Exclusive)) {
      return table_error(TableErrorCode::Locked, m_path.string() + ": record " + std::to_string(recno) + " is locked");
    }
    m_locked_record = recno;
  }
  if (Result<void> ok = write_record_bytes(recno, m_blank, true); !ok) return ok;
  m_header.record_count = recno;
  if (Result<void> ok = write_header_counts(); !ok) return ok;
  m_recno = recno;
  m_record = m_blank;
  m_eof = m_bof = false;
  // The row's keys reach the index once, at its first commit, with the values the caller
  // puts in (still under the record lock), rather than as blank keys now that the commit
  // would take out again. A program killed in between leaves a blank row the index lacks
  // (a reindex mends it), never an index entry without its row.
  m_before = m_blank;
  m_keys_pending = m_index != nullptr;
  m_dirty = m_keys_pending;
  return {};
}

Result<void> DbfTable::flush() {
  if (!m_fd) return {};
  if (Result<void> ok = commit(); !ok) return ok;
  if (m_header_dirty) {
    if (Result<void> ok = write_header_counts(); !ok) return ok;
  }
  if (m_index) return m_index->flush();
  return {};
}

void DbfTable::release_record_lock() {
  if (m_locked_record != 0 && m_options.share == Share::Shared && m_fd) {
    unlock_bytes(m_fd.get(), record_lock_offset(m_locked_record), 1);
  }
  m_locked_record = 0;
}

bool DbfTable::lock_record(std::uint32_t recno) {
  if (!m_fd || recno == 0) return false;
  if (m_options.share == Share::Exclusive || m_file_locked) {
    m_locked_record = recno;
    return true;
  }
  if (is_read_only()) return false;
  if (m_locked_record == recno) return true;
  if (!commit()) return false;
  release_record_lock();
  if (!lock_bytes(m_fd.get(), record_lock_offset(recno), 1, LockKind::Exclusive)) return false;
  m_locked_record = recno;
  // Another program may have changed the record just before releasing it.
  forget_probe();
  if (recno == m_recno && !m_eof && !m_dirty) (void)load(recno, false);
  return true;
}

bool DbfTable::lock_file() {
  if (!m_fd) return false;
  if (m_options.share == Share::Exclusive || m_file_locked) return true;
  if (is_read_only() || !commit()) return false;
  release_record_lock();
  if (!lock_bytes(m_fd.get(), kFileLockStart, kFileLockLength, LockKind::Exclusive)) return false;
  m_file_locked = true;
  forget_probe();
  if (!m_eof && !m_dirty) (void)load(m_recno, false);
  return true;
}

bool DbfTable::is_locked(std::uint32_t recno) const {
  return m_options.share == Share::Exclusive || m_file_locked || (recno != 0 && recno == m_locked_record);
}

Result<void> DbfTable::unlock() {
  if (Result<void> ok = commit(); !ok) return ok;
  release_record_lock();
  if (m_file_locked && m_fd) unlock_bytes(m_fd.get(), kFileLockStart, kFileLockLength);
  m_file_locked = false;
  return {};
}

}  // namespace data
