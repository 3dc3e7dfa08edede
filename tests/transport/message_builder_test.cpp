#include "transport/message_builder.h"

#include <gmime/gmime.h>
#include <gtest/gtest.h>

#include "transport/engine_codes.h"
#include "transport/gmime_handles.h"
#include "transport_fixtures.h"

namespace transport {
namespace {

using transport_test::TempFolder;

class MessageBuilder : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { g_mime_init(); }

  GObjectPtr<GMimeMessage> parse(const std::string& raw) {
    GObjectPtr<GMimeStream> stream{g_mime_stream_mem_new_with_buffer(raw.data(), raw.size())};
    GObjectPtr<GMimeParser> parser{g_mime_parser_new_with_stream(stream.get())};
    return GObjectPtr<GMimeMessage>{g_mime_parser_construct_message(parser.get(), nullptr)};
  }

  TempFolder folder;
};

std::string type_of(GMimeObject* object) {
  GCharPtr type{g_mime_content_type_get_mime_type(g_mime_object_get_content_type(object))};
  return type.get();
}

TEST_F(MessageBuilder, NestsAttachmentsAlternativeRelatedAndHtml) {
  OutgoingMail mail;
  mail.from = "José Pérez <jose@hotel.com>";
  mail.to = {"<ana@x.com>"};
  mail.cc = {"<copia@x.com>"};
  mail.subject = "Pronóstico de Ocupación";
  mail.body = "@" + folder.write("T1234567.HTM", "<html><img src=\"cid:message-root.1\"></html>").string();
  mail.images = {folder.write("logo.jpg", "JPEGDATA"), folder.write("firma.png", "PNGDATA")};
  mail.alternate_text = "Texto alterno";
  mail.attachments = {folder.write("Reporte año.xlsx", "XLSX")};
  mail.extra_headers = {{"X-Priority", "Normal"}, {"X-Sender", "QUARVELT Hotel Software"}};
  auto raw = build_message(mail);
  ASSERT_TRUE(raw) << raw.error().text;
  EXPECT_EQ(raw->find("\n"), raw->find("\r\n") + 1);  // CRLF line ends.
  EXPECT_NE(raw->find("X-Priority: Normal\r\n"), std::string::npos);
  EXPECT_NE(raw->find("X-Sender: QUARVELT Hotel Software\r\n"), std::string::npos);
  EXPECT_NE(raw->find("Message-Id: <"), std::string::npos);
  EXPECT_NE(raw->find("Date: "), std::string::npos);
  EXPECT_NE(raw->find("Subject: =?"), std::string::npos);  // Accents travel as RFC 2047 words.

  auto message = parse(*raw);
  ASSERT_TRUE(message);
  EXPECT_STREQ(g_mime_message_get_subject(message.get()), "Pronóstico de Ocupación");
  InternetAddress* from = internet_address_list_get_address(g_mime_message_get_from(message.get()), 0);
  EXPECT_STREQ(internet_address_get_name(from), "José Pérez");

  GMimeObject* mixed = g_mime_message_get_mime_part(message.get());
  ASSERT_EQ(type_of(mixed), "multipart/mixed");
  GMimeObject* attachment = g_mime_multipart_get_part(GMIME_MULTIPART(mixed), 1);
  EXPECT_STREQ(g_mime_part_get_filename(GMIME_PART(attachment)), "Reporte año.xlsx");
  EXPECT_EQ(type_of(attachment), "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
  GMimeObject* alternative = g_mime_multipart_get_part(GMIME_MULTIPART(mixed), 0);
  ASSERT_EQ(type_of(alternative), "multipart/alternative");
  EXPECT_EQ(type_of(g_mime_multipart_get_part(GMIME_MULTIPART(alternative), 0)), "text/plain");
  GMimeObject* related = g_mime_multipart_get_part(GMIME_MULTIPART(alternative), 1);
  ASSERT_EQ(type_of(related), "multipart/related");
  ASSERT_EQ(g_mime_multipart_get_count(GMIME_MULTIPART(related)), 3);
  EXPECT_EQ(type_of(g_mime_multipart_get_part(GMIME_MULTIPART(related), 0)), "text/html");
  GMimeObject* first = g_mime_multipart_get_part(GMIME_MULTIPART(related), 1);
  GMimeObject* second = g_mime_multipart_get_part(GMIME_MULTIPART(related), 2);
  EXPECT_STREQ(g_mime_object_get_content_id(first), "message-root.1");
  EXPECT_EQ(type_of(first), "image/jpeg");
  EXPECT_STREQ(g_mime_object_get_content_id(second), "message-root.2");
  EXPECT_EQ(type_of(second), "image/png");
}

TEST_F(MessageBuilder, BodyFileInWindows1252IsSentAsUtf8) {
  OutgoingMail mail;
  mail.from = "<a@b.cc>";
  mail.to = {"c@d.ee"};
  mail.body = "@" + folder.write("T0000001.HTM", "<p>Se\xf1or \x80</p>").string();
  auto raw = build_message(mail);
  ASSERT_TRUE(raw);
  auto message = parse(*raw);
  GMimeObject* html = g_mime_message_get_mime_part(message.get());
  EXPECT_STREQ(g_mime_object_get_content_type_parameter(html, "charset"), "utf-8");
  GCharPtr text{g_mime_text_part_get_text(GMIME_TEXT_PART(html))};
  EXPECT_TRUE(std::string(text.get()).starts_with("<p>Señor €</p>")) << text.get();
}

TEST_F(MessageBuilder, PlainTextBodyStaysPlain) {
  OutgoingMail mail;
  mail.from = "<a@b.cc>";
  mail.to = {"c@d.ee"};
  mail.body = "Error 5 < 7 en linea 1\nlinea 2";
  auto raw = build_message(mail);
  ASSERT_TRUE(raw);
  EXPECT_EQ(type_of(g_mime_message_get_mime_part(parse(*raw).get())), "text/plain");
}

TEST_F(MessageBuilder, MissingFilesAreNamedAndNothingIsTouched) {
  const auto body = folder.write("T7.HTM", "<p>x</p>");
  const auto image = folder.write("logo.jpg", "J");
  struct Case {
    std::string body;
    std::vector<std::filesystem::path> images, attachments;
    int code;
    std::string names;
  };
  const Case cases[] = {
      {"@" + (folder.path() / "missing.htm").string(), {}, {}, kBodyFileMissing, "missing.htm"},
      {"@" + body.string(), {image, folder.path() / "gone.gif"}, {}, kImageMissing, "gone.gif"},
      {"@" + body.string(), {image}, {folder.path() / "nada.pdf"}, kAttachmentMissing, "nada.pdf"},
      {"@" + folder.path().string(), {}, {}, kBodyFileMissing, ""},  // A folder is not a body file.
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names);
    OutgoingMail mail;
    mail.from = "<a@b.cc>";
    mail.to = {"c@d.ee"};
    mail.body = c.body;
    mail.images = c.images;
    mail.attachments = c.attachments;
    auto raw = build_message(mail);
    ASSERT_FALSE(raw);
    EXPECT_EQ(raw.error().code, c.code);
    EXPECT_NE(raw.error().text.find(c.names), std::string::npos) << raw.error().text;
  }
  EXPECT_TRUE(std::filesystem::exists(body));
  EXPECT_TRUE(std::filesystem::exists(image));
}

TEST(ContentType, FollowsTheExtension) {
  EXPECT_EQ(content_type_for("a.JPG"), "image/jpeg");
  EXPECT_EQ(content_type_for("r.xls"), "application/vnd.ms-excel");
  EXPECT_EQ(content_type_for("x.pdf"), "application/pdf");
  EXPECT_EQ(content_type_for("noext"), "application/octet-stream");
  EXPECT_EQ(bare_address(" Ana <ana@x.com> "), "ana@x.com");
  EXPECT_EQ(bare_address("ana@x.com"), "ana@x.com");
}

}  // namespace
}  // namespace transport
