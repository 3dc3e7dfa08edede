// Reads the index files written by an independent xBase runtime and checks every tag
// against what that runtime reported: definitions, walks in both deleted modes, the
// key bytes of every entry, and every recorded seek.

#include <gtest/gtest.h>

#include <cmath>

#include "data/cdx_index.h"
#include "data/order_cursor.h"
#include "cdx_test_support.h"

namespace data {
namespace {

using namespace cdx_test;

class CdxFixture : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    const auto dir = fixtures_dir();
    if (dir.empty()) GTEST_SKIP() << "sample tables not present";
    m_set = dir / GetParam();
    std::string upper = GetParam();
    for (char& c : upper) c = static_cast<char>(std::toupper(c));
    auto index = CdxIndex::open((m_set / (upper + ".CDX")).string(), m_cache, CdxShare::Shared, true);
    ASSERT_TRUE(index) << index.error().text;
    m_index = std::move(*index);
    m_expected = read_expected_tags(m_set);
    m_deleted = read_deleted(m_set);
    for (const ExpectedTag& t : m_expected) {
      CdxTag* tag = m_index->find_tag(t.name);
      ASSERT_NE(tag, nullptr) << t.name;
      tag->set_key_type(key_type_of(t.key_type));
    }
  }

  OrderCursor cursor(CdxTag& tag, bool hide_deleted) {
    return OrderCursor(tag, hide_deleted ? OrderCursor::Visible([this](std::uint32_t r) { return !m_deleted.at(r); })
                                         : OrderCursor::Visible());
  }

  std::vector<std::uint32_t> walk(CdxTag& tag, bool hide_deleted, bool backwards) {
    OrderCursor c = cursor(tag, hide_deleted);
    std::vector<std::uint32_t> recnos;
    EXPECT_TRUE(backwards ? c.go_bottom() : c.go_top());
    while (!c.eof() && !c.bof()) {
      recnos.push_back(c.recno());
      EXPECT_TRUE(c.skip(backwards ? -1 : 1));
    }
    if (backwards) std::reverse(recnos.begin(), recnos.end());
    return recnos;
  }

  std::filesystem::path m_set;
  CdxPageCache m_cache;
  std::unique_ptr<CdxIndex> m_index;
  std::vector<ExpectedTag> m_expected;
  std::vector<bool> m_deleted;
};

TEST_P(CdxFixture, ReadsEveryTagDefinition) {
  ASSERT_EQ(m_index->tag_count(), m_expected.size());
  for (std::size_t i = 0; i < m_expected.size(); ++i) {
    const ExpectedTag& t = m_expected[i];
    CdxTag& tag = m_index->tag(i);  // Creation order.
    SCOPED_TRACE(t.name);
    EXPECT_EQ(tag.name(), t.name);
    EXPECT_EQ(tag.header().key_expression, t.key_expression);
    EXPECT_EQ(tag.header().for_expression, t.for_expression);
    EXPECT_EQ(tag.header().descending, t.descending);
    EXPECT_EQ(tag.header().is_unique(), t.unique);
    EXPECT_EQ(tag.key_length(), t.key_length);
    auto count = tag.count();
    ASSERT_TRUE(count) << count.error().text;
    EXPECT_EQ(*count, t.keys);
    CdxLock lock(m_index->file(), CdxLockMode::Read);
    auto levels = tag.levels();
    ASSERT_TRUE(levels) << levels.error().text;
    EXPECT_EQ(static_cast<int>(levels->size()), t.tree_depth);
  }
  // Names are looked up regardless of case and blanks.
  EXPECT_EQ(m_index->find_tag(" " + m_expected[0].name + " "), &m_index->tag(0));
  std::string lower = m_expected[0].name;
  for (char& c : lower) c = static_cast<char>(std::tolower(c));
  EXPECT_EQ(m_index->find_tag(lower), &m_index->tag(0));
  EXPECT_EQ(m_index->find_tag("NOSUCHTAG"), nullptr);
}

TEST_P(CdxFixture, WalksEveryTagBothWaysInBothDeletedModes) {
  for (const ExpectedTag& t : m_expected) {
    SCOPED_TRACE(t.name);
    CdxTag& tag = *m_index->find_tag(t.name);
    const auto all = read_walk(m_set / "expected" / ("walk-" + t.name + "-all.txt"));
    const auto visible = read_walk(m_set / "expected" / ("walk-" + t.name + ".txt"));
    EXPECT_EQ(walk(tag, false, false), all);
    EXPECT_EQ(walk(tag, false, true), all);
    EXPECT_EQ(walk(tag, true, false), visible);
    EXPECT_EQ(walk(tag, true, true), visible);
  }
}

TEST_P(CdxFixture, DecodesEveryKey) {
  for (const ExpectedTag& t : m_expected) {
    const auto path = m_set / "expected" / ("keys-" + t.name + ".tsv");
    if (!std::filesystem::exists(path)) continue;
    SCOPED_TRACE(t.name);
    CdxTag& tag = *m_index->find_tag(t.name);
    OrderCursor c = cursor(tag, false);
    ASSERT_TRUE(c.go_top());
    for (const std::string& line : read_lines(path)) {
      const auto parts = split(line);
      ASSERT_FALSE(c.eof());
      ASSERT_EQ(c.recno(), std::stoul(parts.at(0)));
      const std::string_view key = c.key();
      if (t.key_type == "C") {
        EXPECT_EQ(key, from_hex(parts.at(2))) << line;
      } else if (t.key_type == "N") {
        EXPECT_NEAR(cdx_numeric_value(key), std::stod(parts.at(2)), 1e-9) << line;
      } else {
        const std::string expected_date = parts.size() > 2 ? parts[2] : "";
        EXPECT_EQ(std::string(key), seek_key("D", expected_date, "")) << line;
      }
      ASSERT_TRUE(c.skip(1));
    }
    EXPECT_TRUE(c.eof());
  }
}

TEST_P(CdxFixture, AnswersEveryRecordedSeek) {
  const auto lines = read_lines(m_set / "expected" / "seeks.tsv");
  ASSERT_GT(lines.size(), 1u);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto p = split(lines[i]);
    SCOPED_TRACE(lines[i]);
    ASSERT_GE(p.size(), 7u);
    CdxTag& tag = *m_index->find_tag(p[0]);
    OrderCursor c = cursor(tag, p[5] == "hidden");
    auto found = c.seek(seek_key(p[1], p[2], p[3]), p[4] == "soft" ? SeekMode::Soft : SeekMode::Exact);
    ASSERT_TRUE(found) << found.error().text;
    const std::string got =
        c.eof() ? "EOF" : (*found ? "FOUND " : "SOFT ") + std::to_string(c.recno());
    EXPECT_EQ(got, p[6]);
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, CdxFixture, testing::Values("small", "large", "special", "appended"));

}  // namespace
}  // namespace data
