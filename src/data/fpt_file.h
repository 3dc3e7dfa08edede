#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "data/result.h"
#include "data/table_types.h"
#include "data/unique_fd.h"

namespace data {

// The FPT memo file beside a DBF table: a 512-byte header with the next free block
// (big-endian) and the block size, then memos that each start on a block boundary with an
// 8-byte header (type, length). Memo bytes are stored as given, in the table's code page.
//
// In shared mode every allocation happens under a lock on byte 0 (the one other FPT
// writers take) and re-reads the next-free pointer, so two writers never hand out the
// same blocks. Not thread-safe.
class FptFile {
 public:
  static constexpr std::uint32_t kDefaultBlockSize = 64;

  // Fails with NotFound when the file is missing and BadFormat when its header is short
  // or its block size is 0.
  static Result<std::unique_ptr<FptFile>> open(const std::filesystem::path& path, Access access, Share share);
  // Creates an empty memo file (next free block right after the header). Fails when the
  // file exists.
  static Result<std::unique_ptr<FptFile>> create(const std::filesystem::path& path,
                                                 std::uint32_t block_size = kDefaultBlockSize);

  std::uint32_t block_size() const { return m_block_size; }
  // The next free block as the header states it now.
  Result<std::uint32_t> next_free_block() const;

  // The data of the memo starting at `block`. Fails with BadFormat when the block lies
  // inside the header or past the end of the file, or its length runs past the end.
  Result<std::string> read(std::uint32_t block) const;

  // Stores `data` as the memo that replaces the one at `old_block` (0 when there was
  // none) and returns its block. The old blocks are reused when the new memo fits in
  // them or when they are the last ones of the file; otherwise the memo goes to the end
  // and the next-free pointer moves past it.
  Result<std::uint32_t> write(std::uint32_t old_block, std::string_view data, std::uint32_t type = 1);

  // Forces written memos to disk.
  Result<void> sync();

 private:
  struct Key {
    explicit Key() = default;
  };

 public:
  // Use open() or create().
  FptFile(Key, UniqueFd fd, Share share, std::uint32_t block_size, std::filesystem::path path)
      : m_fd(std::move(fd)), m_share(share), m_block_size(block_size), m_path(std::move(path)) {}

 private:
  Result<std::uint32_t> blocks_of_memo_at(std::uint32_t block) const;
  std::uint32_t blocks_for(std::size_t data_length) const;

  UniqueFd m_fd;
  Share m_share;
  std::uint32_t m_block_size;
  std::filesystem::path m_path;
};

}  // namespace data
