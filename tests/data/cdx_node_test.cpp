#include "data/cdx_node.h"

#include <gtest/gtest.h>

#include <array>

#include "data/cdx_key.h"

namespace data {
namespace {

using Page = std::array<std::uint8_t, kCdxPageSize>;

// A leaf of a 6-byte character tag holding three keys, laid out byte by byte as the
// other programs write it.
Page three_key_leaf() {
  Page page{};
  const std::uint8_t header[] = {0x03, 0x00, 0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                 0xD8, 0x01, 0xFF, 0xFF, 0x03, 0x00, 0x07, 0x07, 0x12, 0x03, 0x03, 0x03,
                                 0x01, 0x00, 0x40, 0x03, 0x00, 0x4C, 0x02, 0x00, 0x80};
  std::copy(std::begin(header), std::end(header), page.begin());
  const std::uint8_t data[] = {0x42, 0x32, 0x35, 0x41, 0x31, 0x30, 0x30};
  std::copy(std::begin(data), std::end(data), page.begin() + 505);
  return page;
}

TEST(CdxNode, DecodesAndEncodesACompressedLeafByteForByte) {
  const Page page = three_key_leaf();
  auto node = decode_cdx_node(page, 6, ' ');
  ASSERT_TRUE(node) << node.error().text;
  ASSERT_EQ(node->size(), 3u);
  EXPECT_TRUE(node->is_leaf());
  EXPECT_TRUE(node->is_root());
  EXPECT_EQ(node->key(0), "A100  ");
  EXPECT_EQ(node->recno(0), 1u);
  EXPECT_EQ(node->key(1), "A105  ");
  EXPECT_EQ(node->recno(1), 3u);
  EXPECT_EQ(node->key(2), "B2    ");
  EXPECT_EQ(node->recno(2), 2u);
  Page encoded{};
  ASSERT_TRUE(cdx_node_fits(*node, ' '));
  encode_cdx_node(*node, ' ', encoded);
  EXPECT_EQ(encoded, page);
}

TEST(CdxNode, WidensRecordNumbersPerLeaf) {
  CdxNode leaf(10, CdxNode::kLeafBit);
  leaf.insert(0, "COD1      ", 70000);  // Above the 16-bit record mask of key length 10.
  leaf.insert(1, "COD2      ", 5);
  Page page{};
  encode_cdx_node(leaf, ' ', page);
  EXPECT_EQ(page[23], 4);   // Four bytes per entry.
  EXPECT_EQ(page[20], 24);  // 24 record-number bits.
  auto decoded = decode_cdx_node(page, 10, ' ');
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->recno(0), 70000u);
  EXPECT_EQ(decoded->key(1), "COD2      ");
}

TEST(CdxNode, RoundTripsInteriorNodesAndNumericKeys) {
  CdxNode node(8, CdxNode::kRootBit);
  node.insert(0, cdx_numeric_key(-2.5), 7, 0x0C00);
  node.insert(1, cdx_numeric_key(1234.56), 9, 0x0E00);
  Page page{};
  encode_cdx_node(node, '\0', page);
  auto decoded = decode_cdx_node(page, 8, '\0');
  ASSERT_TRUE(decoded);
  EXPECT_FALSE(decoded->is_leaf());
  EXPECT_EQ(decoded->child(1), 0x0E00u);
  EXPECT_EQ(cdx_numeric_value(decoded->key(0)), -2.5);
  EXPECT_EQ(decoded->recno(1), 9u);
}

TEST(CdxKey, NumericKeysSortLikeTheirValues) {
  struct Case {
    double value;
    const char* hex;
  };
  const Case cases[] = {
      {-2.5, "3ffbffffffffffff"}, {-1.0, "400fffffffffffff"}, {0.0, "8000000000000000"},
      {-0.0, "8000000000000000"},  // Negative zero is stored as zero.
      {1.0, "bff0000000000000"},  {2.5, "c004000000000000"},  {1234.56, "c0934a3d70a3d70a"},
  };
  for (const Case& c : cases) {
    const std::string key = cdx_numeric_key(c.value);
    std::string hex;
    for (unsigned char b : key) hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15];
    EXPECT_EQ(hex, c.hex) << c.value;
  }
  EXPECT_LT(cdx_numeric_key(-100), cdx_numeric_key(-99.5));
  EXPECT_LT(cdx_numeric_key(-0.001), cdx_numeric_key(0));
  EXPECT_EQ(cdx_date_key(Date::from_ymd(2024, 3, 15)), cdx_numeric_key(2460385));
}

TEST(CdxNode, RejectsDamagedPagesWithAClearError) {
  struct Case {
    const char* what;
    void (*damage)(Page&);
  };
  const Case cases[] = {
      {"key count larger than the entry area", [](Page& p) { p[2] = 0xFF; p[3] = 0x00; }},
      {"shared and trailing bytes longer than the key", [](Page& p) { p[29] = 0xFF; }},
      {"entry layout wider than its bytes", [](Page& p) { p[20] = 40; }},
      {"key data running into the entries", [](Page& p) { p[26] = 0x00; p[29] = 0x00; p[32] = 0x00; p[2] = 100; }},
      {"unknown node attributes", [](Page& p) { p[0] = 0x07; }},
      {"interior node with more keys than fit", [](Page& p) { p[0] = 0x01; p[2] = 40; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Page page = three_key_leaf();
    c.damage(page);
    auto node = decode_cdx_node(page, 6, ' ');
    ASSERT_FALSE(node);
    EXPECT_NE(node.error().text.find("damaged index page"), std::string::npos) << node.error().text;
  }
}

}  // namespace
}  // namespace data
