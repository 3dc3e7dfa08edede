#include "data/dbf_header.h"

#include <cstring>
#include <string_view>

#include "data/table_types.h"

namespace data {
namespace {

constexpr std::byte kTerminator{0x0D};
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kBacklinkSize = 263;  // Visual FoxPro's path of the owning database.

std::uint16_t le16(std::span<const std::byte> b, std::size_t at) {
  return static_cast<std::uint16_t>(std::to_integer<unsigned>(b[at]) | std::to_integer<unsigned>(b[at + 1]) << 8);
}
std::uint32_t le32(std::span<const std::byte> b, std::size_t at) {
  return static_cast<std::uint32_t>(le16(b, at)) | static_cast<std::uint32_t>(le16(b, at + 2)) << 16;
}
void put_le16(std::vector<std::byte>& b, std::size_t at, std::uint32_t v) {
  b[at] = std::byte(v & 0xFF);
  b[at + 1] = std::byte((v >> 8) & 0xFF);
}
void put_le32(std::vector<std::byte>& b, std::size_t at, std::uint32_t v) {
  put_le16(b, at, v & 0xFFFF);
  put_le16(b, at + 2, v >> 16);
}

Error bad_format(std::string text) { return table_error(TableErrorCode::BadFormat, std::move(text)); }

bool is_name_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The width a field of this type must have, 0 when any width in range will do.
Result<void> check_field(const DbfField& field, bool visual_foxpro) {
  const std::string what = "field " + field.name + " (" + std::string(1, field.type) + ")";
  if (field.width == 0) return bad_format(what + " has zero width");
  auto width_must_be = [&](std::initializer_list<int> allowed) -> Result<void> {
    for (const int w : allowed) {
      if (field.width == w) return {};
    }
    return bad_format(what + " has width " + std::to_string(field.width));
  };
  switch (field.type) {
    case 'C': return {};
    case 'N':
    case 'F':
      if (field.width > 32) return bad_format(what + " is wider than 32");
      if (field.decimals >= field.width && field.decimals > 0) return bad_format(what + " has too many decimals");
      return {};
    case 'D': return width_must_be({8});
    case 'L': return width_must_be({1});
    case 'M':
    case 'G':
    case 'P': return visual_foxpro ? width_must_be({4, 10}) : width_must_be({10, 4});
    case 'W':
    case 'I': return width_must_be({4});
    case 'B':
    case 'Y':
    case 'T': return width_must_be({8});
    case 'V':
    case 'Q':
    case '0': return {};
    default: return bad_format(what + " has an unknown type");
  }
}

}  // namespace

bool DbfHeader::expects_memo_file() const {
  if (is_visual_foxpro()) {
    if (table_flags & 0x02) return true;
  }
  if (version == 0xF5 || version == 0x83 || version == 0x8B || version == 0xCB) return true;
  for (const DbfField& field : fields) {
    if (field.is_memo()) return true;
  }
  return false;
}

int DbfHeader::last_update_year() const {
  if (update_year >= 100) return 1900 + update_year;
  return update_year < 80 ? 2000 + update_year : 1900 + update_year;
}

std::uint16_t stated_header_length(std::span<const std::byte> fixed) {
  return fixed.size() < kDbfFixedHeaderSize ? 0 : le16(fixed, 8);
}

Result<DbfHeader> parse_dbf_header(std::span<const std::byte> bytes) {
  if (bytes.size() < kDbfFixedHeaderSize) {
    return bad_format("the file is " + std::to_string(bytes.size()) + " bytes, shorter than a table header");
  }
  DbfHeader header;
  header.version = std::to_integer<std::uint8_t>(bytes[0]);
  header.update_year = std::to_integer<std::uint8_t>(bytes[1]);
  header.update_month = std::to_integer<std::uint8_t>(bytes[2]);
  header.update_day = std::to_integer<std::uint8_t>(bytes[3]);
  header.record_count = le32(bytes, 4);
  header.header_length = le16(bytes, 8);
  header.record_length = le16(bytes, 10);
  header.table_flags = std::to_integer<std::uint8_t>(bytes[28]);
  header.code_page_mark = std::to_integer<std::uint8_t>(bytes[29]);

  if (header.header_length < kDbfFixedHeaderSize + 1) {
    return bad_format("header length " + std::to_string(header.header_length) + " is too small");
  }
  if (bytes.size() < header.header_length) {
    return bad_format("header length " + std::to_string(header.header_length) + " runs past the " +
                      std::to_string(bytes.size()) + " bytes available");
  }
  if (header.record_length < 2) {
    return bad_format("record length " + std::to_string(header.record_length) + " is too small");
  }

  const bool vfp = header.is_visual_foxpro();
  std::uint32_t offset = 1;  // Byte 0 of every record is the deletion flag.
  std::size_t pos = kDbfFixedHeaderSize;
  while (pos < header.header_length && bytes[pos] != kTerminator) {
    if (pos + kDescriptorSize > header.header_length) {
      return bad_format("field descriptor " + std::to_string(header.fields.size() + 1) +
                        " runs past the header length");
    }
    const auto* raw = reinterpret_cast<const char*>(bytes.data() + pos);
    DbfField field;
    const std::size_t name_length = strnlen(raw, 11);
    field.name.assign(raw, name_length);
    for (char& c : field.name) {
      if (!is_name_char(c)) {
        return bad_format("field " + std::to_string(header.fields.size() + 1) + " has an invalid name");
      }
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (field.name.empty()) {
      return bad_format("field " + std::to_string(header.fields.size() + 1) + " has no name");
    }
    field.type = raw[11];
    if (field.type >= 'a' && field.type <= 'z') field.type = static_cast<char>(field.type - 'a' + 'A');
    field.width = std::to_integer<std::uint8_t>(bytes[pos + 16]);
    field.decimals = std::to_integer<std::uint8_t>(bytes[pos + 17]);
    // Only Visual FoxPro gives the flag byte a meaning; older writers leave garbage there.
    field.flags = vfp ? std::to_integer<std::uint8_t>(bytes[pos + 18]) : 0;
    if (field.type == 'C' && !vfp && field.decimals != 0) {
      // Character fields longer than 255 bytes keep the high byte of the width here.
      field.width = static_cast<std::uint16_t>(field.width + 256 * field.decimals);
      field.decimals = 0;
    }
    if (Result<void> ok = check_field(field, vfp); !ok) return ok.error();
    field.offset = offset;
    offset += field.width;
    if (offset > header.record_length) {
      return bad_format("fields need more than the record length " + std::to_string(header.record_length));
    }
    header.fields.push_back(std::move(field));
    pos += kDescriptorSize;
  }
  if (header.fields.empty()) return bad_format("the table has no fields");
  if (offset != header.record_length) {
    return bad_format("record length " + std::to_string(header.record_length) + " does not match the fields (" +
                      std::to_string(offset) + ")");
  }
  header.raw.assign(bytes.begin(), bytes.begin() + header.header_length);
  return header;
}

Result<DbfHeader> make_dbf_header(std::vector<DbfField> fields, std::uint8_t version, std::uint8_t code_page_mark) {
  DbfHeader header;
  header.version = version;
  header.code_page_mark = code_page_mark;
  const bool vfp = header.is_visual_foxpro();
  if (fields.empty()) return bad_format("a table needs at least one field");
  std::uint32_t offset = 1;
  for (DbfField& field : fields) {
    if (field.name.empty() || field.name.size() > 10) {
      return bad_format("field name \"" + field.name + "\" must have 1 to 10 characters");
    }
    for (char& c : field.name) {
      if (!is_name_char(c)) return bad_format("field name \"" + field.name + "\" has an invalid character");
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (field.name[0] >= '0' && field.name[0] <= '9') {
      return bad_format("field name \"" + field.name + "\" starts with a digit");
    }
    if (field.type >= 'a' && field.type <= 'z') field.type = static_cast<char>(field.type - 'a' + 'A');
    if (field.type == 'C' && field.width > 254) return bad_format("field " + field.name + " is wider than 254");
    if ((field.type == 'N' || field.type == 'F') && field.width > 20) {
      return bad_format("field " + field.name + " is wider than 20");
    }
    if ((field.type == 'N' || field.type == 'F') && field.decimals > 0 && field.decimals + 2 > field.width) {
      return bad_format("field " + field.name + " has too many decimals for its width");
    }
    if (field.type == 'M' || field.type == 'G') {
      if (vfp) header.table_flags |= 0x02;
    }
    if (Result<void> ok = check_field(field, vfp); !ok) return ok.error();
    field.offset = offset;
    offset += field.width;
  }
  if (offset > 0xFFFF) return bad_format("the record is longer than 65535 bytes");
  const std::size_t header_length =
      kDbfFixedHeaderSize + kDescriptorSize * fields.size() + 1 + (vfp ? kBacklinkSize : 1);
  if (header_length > 0xFFFF) return bad_format("too many fields");
  header.header_length = static_cast<std::uint16_t>(header_length);
  header.record_length = static_cast<std::uint16_t>(offset);
  header.fields = std::move(fields);
  header.raw = encode_dbf_header(header);
  return header;
}

std::vector<std::byte> encode_dbf_header(const DbfHeader& header) {
  std::vector<std::byte> b(header.header_length, std::byte{0});
  b[0] = std::byte(header.version);
  b[1] = std::byte(header.update_year);
  b[2] = std::byte(header.update_month);
  b[3] = std::byte(header.update_day);
  put_le32(b, 4, header.record_count);
  put_le16(b, 8, header.header_length);
  put_le16(b, 10, header.record_length);
  b[28] = std::byte(header.table_flags);
  b[29] = std::byte(header.code_page_mark);
  std::size_t pos = kDbfFixedHeaderSize;
  for (const DbfField& field : header.fields) {
    if (pos + kDescriptorSize >= b.size()) break;
    std::memcpy(b.data() + pos, field.name.data(), std::min<std::size_t>(field.name.size(), 10));
    b[pos + 11] = std::byte(field.type);
    if (header.is_visual_foxpro()) put_le32(b, pos + 12, field.offset);
    const bool long_text = field.type == 'C' && field.width > 255;
    b[pos + 16] = std::byte(field.width & 0xFF);
    b[pos + 17] = std::byte(long_text ? field.width >> 8 : field.decimals);
    b[pos + 18] = std::byte(field.flags);
    pos += kDescriptorSize;
  }
  if (pos < b.size()) b[pos] = kTerminator;
  return b;
}

}  // namespace data
