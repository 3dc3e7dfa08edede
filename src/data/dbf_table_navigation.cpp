// Moving the record pointer of a DbfTable: physical order, controlling order, seeks.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "data/dbf_table.h"
#include "data/file_io.h"

namespace data {
namespace {

constexpr std::size_t kWindowBytes = 64 * 1024;  // Read-ahead for scans in physical order.
constexpr std::byte kDeletedFlag{'*'};

}  // namespace

void DbfTable::refresh_record_count() {
  if (m_options.share == Share::Exclusive) return;
  // Other programs write the record before the header, so the header's count only ever
  // names complete records.
  std::uint32_t count = 0;
  if (!read_exact(m_fd.get(), &count, sizeof count, 4) || count <= m_header.record_count) return;
  // A damaged header may promise more than the file holds.
  struct stat st {};
  if (::fstat(m_fd.get(), &st) != 0) return;
  const auto whole = static_cast<std::uint64_t>(st.st_size - m_header.header_length) / m_header.record_length;
  m_header.record_count = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, whole));
}

std::uint32_t DbfTable::last_rec() {
  refresh_record_count();
  return m_header.record_count;
}

const std::byte* DbfTable::mapped_record(std::uint32_t recno) {
  if (m_options.share != Share::Exclusive || recno == 0 || recno > m_header.record_count) return nullptr;
  const std::size_t length = m_header.record_length;
  const std::size_t offset = m_header.header_length + static_cast<std::size_t>(recno - 1) * length;
  if (!m_map.contains(offset, length)) {
    // The table grew through our own appends: map what the file holds now.
    struct stat st {};
    if (m_map.bytes().empty() || ::fstat(m_fd.get(), &st) != 0 || static_cast<std::size_t>(st.st_size) < offset + length ||
        !m_map.map(m_fd.get(), static_cast<std::size_t>(st.st_size))) {
      return nullptr;
    }
  }
  return m_map.bytes().data() + offset;
}

Result<void> DbfTable::load(std::uint32_t recno, bool sequential) {
  const std::size_t length = m_header.record_length;
  if (const std::byte* mapped = mapped_record(recno)) {
    m_record.assign(mapped, mapped + length);
    m_recno = recno;
    m_eof = false;
    return {};
  }
  if (recno == m_probe_recno) {
    // Read by this same move a moment ago, to test whether it may be shown.
    std::swap(m_record, m_probe);
    forget_probe();
    m_recno = recno;
    m_eof = false;
    return {};
  }
  const auto offset_of = [&](std::uint32_t r) {
    return static_cast<off_t>(m_header.header_length) + static_cast<off_t>(r - 1) * static_cast<off_t>(length);
  };
  if (sequential) {
    if (recno < m_window_first || recno >= m_window_first + m_window_count) {
      const std::size_t capacity = std::max<std::size_t>(1, kWindowBytes / length);
      m_window.resize(capacity * length);
      // Backward scans read the window that ends at the record.
      std::uint32_t first = recno;
      if (m_recno > recno && recno > capacity) first = recno - static_cast<std::uint32_t>(capacity) + 1;
      else if (m_recno > recno) first = 1;
      const std::size_t wanted = std::min<std::size_t>(capacity, m_header.record_count - first + 1);
      const ssize_t got = read_some(m_fd.get(), m_window.data(), wanted * length, offset_of(first));
      if (got < 0) return table_error(TableErrorCode::Io, "cannot read " + m_path.string() + ": " + std::strerror(errno));
      m_window_first = first;
      m_window_count = static_cast<std::uint32_t>(static_cast<std::size_t>(got) / length);
    }
    if (recno >= m_window_first && recno < m_window_first + m_window_count) {
      const std::byte* source = m_window.data() + static_cast<std::size_t>(recno - m_window_first) * length;
      m_record.assign(source, source + length);
      m_recno = recno;
      m_eof = false;
      return {};
    }
  } else {
    clear_window();
    m_record.resize(length);
    if (read_exact(m_fd.get(), m_record.data(), length, offset_of(recno))) {
      m_recno = recno;
      m_eof = false;
      return {};
    }
  }
  set_phantom(true);
  return table_error(TableErrorCode::BadFormat,
                     "record " + std::to_string(recno) + " lies past the end of " + m_path.string());
}

