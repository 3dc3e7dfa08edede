#include "data/dbf_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "data/dbf_field_codec.h"
#include "data/file_io.h"
#include "data/file_lock.h"
#include "data/fpt_file.h"
#include "data/name_case.h"
#include "data/runtime_error.h"

namespace data {
namespace {

Error io_error(const std::filesystem::path& path, const std::string& what) {
  return table_error(TableErrorCode::Io, what + " " + path.string() + ": " + std::strerror(errno));
}

// The file beside `table` with extension `extension`, found case-insensitively because
// shares mounted from Windows keep whatever spelling their writer used.
std::filesystem::path companion_file(const std::filesystem::path& table, std::string_view extension) {
  std::filesystem::path exact = table;
  exact.replace_extension(std::string(extension));
  std::error_code ec;
  if (std::filesystem::exists(exact, ec)) return exact;
  const std::string stem = table.stem().string();
  const std::filesystem::path folder = table.has_parent_path() ? table.parent_path() : ".";
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::filesystem::path& candidate = entry.path();
    if (equals_ignoring_case(candidate.stem().string(), stem) &&
        equals_ignoring_case(candidate.extension().string(), extension)) {
      return candidate;
    }
  }
  return exact;
}

// Network file systems may serve a map from a stale cache, so tables there are always read
// with system calls.
bool is_local_file(int fd) {
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return false;
  constexpr long kNetworkFileSystems[] = {0x6969 /* NFS */, static_cast<long>(0xFF534D42) /* CIFS */,
                                          static_cast<long>(0xFE534D42) /* SMB2 */, 0x517B /* SMB */};
  for (const long type : kNetworkFileSystems) {
    if (static_cast<long>(info.f_type) == type) return false;
  }
  return true;
}

std::tm today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace

DbfTable::DbfTable(Key, std::filesystem::path path, TableOpenOptions options, UniqueFd fd)
    : m_path(std::move(path)), m_options(std::move(options)), m_fd(std::move(fd)) {}

DbfTable::~DbfTable() {
  if (m_fd) (void)close();
}

Result<std::unique_ptr<DbfTable>> DbfTable::open(const std::filesystem::path& path,
                                                 const TableOpenOptions& options) {
  const bool read_only = options.access == Access::ReadOnly;
  UniqueFd fd(::open(path.c_str(), (read_only ? O_RDONLY : O_RDWR) | O_CLOEXEC));
  if (!fd) {
    if (errno == ENOENT)
      return table_error(TableErrorCode::NotFound, "table " + path.string() + " does not exist");
    return io_error(path, "cannot open table");
  }
  // A read-only reader still keeps exclusive users out, as other programs' readers do.
  const LockKind share_lock =
      options.share == Share::Exclusive && !read_only ? LockKind::Exclusive : LockKind::Shared;
  if (!lock_whole_file(fd.get(), share_lock)) {
    return table_error(TableErrorCode::Busy, "table " + path.string() + " is in use by another program");
  }
  auto table = std::make_unique<DbfTable>(Key{}, path, options, std::move(fd));
  if (Result<void> ok = table->load_header(); !ok) return ok.error();
  if (options.share == Share::Exclusive && is_local_file(table->m_fd.get())) {
    struct stat st {};
    if (::fstat(table->m_fd.get(), &st) == 0)
      (void)table->m_map.map(table->m_fd.get(), static_cast<std::size_t>(st.st_size));
  }
  if (Result<void> ok = table->open_memo_file(); !ok) return ok.error();
  if (table->m_options.production_index) {
    Result<std::unique_ptr<TableIndex>> index = table->m_options.production_index(*table);
    if (!index) return index.error();
    table->m_index = std::move(*index);
  }
  if (Result<void> ok = table->go_top(); !ok) return ok.error();
  return table;
}

Result<void> DbfTable::load_header() {
  // One read brings the header of any usual table; only a wider one takes a second.
  constexpr std::size_t kFirstRead = 4096;
  std::vector<std::byte> bytes(kFirstRead);
  const ssize_t got = read_some(m_fd.get(), bytes.data(), bytes.size(), 0);
  if (got < 0) return io_error(m_path, "cannot read table");
  bytes.resize(static_cast<std::size_t>(got));
  const std::size_t stated = std::max<std::size_t>(stated_header_length(bytes), kDbfFixedHeaderSize);
  if (stated > bytes.size() && bytes.size() == kFirstRead) {
    bytes.resize(stated);
    const ssize_t got_all = read_some(m_fd.get(), bytes.data(), bytes.size(), 0);
    if (got_all < 0) return io_error(m_path, "cannot read table");
    bytes.resize(static_cast<std::size_t>(got_all));
  }
  if (bytes.size() > stated) bytes.resize(stated);
  Result<DbfHeader> header = parse_dbf_header(bytes);
  if (!header) return table_error(TableErrorCode::BadFormat, m_path.string() + ": " + header.error().text);
  m_header = std::move(*header);
  m_code_page = code_page_from_mark(m_header.code_page_mark, m_options.unmarked_code_page);

  struct stat st {};
  if (::fstat(m_fd.get(), &st) != 0) return io_error(m_path, "cannot stat table");
  const std::uint64_t data_bytes = static_cast<std::uint64_t>(st.st_size) - m_header.header_length;
  const std::uint64_t whole_records = data_bytes / m_header.record_length;
  if (m_header.record_count > whole_records) {
    m_warning = "the header states " + std::to_string(m_header.record_count) +
                " records but the file holds only " + std::to_string(whole_records) + "; reading those";
    m_header.record_count = static_cast<std::uint32_t>(whole_records);
  }

  for (std::size_t i = 0; i < m_header.fields.size(); ++i) {
    if (!m_header.fields[i].is_hidden()) m_visible_fields.push_back(i);
  }
  m_blank.assign(m_header.record_length, std::byte{' '});
  for (const DbfField& field : m_header.fields) {
    blank_field(field, std::span<std::byte>(m_blank).subspan(field.offset, field.width));
  }
  m_record = m_blank;
  return {};
}

Result<void> DbfTable::open_memo_file() {
  bool has_memo_field = false;
  for (const DbfField& field : m_header.fields) has_memo_field |= field.is_memo();
  if (!has_memo_field) return {};
  const std::filesystem::path memo_path = companion_file(m_path, ".FPT");
  Result<std::unique_ptr<FptFile>> memo = FptFile::open(memo_path, m_options.access, m_options.share);
  if (!memo) return table_error(static_cast<TableErrorCode>(memo.error().code), memo.error().text);
  m_memo = std::move(*memo);
  return {};
}

Result<std::unique_ptr<DbfTable>> DbfTable::create(const std::filesystem::path& path,
                                                   const TableStructure& structure,
                                                   const TableCreateOptions& options) {
  std::vector<DbfField> fields;
  bool has_memo = false;
  for (const FieldSpec& item : structure) {
    DbfField field;
    field.name = item.name;
    field.type = item.type >= 'a' && item.type <= 'z' ? static_cast<char>(item.type - 'a' + 'A') : item.type;
    int width = item.width;
    if (field.type == 'D') width = 8;
    if (field.type == 'L') width = 1;
    if (field.type == 'M') width = 10;
    if (field.type == 'I') width = 4;
    if (field.type == 'B' || field.type == 'Y') width = 8;
    if (field.type != 'C' && field.type != 'N' && field.type != 'F' && field.type != 'D' &&
        field.type != 'L' && field.type != 'M' && field.type != 'I' && field.type != 'B' &&
        field.type != 'Y') {
      return table_error(TableErrorCode::BadValue,
                         "field " + item.name + ": type " + std::string(1, item.type) + " cannot be created");
    }
    if (width <= 0 || width > 255 || item.decimals < 0 || item.decimals > 255) {
      return table_error(TableErrorCode::BadValue,
                         "field " + item.name + " has width " + std::to_string(width));
    }
    field.width = static_cast<std::uint16_t>(width);
    field.decimals = static_cast<std::uint8_t>(
        field.type == 'N' || field.type == 'F' || field.type == 'B' ? item.decimals : 0);
    has_memo |= field.type == 'M';
    fields.push_back(std::move(field));
  }
  // FoxPro 2.x tables with an FPT, as the suite's other programs write them.
  Result<DbfHeader> header =
      make_dbf_header(std::move(fields), has_memo ? 0xF5 : 0x03, code_page_mark(options.code_page));
  if (!header) return table_error(TableErrorCode::BadValue, header.error().text);
  const std::tm now = today();
  header->update_year = static_cast<std::uint8_t>(now.tm_year);  // Years since 1900.
  header->update_month = static_cast<std::uint8_t>(now.tm_mon + 1);
  header->update_day = static_cast<std::uint8_t>(now.tm_mday);
  std::vector<std::byte> bytes = encode_dbf_header(*header);
  bytes.push_back(std::byte{0x1A});

  if (has_memo) {
    Result<std::unique_ptr<FptFile>> memo = FptFile::create(companion_file(path, ".FPT"));
    if (!memo) return memo.error();
  }
  {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd) return io_error(path, "cannot create table");
    if (!write_exact(fd.get(), bytes.data(), bytes.size(), 0)) return io_error(path, "cannot write table");
  }
  TableOpenOptions open_options;
  open_options.share = options.share;
  open_options.production_index = options.production_index;
  return open(path, open_options);
}

