#include "notify/trans_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

#include "../support/temp_folder.h"

namespace notify {
namespace {

std::string read_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_file(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

class TransFile : public ::testing::Test {
 protected:
  // Expands `text` and returns the body; the image list goes to `images`.
  std::string expand(const std::string& text, const SubstitutionList& pairs,
                     TemplateMode mode = TemplateMode::SubstituteOnly, std::string* images = nullptr) {
    write_file(source, text);
    data::Result<TemplateExpansion> result = TRANS_FILE(source, target, pairs, mode);
    EXPECT_TRUE(result) << (result ? "" : result.error().text);
    if (!result) return "?";
    EXPECT_FALSE(result->template_error);
    if (images) *images = result->images;
    return read_file(target);
  }

  test_support::TempFolder folder{"trans_file"};
  std::filesystem::path source = folder / "PLANTILLA.HTM";
  std::filesystem::path target = folder / "T0000001.HTM";
};

TEST_F(TransFile, AppliesThePairsAsIfOneAfterTheOtherOverTheWholeTemplate) {
  struct Case {
    const char* name;
    std::string text;
    SubstitutionList pairs;
    std::string expected;
  };
  const Case kCases[] = {
      {"longer placeholder first keeps both", "XFECHA1 XFECHA", {{"XFECHA1", "lunes"}, {"XFECHA", "hoy"}}, "lunes hoy"},
      {"shorter first eats the longer one's start", "XFECHA1 XFECHA", {{"XFECHA", "hoy"}, {"XFECHA1", "lunes"}}, "hoy1 hoy"},
      {"a value holding a later placeholder is replaced again", "<XA>", {{"XA", "XB"}, {"XB", "fin"}}, "<fin>"},
      {"a value holding an earlier placeholder stays", "<XA>", {{"XB", "fin"}, {"XA", "XB"}}, "<XB>"},
      {"an empty value joins its neighbours into a later placeholder", "XAXEB", {{"XE", ""}, {"XAB", "ok"}}, "ok"},
      {"overlapping placeholders: the earlier pair wins", "ABC", {{"BC", "1"}, {"AB", "2"}}, "A1"},
      {"a placeholder named twice: the first value", "XHOTEL", {{"XHOTEL", "Plaza"}, {"XHOTEL", "Sol"}}, "Plaza"},
      {"an empty placeholder matches nothing", "abc", {{"", "x"}}, "abc"},
      {"no pairs copy the template", "<p>XHOTEL</p>", {}, "<p>XHOTEL</p>"},
      {"accents in values stay", "Sr. XUSUARIO", {{"XUSUARIO", "José Núñez"}}, "Sr. José Núñez"},
      {"a self-overlapping placeholder goes left to right", "AAAAA", {{"AA", "b"}}, "bbA"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(apply_in_list_order(c.text, c.pairs), c.expected);
    EXPECT_EQ(expand(c.text, c.pairs), c.expected);
  }
}

// Random templates many chunks long, with placeholders cut by chunk ends, prefixes of each other,
// values that hold placeholders, and empty values: the body must equal the whole-text rule.
TEST_F(TransFile, LongTemplatesGiveTheSameBodyAsTheWholeTextRule) {
  const std::vector<std::string> words = {"XHOTEL", "XFECHA1", "XFECHA", "XTEXTO1", "XTEXTO2", "XDETALLE0", "XDETALLE1"};
  for (unsigned seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < 40000) {
      const unsigned pick = random() % 10;
      if (pick < 3) {
        text += words[random() % words.size()];
      } else {
        text += "<td>Habitación ñ " + std::to_string(random() % 1000) + "</td>\n";
      }
    }
    SubstitutionList pairs;
    for (const std::string& word : words) {
      const unsigned kind = random() % 5;
      std::string value = kind == 0 ? "" : kind == 1 ? "valor " + word : kind == 2 ? "X" : "Plaza José";
      if (seed % 3 == 0 && kind == 3) value = words[random() % words.size()];  // Values that hold placeholders.
      pairs.push_back({word, value});
    }
    EXPECT_EQ(expand(text, pairs), apply_in_list_order(text, pairs));
  }
}

TEST_F(TransFile, APlaceholderLongerThanAChunkMakesTheChunkAndHugeValuesGoInWhole) {
  const std::string long_placeholder = "X" + std::string(7000, 'P');
  const std::string huge_value(200 * 1024, 'v');
  const SubstitutionList pairs{{long_placeholder, "corto"}, {"XDETALLE1", huge_value}};
  EXPECT_EQ(template_chunk_size(pairs), 7001u);
  const std::string text = std::string(4990, 'a') + long_placeholder + std::string(9000, 'b') + "XDETALLE1" + "fin";
  EXPECT_EQ(expand(text, pairs), apply_in_list_order(text, pairs));
}

TEST_F(TransFile, LocalImagesBecomeNumberedContentIdsAndWebImagesStayAsTheyAre) {
  std::string images;
  const std::string body = expand(
      "<img src=\"logo.jpg\"><img src=\"http://cdn.hotel.test/Banner.GIF\"><img src='firma.png'>"
      "<img src=\"FOTO.JPG\"><div style=\"background:url(fondo.gif)\"></div>"
      "<img src=\"https://cdn.hotel.test/a.png\"><img src=\"//cdn.hotel.test/b.jpg\">Texto sobre archivo.jpg",
      {}, TemplateMode::EmbedImages, &images);
  EXPECT_EQ(body,
            "<img src=\"cid:message-root.1\"><img src=\"http://cdn.hotel.test/Banner.GIF\">"
            "<img src='cid:message-root.4'><img src=\"cid:message-root.2\">"
            "<div style=\"background:url(cid:message-root.3)\"></div>"
            "<img src=\"https://cdn.hotel.test/a.png\"><img src=\"//cdn.hotel.test/b.jpg\">Texto sobre archivo.jpg");
  // JPG first, then GIF, then PNG, as the numbers say.
  EXPECT_EQ(images, "logo.jpg,FOTO.JPG,fondo.gif,firma.png");

  EXPECT_EQ(expand("<img src=\"logo.jpg\">", {}, TemplateMode::SubstituteOnly, &images), "<img src=\"logo.jpg\">");
  EXPECT_EQ(images, "");
}

TEST_F(TransFile, ImageNumbersRunOnAcrossChunksAndReferencesCutByAReadStayWhole) {
  std::string text;
  for (int i = 0; i < 6; ++i) {
    text += std::string(4993, ' ');  // Puts the references across the 5000-character reads.
    text += "<img src=\"img" + std::to_string(i) + ".jpg\">";
  }
  std::string images;
  const std::string body = expand(text, {{"XHOTEL", "Plaza"}}, TemplateMode::EmbedImages, &images);
  EXPECT_EQ(images, "img0.jpg,img1.jpg,img2.jpg,img3.jpg,img4.jpg,img5.jpg");
  for (int i = 0; i < 6; ++i) {
    EXPECT_NE(body.find("<img src=\"cid:message-root." + std::to_string(i + 1) + "\">"), std::string::npos) << i;
  }
}

TEST_F(TransFile, ATemplateThatIsNotUtf8IsReadAsWindows1252) {
  // "Habitación" and "Año" in Windows-1252, one of them right at a chunk end.
  const std::string text = std::string(4999, ' ') + "\xF3" + "Habitaci\xF3n XHOTEL A\xF1o";
  const std::string body = expand(text, {{"XHOTEL", "Peñón"}});
  EXPECT_EQ(body, std::string(4999, ' ') + "ó" + "Habitación Peñón Año");

  // UTF-8 stays UTF-8, also with a character cut by a read.
  const std::string utf8 = std::string(4999, ' ') + "ñ XHOTEL";
  EXPECT_EQ(expand(utf8, {{"XHOTEL", "Sol"}}), std::string(4999, ' ') + "ñ Sol");
}

TEST_F(TransFile, AMissingTemplateGivesAnEmptyBodyAndAnUnwritableBodyAnError) {
  write_file(target, "old");
  data::Result<TemplateExpansion> missing = TRANS_FILE(folder / "NO_EXISTE.HTM", target, {{"XHOTEL", "x"}});
  ASSERT_TRUE(missing);
  ASSERT_TRUE(missing->template_error);
  EXPECT_EQ(missing->template_error->code, kTemplateUnreadable);
  EXPECT_NE(missing->template_error->text.find("NO_EXISTE.HTM"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(target));
  EXPECT_EQ(read_file(target), "");

  write_file(source, "XHOTEL");
  data::Result<TemplateExpansion> unwritable = TRANS_FILE(source, folder / "NO_FOLDER" / "T1.HTM", {});
  ASSERT_FALSE(unwritable);
  EXPECT_EQ(unwritable.error().code, kBodyUnwritable);
}

}  // namespace
}  // namespace notify
