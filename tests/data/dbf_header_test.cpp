#include "data/dbf_header.h"

#include <gtest/gtest.h>

#include <cstring>

#include "data/table_types.h"

namespace data {
namespace {

// A header for fields given as {name, type, width, decimals}, the way a FoxPro 2.x writer
// lays it out (or Visual FoxPro with its backlink).
std::vector<std::byte> header_bytes(std::initializer_list<FieldSpec> fields, std::uint8_t version = 0x03) {
  std::vector<DbfField> list;
  for (const FieldSpec& item : fields) {
    list.push_back({item.name, item.type, static_cast<std::uint16_t>(item.width),
                    static_cast<std::uint8_t>(item.decimals), 0, 0});
  }
  Result<DbfHeader> header = make_dbf_header(list, version, 0x03);
  EXPECT_TRUE(header) << header.error().text;
  return encode_dbf_header(*header);
}

TEST(DbfHeader, ReadsWhatItWrites) {
  for (const std::uint8_t version : {std::uint8_t{0x03}, std::uint8_t{0xF5}, std::uint8_t{0x30}}) {
    SCOPED_TRACE(static_cast<int>(version));
    const auto bytes = header_bytes({{"NOMBRE", 'C', 20, 0}, {"MONTO", 'N', 12, 2}, {"NOTA", 'M', version == 0x30 ? 4 : 10, 0}},
                                    version);
    Result<DbfHeader> header = parse_dbf_header(bytes);
    ASSERT_TRUE(header) << header.error().text;
    ASSERT_EQ(header->fields.size(), 3u);
    EXPECT_EQ(header->fields[1].name, "MONTO");
    EXPECT_EQ(header->fields[1].offset, 21u);
    EXPECT_EQ(header->fields[1].decimals, 2);
    EXPECT_EQ(header->record_length, 1 + 20 + 12 + (version == 0x30 ? 4 : 10));
    EXPECT_EQ(header->header_length, 32 + 3 * 32 + 1 + (version == 0x30 ? 263 : 1));
  }
}

TEST(DbfHeader, ReadsLongClipperTextFields) {
  auto bytes = header_bytes({{"TEXTO", 'C', 200, 0}});
  bytes[32 + 16] = std::byte{0x2C};  // 300 = 0x012C: the high byte sits in the decimals slot.
  bytes[32 + 17] = std::byte{0x01};
  bytes[10] = std::byte{0x2D};       // Record length 301.
  bytes[11] = std::byte{0x01};
  Result<DbfHeader> header = parse_dbf_header(bytes);
  ASSERT_TRUE(header) << header.error().text;
  EXPECT_EQ(header->fields[0].width, 300);
}

TEST(DbfHeader, RefusesMalformedHeadersWithoutReadingPastThem) {
  const auto good = header_bytes({{"A", 'C', 5, 0}, {"B", 'D', 8, 0}});
  struct Case {
    const char* what;
    std::size_t offset;  // Byte to change, or the size to cut to when `value` < 0.
    int value;
  };
  const Case kCases[] = {
      {"short fixed part", 20, -1},
      {"header length past the bytes", 8, 0xFF},
      {"header length too small", 8, 10},
      {"record length zero", 10, 0},
      {"record length disagrees", 10, 20},
      {"zero width", 32 + 16, 0},
      {"date not 8 wide", 64 + 16, 9},
      {"unknown type", 32 + 11, 'Z'},
      {"empty name", 32, 0},
      {"name with a blank", 33, ' '},
      {"no fields", 32, 0x0D},
      {"descriptor past the header", 64, -2},  // Header length cut inside the second descriptor.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    std::vector<std::byte> bytes = good;
    if (c.value == -1) {
      bytes.resize(c.offset);
    } else if (c.value == -2) {
      bytes[8] = std::byte{static_cast<unsigned char>(c.offset + 10)};
      bytes[9] = std::byte{0};
      bytes.resize(c.offset + 10);
    } else {
      bytes[c.offset] = std::byte{static_cast<unsigned char>(c.value)};
    }
    Result<DbfHeader> header = parse_dbf_header(bytes);
    ASSERT_FALSE(header);
    EXPECT_TRUE(has_code(header.error(), TableErrorCode::BadFormat));
    EXPECT_FALSE(header.error().text.empty());
  }
}

TEST(DbfHeader, RefusesStructuresOtherProgramsCannotRead) {
  const std::vector<DbfField> kBad[] = {
      {{"", 'C', 5, 0, 0, 0}},
      {{"NOMBRE_LARGO", 'C', 5, 0, 0, 0}},  // Longer than 10 characters.
      {{"1A", 'C', 5, 0, 0, 0}},
      {{"A", 'C', 300, 0, 0, 0}},
      {{"A", 'N', 21, 0, 0, 0}},
      {{"A", 'N', 3, 2, 0, 0}},             // No room for the point and a digit.
      {{"A", 'X', 3, 0, 0, 0}},
      {},
  };
  for (const auto& fields : kBad) {
    EXPECT_FALSE(make_dbf_header(fields, 0x03, 0x03));
  }
}

}  // namespace
}  // namespace data
