#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/result.h"

namespace data {

// One column of a DBF table as its descriptor states it.
struct DbfField {
  std::string name;        // Upper-case ASCII, at most 10 characters.
  char type = 'C';         // C N F D L M, and I B Y T G P read from other programs' tables.
  std::uint16_t width = 0; // Bytes in the record.
  std::uint8_t decimals = 0;
  std::uint8_t flags = 0;  // 0x01 hidden system column, 0x02 nullable, 0x04 binary.
  std::uint32_t offset = 0;  // Byte offset in the record; the deletion flag is byte 0.

  bool is_memo() const { return type == 'M' || type == 'G' || type == 'P' || type == 'W'; }
  // Hidden columns (the null-flags column) are not counted by FCount.
  bool is_hidden() const { return (flags & 0x01) != 0 || type == '0'; }
};

// The fixed header and field descriptors of a DBF file, decoded. Field offsets are
// recomputed from the widths because old writers leave garbage in the descriptor's
// offset bytes.
struct DbfHeader {
  std::uint8_t version = 0x03;
  std::uint8_t update_year = 0;  // Raw byte; see last_update_year().
  std::uint8_t update_month = 0;
  std::uint8_t update_day = 0;
  std::uint32_t record_count = 0;
  std::uint16_t header_length = 0;
  std::uint16_t record_length = 0;
  std::uint8_t table_flags = 0;   // 0x01 structural CDX, 0x02 memo (Visual FoxPro).
  std::uint8_t code_page_mark = 0;
  std::vector<DbfField> fields;   // Every column, hidden ones included.
  std::vector<std::byte> raw;     // The header bytes as read, kept to rewrite them faithfully.

  // Visual FoxPro tables keep 4-byte binary memo pointers and a 263-byte backlink.
  bool is_visual_foxpro() const { return version == 0x30 || version == 0x31 || version == 0x32; }
  // Whether the table expects a memo file beside it.
  bool expects_memo_file() const;
  // The calendar year of the last-update date, reading both year conventions.
  int last_update_year() const;
};

// Bytes of the fixed part that tell how long the whole header is.
inline constexpr std::size_t kDbfFixedHeaderSize = 32;

// Decodes a DBF header from its first `header_length` bytes (or more). Fails with a
// sentence naming the fault when the bytes are short, the lengths disagree with the
// descriptors, a field has zero width or an unknown type, or a name is empty. Reads only
// inside `bytes`.
Result<DbfHeader> parse_dbf_header(std::span<const std::byte> bytes);

// The header length stated in the fixed part; 0 when `fixed` is shorter than 32 bytes.
std::uint16_t stated_header_length(std::span<const std::byte> fixed);

// Encodes a new header for `fields` (offsets are assigned here). `version` 0x03 for a table
// without memo fields, 0xF5 with them (10-digit memo pointers, FPT memo file), 0x30 for a
// Visual FoxPro table. Fails when a field is malformed or the record is too long.
Result<DbfHeader> make_dbf_header(std::vector<DbfField> fields, std::uint8_t version,
                                  std::uint8_t code_page_mark);
// The bytes of `header`: the fixed part, descriptors, terminator and padding up to
// header_length.
std::vector<std::byte> encode_dbf_header(const DbfHeader& header);

}  // namespace data
