#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "data/result.h"

namespace data {

inline constexpr std::size_t kCdxHeaderSize = 1024;

// The 1024-byte header of a tag (and, with the directory flag, of the file itself):
// root page, key length, options, order and the key and FOR expression texts.
struct CdxTagHeader {
  static constexpr std::uint8_t kUnique = 0x01;
  static constexpr std::uint8_t kHasFor = 0x08;
  static constexpr std::uint8_t kCompact = 0x20;
  static constexpr std::uint8_t kCompound = 0x40;
  static constexpr std::uint8_t kDirectory = 0x80;

  std::uint32_t root = 0;
  int key_length = 0;
  std::uint8_t options = kCompact | kCompound;
  bool descending = false;
  std::string key_expression;
  std::string for_expression;

  bool is_unique() const { return (options & kUnique) != 0; }
};

// Reads a tag header. Expression offsets and lengths are checked against the pool,
// so a damaged header gives an error rather than a read outside it.
Result<CdxTagHeader> decode_cdx_tag_header(std::span<const std::uint8_t> bytes);

// Writes a tag header the way the other programs lay it out: key expression at pool
// offset 0, FOR expression right after its NUL, signature 1. Bytes 0-15 and the
// expression fields only; requires a zeroed 1024-byte buffer.
void encode_cdx_tag_header(const CdxTagHeader& header, std::span<std::uint8_t> bytes);

}  // namespace data
