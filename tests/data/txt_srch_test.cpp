#include "data/txt_srch.h"

#include <gtest/gtest.h>

#include <set>

#include "data/record_change.h"
#include "data/text.h"
#include "data/use_table.h"
#include "wtable_test_support.h"

namespace data {
namespace {

using testing::SessionFixture;

TEST(IndexWords, UpperCasesCutsAtBlanksAndSkipsShortWords) {
  struct Case { std::string_view text; std::vector<std::string> words; };
  const Case kCases[] = {
      {"cama doble", {"CAMA", "DOBLE"}},
      {"  DE LA CAMA, DOBLE  X ", {"CAMA,", "DOBLE"}},  // Two-letter words skipped; the comma stays.
      {"A  B", {}},                                     // Empty pieces from double blanks are skipped.
      {"", {}},
      {"café crème", {"CAFÉ", "CRÈME"}},                // Accented letters are upper-cased too.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(index_words(c.text), c.words);
  }
}

// A site with the word index, DEF_ART registered by its CODIGO, and the search object running.
class TxtSrch : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* table : {"TXT_SRCH", "F_TXT_S", "DEF_ART", "FONTS"}) {
      testing::create_indexed_table(f.session, table, f.folder / "BASES");
    }
    {
      auto files = USE(f.session, {}, "F_TXT_S");
      ADD_NEW_REC(f.session);
      files->put("TABLA", Value("DEF_ART"));
      files->put("DOCUMENTO", Value("CODIGO"));
      UNLOCK_NEW_REC(f.session);
    }
    search = start_text_search(f.session, {}, "HOTEL1");
    ASSERT_NE(search, nullptr);
    articles = USE(f.session, {}, "DEF_ART");
    EXPECT_EQ(articles->SEARCH_TXT, 1);
  }

  void add_article(std::string_view code, std::string_view description) {
    f.session.areas().select(articles->Area);
    ADD_NEW_REC(f.session);
    articles->put("NEGOCIO", Value("HOTEL1"));
    articles->put("CODIGO", Value(code));
    articles->put("DESCRIP", Value(description));
    UNLOCK_NEW_REC(f.session);
  }

  // The words the index holds for a document of DEF_ART.
  std::set<std::string> words_of(std::string_view code) {
    std::set<std::string> words;
    WDBTable& index = *search->table();
    for (index.GoTop(); !index.Eof(); index.Skip(1)) {
      if (exact_equals(ALLTRIM(index.get("NEGOCIO").text()), "HOTEL1") &&
          exact_equals(ALLTRIM(index.get("TABLA").text()), "DEF_ART") &&
          exact_equals(ALLTRIM(index.get("DOCUMENTO").text()), code)) {
        words.insert(ALLTRIM(index.get("T_ITEM").text()));
      }
    }
    return words;
  }
  std::uint32_t index_rows() { return search->table()->LastRec(); }

  SessionFixture f;
  std::unique_ptr<TXT_SRCH> search;
  std::unique_ptr<WDBTable> articles;
};

TEST_F(TxtSrch, AChangedDescriptionSwapsItsWordsReusingTheFreedRows) {
  add_article("A-100", "CAMA DOBLE");
  EXPECT_EQ(words_of("A-100"), (std::set<std::string>{"HOTEL1", "A-100", "CAMA", "DOBLE"}));
  const std::uint32_t rows = index_rows();

  articles->GoTop();
  LOCK_FOR_MODIFY(f.session);
  articles->put("DESCRIP", Value("CAMA SENCILLA"));
  UNLOCK_FOR_MODIFY(f.session);
  EXPECT_EQ(words_of("A-100"), (std::set<std::string>{"HOTEL1", "A-100", "CAMA", "SENCILLA"}));
  EXPECT_EQ(index_rows(), rows);  // The rows freed at the lock were reused at the release.
}

TEST_F(TxtSrch, WordsAreMatchedByTheirBeginning) {
  add_article("B-200", "CAMAS");
  const std::uint32_t rows = index_rows();
  search->SET_NEGOCIO("HOTEL1");
  search->ADD_TEXTO("B-200", 0, "CAMA", "DEF_ART");
  EXPECT_EQ(index_rows(), rows);  // CAMAS already answers for CAMA.
  EXPECT_EQ(words_of("B-200").count("CAMA"), 0u);
  search->DEL_TEXTO("B-200", 0, "CAMA", "DEF_ART");
  EXPECT_EQ(words_of("B-200").count("CAMAS"), 0u);  // Removing CAMA frees CAMAS too.
  EXPECT_EQ(words_of("B-200"), (std::set<std::string>{"HOTEL1", "B-200"}));
}

TEST_F(TxtSrch, DeletingBetweenLockAndReleaseRemovesTheWordsAndAddsNone) {
  add_article("C-300", "MESA REDONDA");
  add_article("C-301", "MESA CUADRADA");
  articles->GoTop();
  LOCK_FOR_MODIFY(f.session);
  articles->Delete();
  UNLOCK_FOR_MODIFY(f.session);
  EXPECT_TRUE(words_of("C-300").empty());
  EXPECT_EQ(words_of("C-301"), (std::set<std::string>{"HOTEL1", "C-301", "MESA", "CUADRADA"}));
}

TEST_F(TxtSrch, TablesNotRegisteredAndClosedIndexesAreLeftAlone) {
  auto fonts = USE(f.session, {}, "FONTS");
  EXPECT_EQ(fonts->SEARCH_TXT, 0);
  const std::uint32_t rows = index_rows();
  ADD_NEW_REC(f.session);
  fonts->put("T_FONT", Value("UNA FUENTE LARGA"));
  UNLOCK_NEW_REC(f.session);
  EXPECT_EQ(index_rows(), rows);

  search->AXIT();
  EXPECT_EQ(f.session.XTXT_SRCH_OBJ, nullptr);
  add_article("D-400", "SILLA");  // No index object: the hook does nothing.
  search = std::make_unique<TXT_SRCH>(f.session);
  search->INIT({}, "HOTEL1");
  EXPECT_TRUE(words_of("D-400").empty());
}

}  // namespace
}  // namespace data