void DbfTable::set_phantom(bool bof) {
  m_record = m_blank;
  m_recno = m_header.record_count + 1;
  m_eof = true;
  m_bof = bof;
}

bool DbfTable::is_visible(std::uint32_t recno) {
  if (m_deleted_rows == DeletedRows::Shown) return true;
  if (recno == m_recno && !m_eof) return m_record[0] != kDeletedFlag;
  if (const std::byte* mapped = mapped_record(recno)) return mapped[0] != kDeletedFlag;
  if (recno >= m_window_first && recno < m_window_first + m_window_count) {
    return m_window[static_cast<std::size_t>(recno - m_window_first) * m_header.record_length] != kDeletedFlag;
  }
  // The whole record costs the same read as its flag, and the move usually lands on it.
  // A record the file does not hold counts as visible: loading it reports the damage.
  if (recno != m_probe_recno && !probe(recno)) return true;
  return m_probe[0] != kDeletedFlag;
}

bool DbfTable::probe(std::uint32_t recno) {
  m_probe.resize(m_header.record_length);
  const off_t offset = static_cast<off_t>(m_header.header_length) +
                       static_cast<off_t>(recno - 1) * static_cast<off_t>(m_header.record_length);
  const bool read = recno != 0 && read_exact(m_fd.get(), m_probe.data(), m_probe.size(), offset);
  m_probe_recno = read ? recno : 0;
  return read;
}

Result<std::span<const std::byte>> DbfTable::stored_bytes(std::uint32_t recno) {
  // The current record was committed before the move began.
  if (recno == m_recno && !m_eof) return std::span<const std::byte>(m_record);
  if (recno != m_probe_recno && !probe(recno)) {
    return table_error(TableErrorCode::BadFormat,
                       "record " + std::to_string(recno) + " lies past the end of " + m_path.string());
  }
  return std::span<const std::byte>(m_probe);
}

Result<void> DbfTable::go_to(std::uint32_t recno) {
  if (Result<void> ok = commit(); !ok) return ok;
  clear_window();
  forget_probe();
  m_found = false;
  if (recno > m_header.record_count) refresh_record_count();
  if (recno == 0 || recno > m_header.record_count) {
    set_phantom(true);
    return {};
  }
  m_bof = false;
  return load(recno, false);
}

// The next record in physical order that navigation may show, reading ahead.
Result<std::uint32_t> DbfTable::visible_from(std::uint32_t recno, long direction, bool read_ahead) {
  while (recno >= 1) {
    if (recno > m_header.record_count) {
      refresh_record_count();
      if (recno > m_header.record_count) return 0u;
    }
    if (m_deleted_rows == DeletedRows::Hidden) {
      // Look at the flag in the read-ahead window before copying the record out.
      if (read_ahead && !mapped_record(recno) &&
          (recno < m_window_first || recno >= m_window_first + m_window_count)) {
        if (Result<void> ok = load(recno, true); !ok) return ok.error();
      }
      if (!is_visible(recno)) {
        recno = direction > 0 ? recno + 1 : recno - 1;
        read_ahead = true;  // A run of hidden records: scan them in large reads.
        continue;
      }
    }
    return recno;
  }
  return 0u;
}

Result<std::uint32_t> DbfTable::step_in_order(std::uint32_t recno, long direction) {
  for (;;) {
    // The order needs the record's bytes only when it has lost its place.
    Result<std::span<const std::byte>> bytes = stored_bytes(recno);
    if (!bytes) return bytes.error();
    Result<std::uint32_t> next = direction > 0 ? m_order->next(recno, *bytes) : m_order->previous(recno, *bytes);
    if (!next || *next == 0 || is_visible(*next)) return next;
    recno = *next;
  }
}

Result<std::uint32_t> DbfTable::step(std::uint32_t recno, long direction) {
  if (m_order) return step_in_order(recno, direction);
  if (direction < 0 && recno <= 1) return 0u;
  return visible_from(direction > 0 ? recno + 1 : recno - 1, direction);
}

