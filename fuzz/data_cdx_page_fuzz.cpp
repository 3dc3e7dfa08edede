// Feeds arbitrary bytes to the index reader: as a single tree page (decoded, and when
// it decodes, encoded and decoded again to the same entries), and as a whole index file
// opened and walked in every tag both ways. Damaged input must give an error, never a
// crash, a read outside a buffer or a walk that does not end.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "data/cdx_index.h"
#include "data/cdx_verify.h"
#include "data/order_cursor.h"

namespace {

void fuzz_page(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  const int key_length = 1 + data[0] % data::kCdxMaxKeyLength;
  const char pad = (data[1] & 1) ? ' ' : '\0';
  std::uint8_t page[data::kCdxPageSize] = {};
  std::memcpy(page, data + 2, std::min(size - 2, sizeof page));
  auto node = data::decode_cdx_node(page, key_length, pad);
  if (!node || !data::cdx_node_fits(*node, pad)) return;
  std::uint8_t encoded[data::kCdxPageSize];
  data::encode_cdx_node(*node, pad, encoded);
  auto again = data::decode_cdx_node(encoded, key_length, pad);
  if (!again || again->size() != node->size()) __builtin_trap();
  for (std::size_t i = 0; i < node->size(); ++i)
    if (again->key(i) != node->key(i) || again->recno(i) != node->recno(i) || again->child(i) != node->child(i))
      __builtin_trap();
}

void fuzz_file(const std::uint8_t* data, std::size_t size) {
  // A file of whole pages: header, directory and the fuzzed bytes after them.
  std::vector<std::uint8_t> image(std::max<std::size_t>(1536, (size + 511) / 512 * 512), 0);
  std::memcpy(image.data(), data, size);
  const int fd = ::memfd_create("cdx", 0);
  if (fd < 0) return;
  if (::write(fd, image.data(), image.size()) != static_cast<ssize_t>(image.size())) {
    ::close(fd);
    return;
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  data::CdxPageCache cache(64);
  auto index = data::CdxIndex::open(path, cache, data::CdxShare::Exclusive, true);
  if (index) {
    (void)data::verify_cdx_structure(**index);
    for (std::size_t t = 0; t < (*index)->tag_count(); ++t) {
      data::CdxTag& tag = (*index)->tag(t);
      (void)tag.count();
      data::OrderCursor cursor(tag, nullptr);
      if (cursor.go_top())
        while (!cursor.eof() && cursor.skip(1)) {
        }
      if (cursor.go_bottom())
        while (!cursor.eof() && !cursor.bof() && cursor.skip(-1)) {
        }
      (void)cursor.seek(std::string(3, 'A'), data::SeekMode::Soft);
    }
  }
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1)
    fuzz_file(data + 1, size - 1);
  else
    fuzz_page(data + 1, size - 1);
  return 0;
}
