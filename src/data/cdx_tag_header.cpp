#include "data/cdx_tag_header.h"

#include <cstring>

#include "data/cdx_node.h"

namespace data {
namespace {

constexpr std::size_t kPoolStart = 512;
constexpr std::size_t kPoolSize = 512;

std::uint32_t get_le(std::span<const std::uint8_t> b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}
void put_le(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The NUL-terminated text at `offset` of the pool; empty when it starts outside.
std::string pool_text(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (offset >= kPoolSize) return {};
  std::string text;
  for (std::size_t i = kPoolStart + offset; i < kPoolStart + kPoolSize && bytes[i] != 0; ++i)
    text.push_back(static_cast<char>(bytes[i]));
  return text;
}

}  // namespace

Result<CdxTagHeader> decode_cdx_tag_header(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kCdxHeaderSize) return Error{-1, "tag header shorter than 1024 bytes"};
  CdxTagHeader header;
  header.root = get_le(bytes, 0, 4);
  header.key_length = static_cast<int>(get_le(bytes, 12, 2));
  header.options = bytes[14];
  header.descending = get_le(bytes, 502, 2) != 0;
  if (header.key_length < 1 || header.key_length > kCdxMaxKeyLength)
    return Error{-1, "tag header has key length " + std::to_string(header.key_length)};
  if (header.root == 0 || header.root % kCdxPageSize != 0)
    return Error{-1, "tag header has root offset " + std::to_string(header.root)};
  const std::size_t for_offset = get_le(bytes, 504, 2);
  const std::size_t key_offset = get_le(bytes, 508, 2);
  const std::size_t key_size = get_le(bytes, 510, 2);
  header.key_expression = pool_text(bytes, key_offset);
  // Writers that leave both offsets at zero put the FOR text right after the key's NUL.
  const std::size_t for_at = for_offset == 0 && key_offset == 0 && key_size != 0 ? key_size : for_offset;
  if (for_at != key_offset) header.for_expression = pool_text(bytes, for_at);
  return header;
}

void encode_cdx_tag_header(const CdxTagHeader& header, std::span<std::uint8_t> bytes) {
  const std::size_t key_size = header.key_expression.size() + 1;
  const std::size_t for_size = header.for_expression.size() + 1;
  put_le(bytes, 0, header.root, 4);
  put_le(bytes, 12, static_cast<std::uint32_t>(header.key_length), 2);
  bytes[14] = header.options;
  bytes[15] = 0x01;
  put_le(bytes, 502, header.descending ? 1 : 0, 2);
  put_le(bytes, 504, static_cast<std::uint32_t>(key_size), 2);
  put_le(bytes, 506, static_cast<std::uint32_t>(for_size), 2);
  put_le(bytes, 508, 0, 2);
  put_le(bytes, 510, static_cast<std::uint32_t>(key_size), 2);
  std::memcpy(bytes.data() + kPoolStart, header.key_expression.data(), header.key_expression.size());
  std::memcpy(bytes.data() + kPoolStart + key_size, header.for_expression.data(), header.for_expression.size());
}

}  // namespace data