Result<void> DbfTable::go_top() {
  if (Result<void> ok = commit(); !ok) return ok;
  clear_window();
  forget_probe();
  m_found = false;
  Result<std::uint32_t> first = 0u;
  if (m_order) {
    first = m_order->first();
    if (first && *first != 0 && !is_visible(*first)) first = step_in_order(*first, 1);
  } else {
    // Tables are opened at the top and often left there: the first record is read
    // alone, and a scan reads ahead from its first skip on.
    first = visible_from(1, 1, false);
  }
  if (!first) return first.error();
  if (*first == 0) {
    set_phantom(true);
    return {};
  }
  m_bof = false;
  Result<void> loaded = load(*first, false);
  m_bof = false;
  return loaded;
}

Result<void> DbfTable::go_bottom() {
  if (Result<void> ok = commit(); !ok) return ok;
  clear_window();
  forget_probe();
  m_found = false;
  refresh_record_count();
  Result<std::uint32_t> last = 0u;
  if (m_order) {
    last = m_order->last();
    if (last && *last != 0 && !is_visible(*last)) last = step_in_order(*last, -1);
  } else {
    m_recno = m_header.record_count + 1;  // So the read-ahead window ends at the last record.
    last = m_header.record_count == 0 ? Result<std::uint32_t>(0u) : visible_from(m_header.record_count, -1);
  }
  if (!last) return last.error();
  if (*last == 0) {
    set_phantom(true);
    return {};
  }
  m_bof = false;
  return load(*last, !m_order);
}

Result<void> DbfTable::skip(long count) {
  if (Result<void> ok = commit(); !ok) return ok;
  forget_probe();
  m_found = false;
  if (count == 0) {
    if (m_eof) return {};
    return load(m_recno, false);  // Re-reads what other programs wrote.
  }
  m_bof = false;
  if (count > 0) {
    while (count-- > 0 && !m_eof) {
      Result<std::uint32_t> next = step(m_recno, 1);
      if (!next) return next.error();
      if (*next == 0) {
        set_phantom(false);
        break;
      }
      if (Result<void> ok = load(*next, !m_order); !ok) return ok;
    }
    return {};
  }
  while (count++ < 0) {
    Result<std::uint32_t> previous = 0u;
    if (m_eof) {
      // From the phantom record one step back is the last record.
      Result<void> bottom = go_bottom();
      if (!bottom) return bottom;
      if (m_eof) {
        m_bof = true;
        return {};
      }
      continue;
    }
    previous = step(m_recno, -1);
    if (!previous) return previous.error();
    if (*previous == 0) {
      // Before the first record: stay on the first one with BOF set.
      Result<void> top = go_top();
      if (!top) return top;
      m_bof = true;
      return {};
    }
    if (Result<void> ok = load(*previous, !m_order); !ok) return ok;
  }
  return {};
}

Result<bool> DbfTable::seek(const Value& key, SeekMode mode) {
  if (!m_order) return table_error(TableErrorCode::NoOrder, m_path.filename().string() + " has no controlling order");
  if (Result<void> ok = commit(); !ok) return ok.error();
  clear_window();
  forget_probe();
  Result<SeekOutcome> outcome = m_order->seek(key, mode, [this](std::uint32_t recno) { return is_visible(recno); });
  if (!outcome) return outcome.error();
  m_found = outcome->found;
  // The count matters only for the phantom record and for rows other programs added.
  if (outcome->recno == 0 || outcome->recno > m_header.record_count) refresh_record_count();
  if (outcome->recno == 0) {
    set_phantom(false);
    return m_found;
  }
  m_bof = false;
  if (Result<void> ok = load(outcome->recno, false); !ok) return ok.error();
  return m_found;
}

Result<std::vector<std::byte>> DbfTable::read_record(std::uint32_t recno) {
  std::vector<std::byte> bytes(m_header.record_length);
  const off_t offset = static_cast<off_t>(m_header.header_length) +
                       static_cast<off_t>(recno - 1) * static_cast<off_t>(m_header.record_length);
  if (recno == 0 || !read_exact(m_fd.get(), bytes.data(), bytes.size(), offset)) {
    return table_error(TableErrorCode::BadFormat,
                       "record " + std::to_string(recno) + " lies past the end of " + m_path.string());
  }
  return bytes;
}

}  // namespace data