Result<void> DbfTable::close() {
  if (!m_fd) return {};
  Result<void> flushed = flush();
  m_order = nullptr;
  m_index.reset();
  release_record_lock();
  if (m_file_locked) unlock_bytes(m_fd.get(), kFileLockStart, kFileLockLength);
  m_file_locked = false;
  m_memo.reset();
  m_map.reset();
  m_fd.reset();
  m_eof = m_bof = true;
  return flushed;
}

int DbfTable::field_pos(std::string_view name) const {
  for (std::size_t i = 0; i < m_visible_fields.size(); ++i) {
    if (equals_ignoring_case(m_header.fields[m_visible_fields[i]].name, name)) return static_cast<int>(i) + 1;
  }
  return 0;
}

TableStructure DbfTable::structure() const {
  TableStructure structure;
  for (const std::size_t index : m_visible_fields) {
    const DbfField& field = m_header.fields[index];
    structure.push_back({field.name, field.type, field.width, field.decimals});
  }
  return structure;
}

std::size_t DbfTable::field_index(int pos, const char* operation) const {
  if (pos < 1 || pos > field_count()) {
    throw RuntimeError(operation, "DBF", m_path.filename().string() + " has no field " + std::to_string(pos));
  }
  return m_visible_fields[static_cast<std::size_t>(pos - 1)];
}

