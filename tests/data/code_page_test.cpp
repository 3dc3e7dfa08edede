#include "data/code_page.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(CodePage, SpanishTextRoundTripsInEveryTableCodePage) {
  struct Case {
    CodePage page;
    std::string_view stored;  // "Ñandú, cigüeña, ¿Acción?" as the table holds it.
  };
  const Case kCases[] = {
      {CodePage::Windows1252, "\xD1" "and\xFA, cig\xFC" "e\xF1" "a, \xBF" "Acci\xF3n?"},
      {CodePage::Dos850, "\xA5" "and\xA3, cig\x81" "e\xA4" "a, \xA8" "Acci\xA2n?"},
      {CodePage::Dos437, "\xA5" "and\xA3, cig\x81" "e\xA4" "a, \xA8" "Acci\xA2n?"},
  };
  const std::string_view text = "Ñandú, cigüeña, ¿Acción?";
  for (const Case& c : kCases) {
    SCOPED_TRACE(code_page_name(c.page));
    EXPECT_EQ(encode_text(c.page, text), c.stored);
    EXPECT_EQ(decode_text(c.page, c.stored), text);
  }
}

TEST(CodePage, MarksWhatItCannotStoreAndNeverCutsACharacter) {
  struct Case {
    CodePage page;
    std::string_view utf8;
    std::size_t max_bytes;
    std::string_view stored;
  };
  const Case kCases[] = {
      {CodePage::Windows1252, "€ 漢 😀", 99, "\x80 ? ?"},     // One '?' per missing character, 4-byte ones too.
      {CodePage::Dos850, "€", 99, "?"},                       // DOS 850 has no euro sign.
      {CodePage::Dos850, "Ã", 99, "\xC7"},                    // ... but has Ã, which DOS 437 lacks.
      {CodePage::Dos437, "Ã", 99, "?"},
      {CodePage::Windows1252, "a\xFF" "b\xC3", 99, "a?b?"},   // Bytes that are not UTF-8.
      {CodePage::Windows1252, "\xC0\xAF", 99, "??"},          // An overlong encoding of '/'.
      {CodePage::Windows1252, "añejo", 2, "a\xF1"},           // Cut after two stored bytes, whole characters.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.utf8));
    std::string out;
    encode_text(c.page, c.utf8, out, c.max_bytes);
    EXPECT_EQ(out, c.stored);
  }
}

TEST(CodePage, ReadsTheHeaderMark) {
  EXPECT_EQ(code_page_from_mark(0x03), CodePage::Windows1252);
  EXPECT_EQ(code_page_from_mark(0x01), CodePage::Dos437);
  EXPECT_EQ(code_page_from_mark(0x02), CodePage::Dos850);
  EXPECT_EQ(code_page_from_mark(0x00), CodePage::Windows1252);  // Unmarked tables are taken as 1252 ...
  EXPECT_EQ(code_page_from_mark(0x00, CodePage::Dos850), CodePage::Dos850);  // ... unless the site says otherwise.
  for (const CodePage page : {CodePage::Windows1252, CodePage::Dos437, CodePage::Dos850}) {
    EXPECT_EQ(code_page_from_mark(code_page_mark(page)), page);
  }
}

}  // namespace
}  // namespace data
