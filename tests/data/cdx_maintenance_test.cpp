// Keeps tags right through thousands of random inserts and removals, checked against an
// in-memory model and the structural verifier after every batch, and again after the
// file is reopened with an empty cache.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "data/cdx_index.h"
#include "data/cdx_verify.h"
#include "data/order_cursor.h"

namespace data {
namespace {

namespace fs = std::filesystem;
using Entry = std::pair<std::string, std::uint32_t>;

class TempFolder {
 public:
  TempFolder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    m_path = fs::temp_directory_path() /
             ("qv_cdx_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
  }
  ~TempFolder() { fs::remove_all(m_path); }
  const fs::path& path() const { return m_path; }

 private:
  fs::path m_path;
};

struct TagSpec {
  const char* name;
  int key_length;
  CdxKeyType type;
  bool unique;
  bool descending;
};

constexpr TagSpec kTags[] = {
    {"CHR", 12, CdxKeyType::Character, false, false},  // Short keys, heavy duplication.
    {"LONGKEY", 60, CdxKeyType::Character, false, false},  // Few entries per page: deep trees.
    {"NUM", 8, CdxKeyType::Numeric, false, false},
    {"UNQ", 3, CdxKeyType::Character, true, false},
    {"DSC", 10, CdxKeyType::Character, false, true},
};

std::string random_key(std::mt19937& rng, const TagSpec& shape) {
  if (shape.type == CdxKeyType::Numeric)
    return cdx_numeric_key(static_cast<double>(static_cast<int>(rng() % 20001) - 10000) / 8.0);
  static const char kLetters[] = "AB Cab\xD1\xE9z";
  const std::size_t length = rng() % (shape.key_length + 1);
  std::string key;
  for (std::size_t i = 0; i < length; ++i) key.push_back(kLetters[rng() % (sizeof kLetters - 1)]);
  return cdx_fit_key(key, shape.key_length, ' ');
}

// What each tag should hold, following the same rules as the index.
struct Model {
  std::set<Entry> entries;
  bool unique = false;
  bool insert(const std::string& key, std::uint32_t recno) {
    if (unique) {
      const auto it = entries.lower_bound({key, 0});
      if (it != entries.end() && it->first == key) return false;
    }
    return entries.insert({key, recno}).second;
  }
  bool remove(const std::string& key, std::uint32_t recno) { return entries.erase({key, recno}) > 0; }
};

std::vector<Entry> walk(CdxTag& tag) {
  std::vector<Entry> entries;
  auto at = tag.first();
  while (at && at->valid()) {
    entries.emplace_back(std::string(at->key()), at->recno());
    at = tag.next(*at);
  }
  EXPECT_TRUE(at) << at.error().text;
  return entries;
}

void expect_matches(CdxIndex& index, const std::vector<Model>& models) {
  const auto problems = verify_cdx_structure(index);
  EXPECT_TRUE(problems.empty()) << problems.front();
  for (std::size_t t = 0; t < models.size(); ++t) {
    SCOPED_TRACE(kTags[t].name);
    CdxTag& tag = *index.find_tag(kTags[t].name);
    const auto entries = walk(tag);
    ASSERT_EQ(entries.size(), models[t].entries.size());
    EXPECT_TRUE(std::equal(entries.begin(), entries.end(), models[t].entries.begin()));
    auto count = tag.count();
    ASSERT_TRUE(count);
    EXPECT_EQ(*count, entries.size());
  }
}

TEST(CdxMaintenance, RandomInsertsAndRemovalsKeepEveryTagRight) {
  TempFolder folder;
  const std::string path = (folder.path() / "T.CDX").string();
  CdxPageCache cache(512);  // Small, so that pages are evicted and read again.
  auto created = CdxIndex::create(path, cache, CdxShare::Shared);
  ASSERT_TRUE(created) << created.error().text;
  CdxIndex& index = **created;
  std::vector<Model> models;
  for (const TagSpec& shape : kTags) {
    CdxIndex::NewTag tag{shape.name, {}, shape.type, nullptr};
    tag.header.key_length = shape.key_length;
    tag.header.key_expression = shape.name;
    tag.header.descending = shape.descending;
    if (shape.unique) tag.header.options |= CdxTagHeader::kUnique;
    auto added = index.add_tag(tag);
    ASSERT_TRUE(added) << added.error().text;
    models.push_back(Model{{}, shape.unique});
  }

  std::mt19937 rng(20261211);
  std::vector<std::vector<std::string>> keys;  // keys[recno - 1][tag]
  std::vector<bool> present;
  std::vector<std::uint32_t> recnos;
  for (int batch = 0; batch < 12; ++batch) {
    SCOPED_TRACE("batch " + std::to_string(batch));
    CdxLock lock(index.file(), CdxLockMode::Write);
    ASSERT_TRUE(lock.ok());
    for (int op = 0; op < 500; ++op) {
      const unsigned kind = rng() % 10;
      if (kind < 5 || keys.empty()) {
        // Append; from batch 6 on the record numbers jump past 65535, so that leaves
        // widen their entries.
        keys.emplace_back();
        present.push_back(true);
        const auto recno = static_cast<std::uint32_t>(keys.size() + (batch >= 6 ? 70000 : 0));
        recnos.push_back(recno);
        for (std::size_t t = 0; t < std::size(kTags); ++t) {
          keys.back().push_back(random_key(rng, kTags[t]));
          auto inserted = index.find_tag(kTags[t].name)->insert(keys.back()[t], recno);
          ASSERT_TRUE(inserted) << inserted.error().text;
          EXPECT_EQ(*inserted, models[t].insert(keys.back()[t], recno));
        }
        continue;
      }
      const std::size_t r = rng() % keys.size();
      const std::uint32_t recorded = recnos[r];
      for (std::size_t t = 0; t < std::size(kTags); ++t) {
        CdxTag& tag = *index.find_tag(kTags[t].name);
        if (present[r]) {
          auto removed = tag.remove(keys[r][t], recorded);
          ASSERT_TRUE(removed) << removed.error().text;
          // A unique tag may have kept another record's entry for this key.
          EXPECT_EQ(*removed, models[t].remove(keys[r][t], recorded));
          if (!models[t].unique) {
            EXPECT_TRUE(*removed);
          }
        }
        if (kind < 8) {  // A key change: old key out, new key in. Else a removal.
          keys[r][t] = random_key(rng, kTags[t]);
          auto inserted = tag.insert(keys[r][t], recorded);
          ASSERT_TRUE(inserted) << inserted.error().text;
          EXPECT_EQ(*inserted, models[t].insert(keys[r][t], recorded));
        }
      }
      present[r] = kind < 8;
    }
    ASSERT_TRUE(lock.release());
    expect_matches(index, models);
  }

  // Everything is on disk: a fresh cache and a fresh open see the same tags.
  CdxPageCache fresh;
  auto reopened = CdxIndex::open(path, fresh, CdxShare::Shared, false);
  ASSERT_TRUE(reopened) << reopened.error().text;
  for (const TagSpec& shape : kTags) (*reopened)->find_tag(shape.name)->set_key_type(shape.type);
  expect_matches(**reopened, models);
  EXPECT_GT((*reopened)->file().change_counter(), 0u);

  // Removing everything gives empty tags and puts the pages on the free list.
  {
    CdxLock lock(index.file(), CdxLockMode::Write);
    for (std::size_t t = 0; t < std::size(kTags); ++t) {
      for (const Entry& e : std::vector<Entry>(models[t].entries.begin(), models[t].entries.end())) {
        auto removed = index.find_tag(kTags[t].name)->remove(e.first, e.second);
        ASSERT_TRUE(removed && *removed);
        models[t].remove(e.first, e.second);
      }
    }
  }
  expect_matches(index, models);
  EXPECT_NE(index.file().free_list_head(), 0u);
}

TEST(CdxMaintenance, BuildsTagsFromSortedEntriesAndRewritesTheFile) {
  TempFolder folder;
  const std::string path = (folder.path() / "B.CDX").string();
  CdxPageCache cache;
  auto created = CdxIndex::create(path, cache, CdxShare::Exclusive);
  ASSERT_TRUE(created);
  CdxIndex& index = **created;
  std::mt19937 rng(7);
  CdxEntryList list(10);
  Model model;
  for (std::uint32_t r = 1; r <= 30000; ++r) {
    const std::string key = random_key(rng, kTags[4]);
    list.add(key, r);
    model.insert(key, r);
  }
  list.sort(false);
  CdxIndex::NewTag tag{"BULK", {}, CdxKeyType::Character, &list};
  tag.header.key_length = 10;
  tag.header.key_expression = "CODIGO";
  ASSERT_TRUE(index.add_tag(tag));
  auto entries = walk(*index.find_tag("bulk"));
  EXPECT_TRUE(std::equal(entries.begin(), entries.end(), model.entries.begin(), model.entries.end()));
  EXPECT_TRUE(verify_cdx_structure(index).empty());

  tag.name = "OTHER";
  tag.header.descending = true;
  ASSERT_TRUE(index.rewrite({tag, CdxIndex::NewTag{"BULK", tag.header, CdxKeyType::Character, &list}}));
  ASSERT_EQ(index.tag_count(), 2u);
  EXPECT_EQ(index.tag(0).name(), "OTHER");  // Creation order is the order given.
  EXPECT_TRUE(index.tag(0).header().descending);
  entries = walk(index.tag(1));
  EXPECT_TRUE(std::equal(entries.begin(), entries.end(), model.entries.begin(), model.entries.end()));
  const auto problems = verify_cdx_structure(index);
  EXPECT_TRUE(problems.empty()) << problems.front();

  // A UNIQUE tag keeps the lowest record of each key.
  CdxEntryList unique_list(10);
  Model unique_model{{}, true};
  for (std::uint32_t r = 1; r <= 5000; ++r) {
    const std::string key = cdx_fit_key(std::to_string(rng() % 300), 10, ' ');
    unique_list.add(key, r);
    unique_model.insert(key, r);
  }
  unique_list.sort(true);
  ASSERT_EQ(unique_list.size(), unique_model.entries.size());
  CdxIndex::NewTag unique_tag{"UNQ", {}, CdxKeyType::Character, &unique_list};
  unique_tag.header.key_length = 10;
  unique_tag.header.key_expression = "CODIGO";
  unique_tag.header.options |= CdxTagHeader::kUnique;
  ASSERT_TRUE(index.add_tag(unique_tag));
  entries = walk(*index.find_tag("UNQ"));
  EXPECT_TRUE(std::equal(entries.begin(), entries.end(), unique_model.entries.begin(), unique_model.entries.end()));
}

}  // namespace
}  // namespace data