Result<std::string> DbfTable::memo_bytes(std::span<const std::byte> record, const DbfField& field) const {
  const std::uint32_t block = decode_memo_block(field, raw_field(record, field));
  if (block == 0) return std::string();
  if (!m_memo) return table_error(TableErrorCode::BadFormat, "the table has no memo file");
  return m_memo->read(block);
}

std::string_view DbfTable::raw_field(std::span<const std::byte> record, const DbfField& field) {
  if (field.offset + field.width > record.size()) return {};
  return {reinterpret_cast<const char*>(record.data()) + field.offset, field.width};
}

Value DbfTable::decode_field(std::span<const std::byte> record, int pos) const {
  const DbfField& field = m_header.fields[field_index(pos, "FieldGet")];
  if (!field.is_memo()) return decode_value(field, raw_field(record, field), m_code_page);
  Result<std::string> bytes = memo_bytes(record, field);
  if (!bytes) throw RuntimeError("FieldGet", "DBF", m_path.filename().string() + ": " + bytes.error().text);
  const bool binary = field.type != 'M' || (field.flags & 0x04);
  return binary ? Value(std::move(*bytes)) : Value(decode_text(m_code_page, *bytes));
}

Value DbfTable::get(int pos) const {
  const std::size_t index = field_index(pos, "FieldGet");
  for (const auto& [pending_index, bytes] : m_pending_memos) {
    if (pending_index == index) return Value(decode_text(m_code_page, bytes));
  }
  return decode_field(m_record, pos);
}

Value DbfTable::get(std::string_view name) const {
  const int pos = field_pos(name);
  if (pos == 0)
    throw RuntimeError("FieldGet", "DBF", m_path.filename().string() + " has no field " + std::string(name));
  return get(pos);
}

std::string DbfTable::text(int pos) const {
  const DbfField& field = m_header.fields[field_index(pos, "FieldGet")];
  if (field.type == 'M') return get(pos).text();
  return decode_text(m_code_page, raw_field(m_record, field));
}

double DbfTable::number(int pos) const {
  const DbfField& field = m_header.fields[field_index(pos, "FieldGet")];
  return decode_number(field, raw_field(m_record, field));
}

Date DbfTable::date(int pos) const {
  return decode_date(raw_field(m_record, m_header.fields[field_index(pos, "FieldGet")]));
}

bool DbfTable::logical(int pos) const {
  return decode_logical(raw_field(m_record, m_header.fields[field_index(pos, "FieldGet")]));
}

std::string_view DbfTable::raw_field(int pos) const {
  return raw_field(m_record, m_header.fields[field_index(pos, "FieldGet")]);
}

bool DbfTable::deleted() const { return !m_eof && m_record[0] == std::byte{'*'}; }

Result<void> DbfTable::set_order(std::string_view tag) {
  if (tag.find_first_not_of(' ') == std::string_view::npos) {
    m_order = nullptr;
    return {};
  }
  TableOrder* order = m_index ? m_index->find_order(tag) : nullptr;
  if (!order)
    return table_error(TableErrorCode::NoOrder,
                       m_path.filename().string() + " has no tag " + std::string(tag));
  if (Result<void> ok = commit(); !ok) return ok;
  m_order = order;
  return {};
}

Result<void> DbfTable::attach_production_index(std::unique_ptr<TableIndex> index) {
  if (Result<void> ok = commit(); !ok) return ok;
  m_order = nullptr;
  m_index = std::move(index);
  if (is_read_only()) return {};
  // Other programs open the CDX with the table only when this flag says it exists.
  const std::uint8_t flags = m_index ? (m_header.table_flags | 0x01) : (m_header.table_flags & ~0x01);
  if (flags == m_header.table_flags) return {};
  m_header.table_flags = flags;
  if (!write_exact(m_fd.get(), &flags, 1, 28)) return io_error(m_path, "cannot write header of");
  return {};
}

}  // namespace data
