// Two processes on one index file: a child inserts entries under the index write lock
// while this process walks the same tag again and again. Every walk must see entries in
// strictly ascending order and never an error, and the walks must see the child's
// entries arrive.

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "data/cdx_index.h"
#include "data/cdx_verify.h"

namespace data {
namespace {

namespace fs = std::filesystem;

constexpr int kChildInserts = 6000;

std::string key_for(std::mt19937& rng) {
  std::string key(20, ' ');
  for (int i = 0; i < 12; ++i) key[i] = static_cast<char>('A' + rng() % 26);
  return key;
}

// Runs in the child: its own open file and its own cache, like another program.
int insert_in_child(const std::string& path) {
  CdxPageCache cache;
  auto index = CdxIndex::open(path, cache, CdxShare::Shared, false);
  if (!index) return 2;
  CdxTag* tag = (*index)->find_tag("NAME");
  std::mt19937 rng(99);
  for (int i = 0; i < kChildInserts; i += 10) {
    CdxLock lock((*index)->file(), CdxLockMode::Write);
    if (!lock.ok()) return 3;
    for (int j = 0; j < 10; ++j)
      if (auto r = tag->insert(key_for(rng), static_cast<std::uint32_t>(100000 + i + j)); !r || !*r) return 4;
  }
  return 0;
}

TEST(CdxSharedAccess, AWalkerNeverSeesABrokenTagWhileAnotherProcessInserts) {
  const fs::path folder = fs::temp_directory_path() / ("qv_cdx_shared_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string path = (folder / "S.CDX").string();
  CdxPageCache cache;
  {
    auto created = CdxIndex::create(path, cache, CdxShare::Shared);
    ASSERT_TRUE(created);
    std::mt19937 rng(1);
    CdxEntryList entries(20);
    for (std::uint32_t r = 1; r <= 3000; ++r) entries.add(key_for(rng), r);
    entries.sort(false);
    CdxIndex::NewTag tag{"NAME", {}, CdxKeyType::Character, &entries};
    tag.header.key_length = 20;
    tag.header.key_expression = "NAME";
    ASSERT_TRUE((*created)->add_tag(tag));
  }
  auto index = CdxIndex::open(path, cache, CdxShare::Shared, true);
  ASSERT_TRUE(index);
  CdxTag& tag = *(*index)->find_tag("NAME");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(insert_in_child(path));

  int walks = 0;
  std::uint64_t last_count = 0;
  int status = 0;
  bool child_done = false;
  while (!child_done) {
    child_done = ::waitpid(child, &status, WNOHANG) == child;
    std::uint64_t count = 0;
    std::string previous_key;
    std::uint32_t previous_recno = 0;
    auto at = tag.first();
    while (at && at->valid()) {
      if (count > 0) {
        ASSERT_TRUE(cdx_compare(previous_key, previous_recno, at->key(), at->recno()) < 0) << "walk " << walks;
      }
      previous_key = std::string(at->key());
      previous_recno = at->recno();
      ++count;
      at = tag.next(*at);
    }
    ASSERT_TRUE(at) << at.error().text;
    EXPECT_GE(count + 10, last_count);  // A walk may overlap a change, never lose much.
    last_count = count;
    ++walks;
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  auto count = tag.count();
  ASSERT_TRUE(count);
  EXPECT_EQ(*count, 3000u + kChildInserts);
  const auto problems = verify_cdx_structure(**index);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_GT(walks, 1);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace data
