#include "transport/message_reader.h"

#include <gmime/gmime.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transport/engine_codes.h"
#include "transport/text_encoding.h"

namespace transport {
namespace {

class MessageReader : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { g_mime_init(); }
};

std::string crlf(std::string text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += "\r\n";
    else out.push_back(c);
  }
  return out;
}

struct Row {
  const char* what;
  std::string raw;
  std::vector<std::string> present;  // Pieces the text must hold, in this order.
  std::vector<std::string> absent;   // Pieces it must not hold.
};

TEST_F(MessageReader, RowsOfRawMessagesGiveTheTextTheRepliesAreReadFrom) {
  const std::vector<Row> rows = {
      {"plain reply: headers then body, line feeds only",
       crlf("From: Ana <ana@hotel.com>\nTo: aprob@hotel.com\nSubject: RE: Compra\n\nMONITOR ana@hotel.com<BR>\nSTATUS 1<BR>\n"),
       {"From: \"Ana\" <ana@hotel.com>\n", "To: aprob@hotel.com\n", "Subject: RE: Compra\n\n",
        "MONITOR ana@hotel.com<BR>\nSTATUS 1<BR>\n"},
       {"\r"}},
      {"sender without a display name is the bare address",
       "From: ana@hotel.com\r\nSubject: x\r\n\r\nFORECAST\r\n",
       {"From: ana@hotel.com\n", "FORECAST"},
       {"<ana"}},
      {"quoted-printable UTF-8 body is decoded",
       crlf("From: a@b.cc\nContent-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: quoted-printable\n\n"
            "Se=C3=B1or P=C3=A9rez, l=C3=ADnea muy larga que se parte con un corte suave =\naqu=C3=AD.\n"),
       {"Señor Pérez, línea muy larga que se parte con un corte suave aquí."},
       {"=C3"}},
      {"base64 body is decoded",
       crlf("From: a@b.cc\nContent-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: base64\n\n"
            "UE9JTlRTIDEyMzQ1Cg==\n"),
       {"POINTS 12345"},
       {}},
      {"Windows-1252 body becomes UTF-8",
       crlf("From: a@b.cc\nContent-Type: text/plain; charset=windows-1252\nContent-Transfer-Encoding: 8bit\n\n") +
           "Compa\xf1\xed" "a \x80 100 \x93ok\x94\r\n",
       {"Compañía € 100 “ok”"},
       {}},
      {"ISO-8859-1 label is read as Windows-1252",
       crlf("From: a@b.cc\nContent-Type: text/plain; charset=iso-8859-1\nContent-Transfer-Encoding: quoted-printable\n\n"
            "Ma=F1ana =80\n"),
       {"Mañana €"},
       {}},
      {"bytes that are not the declared UTF-8 fall back to Windows-1252",
       crlf("From: a@b.cc\nContent-Type: text/plain; charset=utf-8\n\n") + "Jos\xe9\r\n",
       {"José"},
       {}},
      {"unknown charset keeps readable text",
       crlf("From: a@b.cc\nContent-Type: text/plain; charset=x-nonsense\n\nVENTAS hoy\n"),
       {"VENTAS hoy"},
       {}},
      {"RFC 2047 subject and name are decoded",
       crlf("From: =?iso-8859-1?q?Jos=E9_P=E9rez?= <jose@x.com>\nSubject: =?utf-8?b?UHJvbsOzc3RpY28=?=\n\nok\n"),
       {"From: \"José Pérez\" <jose@x.com>\n", "Subject: Pronóstico\n"},
       {"=?"}},
      {"alternative gives plain first, then HTML with tags, whatever the order sent",
       crlf("From: a@b.cc\nMIME-Version: 1.0\nContent-Type: multipart/alternative; boundary=XX\n\n--XX\n"
            "Content-Type: text/html; charset=utf-8\n\n<html><body>STATUS 1<br>\n</body></html>\n--XX\n"
            "Content-Type: text/plain; charset=utf-8\n\nSTATUS 1\n--XX--\n"),
       {"STATUS 1\n", "<html><body>STATUS 1<br>"},
       {}},
      {"an escaped <BR> typed into an HTML-only reply reads as the tag",
       crlf("From: a@b.cc\nContent-Type: text/html; charset=utf-8\n\n<p>MONITOR ana@x.com&lt;BR&gt;</p><p>Se&ntilde;or &#233;&#xE9;&amp;</p>\n"),
       {"MONITOR ana@x.com<BR></p>", "Señor éé&"},
       {"&lt;"}},
      {"attachments and images add nothing; text of a forwarded message does",
       crlf("From: a@b.cc\nContent-Type: multipart/mixed; boundary=B\n\n--B\nContent-Type: text/plain\n\nmain text\n"
            "--B\nContent-Type: text/plain; name=a.txt\nContent-Disposition: attachment; filename=a.txt\n\nSECRET ATTACHMENT\n"
            "--B\nContent-Type: image/png\nContent-Transfer-Encoding: base64\n\niVBORw0KGgo=\n"
            "--B\nContent-Type: message/rfc822\n\nFrom: x@y.zz\nSubject: inner\n\nNUMREF 77\n--B--\n"),
       {"main text\n", "NUMREF 77\n"},
       {"SECRET ATTACHMENT", "iVBOR"}},
      {"missing closing boundary still yields the text",
       crlf("From: a@b.cc\nContent-Type: multipart/mixed; boundary=B\n\n--B\nContent-Type: text/plain\n\nCHECKSUM 9\n"),
       {"CHECKSUM 9"},
       {}},
      {"multipart without a boundary keeps the headers",
       crlf("From: a@b.cc\nContent-Type: multipart/mixed\n\nloose text\n"),
       {"From: a@b.cc\n"},
       {}},
      {"a header line of 100 kB stays one line",
       "From: a@b.cc\r\nSubject: " + std::string(100 * 1024, 'S') + "\r\n\r\nbody\r\n",
       {"Subject: SSSS", "\n\nbody\n"},
       {}},
      {"NUL bytes and bare CR in the body are tamed",
       std::string("From: a@b.cc\r\n\r\nA\0B\rC\r\n", 23),
       {"AB\nC\n"},
       {std::string(1, '\0')}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    auto text = read_message_text(row.raw);
    ASSERT_TRUE(text) << text.error().text;
    EXPECT_TRUE(is_valid_utf8(*text));
    size_t at = 0;
    for (const std::string& piece : row.present) {
      const size_t found = text->find(piece, at);
      EXPECT_NE(found, std::string::npos) << "missing: " << piece.substr(0, 80) << "\nin: " << text->substr(0, 400);
      if (found != std::string::npos) at = found + piece.size();
    }
    for (const std::string& piece : row.absent) EXPECT_EQ(text->find(piece), std::string::npos) << piece;
  }
}

TEST_F(MessageReader, HostileStructuresEndWithoutCrashing) {
  std::string nested = "From: a@b.cc\r\nContent-Type: multipart/mixed; boundary=b0\r\n\r\n";
  for (int depth = 1; depth < 200; ++depth) {
    nested += "--b" + std::to_string(depth - 1) + "\r\nContent-Type: multipart/mixed; boundary=b" +
              std::to_string(depth) + "\r\n\r\n";
  }
  nested += "--b199\r\nContent-Type: text/plain\r\n\r\ndeep\r\n";
  const std::vector<std::string> inputs = {
      nested,
      std::string(1000, '\n'),
      "Content-Type: text/plain; charset=\"\r\n\r\n\xff\xfe\xfd",
      "From: <<<@>>>\r\nTo: ,,,;;;\"\r\n\r\n",
      "Content-Transfer-Encoding: base64\r\n\r\n!!!!====****",
  };
  for (const std::string& input : inputs) {
    auto text = read_message_text(input);
    if (text) EXPECT_TRUE(is_valid_utf8(*text));
    else EXPECT_EQ(text.error().code, kProtocolError);
  }
}

TEST_F(MessageReader, TwentyMegabyteAttachmentDoesNotHideTheText) {
  std::string raw = crlf("From: a@b.cc\nContent-Type: multipart/mixed; boundary=B\n\n--B\nContent-Type: text/plain\n\nSTATUS 0\n"
                         "--B\nContent-Type: application/pdf\nContent-Transfer-Encoding: base64\n"
                         "Content-Disposition: attachment; filename=big.pdf\n\n");
  const std::string line = std::string(76, 'Q') + "\r\n";
  raw.reserve(raw.size() + 20 * 1024 * 1024);
  while (raw.size() < 20u * 1024 * 1024) raw += line;
  raw += "--B--\r\n";
  auto text = read_message_text(raw);
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("STATUS 0"), std::string::npos);
  EXPECT_LT(text->size(), 1000u);
}

TEST(TextEncoding, Windows1252AndUtf8Prefix) {
  EXPECT_EQ(windows1252_to_utf8("\x80\x81\xe1"), "€\uFFFDá");
  EXPECT_FALSE(is_valid_utf8("\xc0\xaf"));        // Overlong slash.
  EXPECT_FALSE(is_valid_utf8("\xed\xa0\x80"));    // Surrogate.
  EXPECT_TRUE(is_valid_utf8("ñ€𝄞"));
  EXPECT_EQ(utf8_prefix("añb", 2), "a");           // Never cuts inside ñ.
  EXPECT_EQ(utf8_prefix("añb", 3), "añ");
}

}  // namespace
}  // namespace transport
