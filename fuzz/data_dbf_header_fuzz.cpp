// Feeds arbitrary bytes to the DBF header and field-descriptor parser, then decodes the
// first record after the header with the fields it found.
#include <cstddef>
#include <cstdint>
#include <span>

#include "data/dbf_field_codec.h"
#include "data/dbf_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  data::Result<data::DbfHeader> header = data::parse_dbf_header(bytes);
  if (!header) return 0;
  const std::size_t start = header->header_length;
  if (start + header->record_length > size) return 0;
  const std::string_view record(reinterpret_cast<const char*>(data) + start, header->record_length);
  for (const data::DbfField& field : header->fields) {
    const std::string_view stored = record.substr(field.offset, field.width);
    if (field.is_memo()) {
      (void)data::decode_memo_block(field, stored);
    } else {
      (void)data::decode_value(field, stored, data::CodePage::Dos850);
    }
  }
  (void)data::encode_dbf_header(*header);
  return 0;
}
