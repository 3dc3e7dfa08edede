// The mail operations on a temporary program folder, sending through the local mail
// sandbox and reading what arrived.
#include "transport/mail_operations.h"

#include <gtest/gtest.h>

#include "transport/engine_codes.h"
#include "transport_fixtures.h"

namespace transport {
namespace {

using transport_test::fresh_user;
using transport_test::raw_messages;
using transport_test::servers;
using transport_test::TempFolder;

class MailOperations : public ::testing::Test {
 protected:
  MailOperations() {
    account.XEMAILHOST = "127.0.0.1 ";
    account.XEMAILADDR = "hotel@localhost";
    account.XEMAILNAME = "Hotel Añil";
    account.XEMAIL_SMTP_PORT = servers().port("SMTP_PORT");
    account.XEMAIL_POP3_PORT = servers().port("POP3_PORT");
    account.XEMAILAUTH = 1;
    account.XEMAIL_AU = "hotel  ";
    account.XEMAIL_AP = servers().password() + "  ";
    account.ca_file = servers().ca_file();
    account.connect_seconds = 20;
    account.stall_seconds = 20;
    site.write("HTML/LOGO.JPG", "JPEG");
    site.write("HTML/firma.png", "PNG");
    site.write("HTML/condiciones.pdf", "PDF");
  }

  MailContext context() {
    return MailContext{state, account, site.path(), [this](const std::string& text) { shown.push_back(text); }, {}};
  }

  std::filesystem::path body_file(const std::string& name) {
    return site.write("MAIL/SEND/" + name, "<html><body><img src=\"cid:message-root.1\">Hola</body></html>");
  }

  TempFolder site;
  MailAccount account;
  MailEngineState state;
  std::vector<std::string> shown;
};

TEST_F(MailOperations, BatchSendsOutboxMessagesAndRemovesTheirFiles) {
  const std::string to = fresh_user();
  const std::string copy = fresh_user();
  const auto body = body_file("T1000001.HTM");
  const auto report = site.write("TEMP/Ocupación.xls", "XLS");
  MailContext mail = context();
  ASSERT_GE(CONNECTSEE(mail, true, true), 0);
  EXPECT_TRUE(state.XSEE32LIB);
  EXPECT_TRUE(state.XSEECONNECTED.is_number());

  // Two images by name (one spelt in another case than the file), an attachment from a
  // folder given with the suite's backslash, a copy, and a blank sender name.
  const int sent = SENDMAILQUARVELT(mail, to + "@localhost", " " + copy + "@localhost ", "", "Confirmación",
                                    "@T1000001.HTM", "logo.jpg,firma.png", "", "Ocupación.xls",
                                    (site.path() / "TEMP").string() + "\\", 1, "", "");
  ASSERT_GE(sent, 0);
  EXPECT_FALSE(std::filesystem::exists(body));
  EXPECT_FALSE(std::filesystem::exists(report));
  EXPECT_TRUE(std::filesystem::exists(site.path() / "HTML/LOGO.JPG"));  // Shared images stay.

  // A plain body, nothing to delete.
  EXPECT_GE(SENDMAILQUARVELT(mail, to + "@localhost", "", "", "Error: Desconocido", "Informe\nlinea 2", ""), 0);
  DISCONNECTSEE(mail);
  EXPECT_FALSE(state.XSEE32LIB);
  EXPECT_TRUE(state.XSEECONNECTED.is_empty());
  EXPECT_TRUE(shown.empty());

  const auto received = raw_messages(to);
  ASSERT_EQ(received.size(), 2u);
  const std::string& first = received[0];
  EXPECT_NE(first.find("From: Hotel =?UTF-8?"), std::string::npos);  // The accented XEMAILNAME, encoded.
  EXPECT_NE(first.find("<hotel@localhost>"), std::string::npos);
  EXPECT_NE(first.find("Cc: " + copy + "@localhost"), std::string::npos);
  EXPECT_NE(first.find("Content-Id: <message-root.1>"), std::string::npos);
  EXPECT_NE(first.find("Content-Id: <message-root.2>"), std::string::npos);
  EXPECT_LT(first.find("LOGO.JPG"), first.find("firma.png"));
  EXPECT_NE(first.find("filename"), std::string::npos);
  EXPECT_NE(first.find("X-Sender: QUARVELT Hotel Software"), std::string::npos);
  EXPECT_EQ(received[1].find("Cc:"), std::string::npos);  // Empty copies are no copies.
  EXPECT_NE(received[1].find("text/plain"), std::string::npos);
  ASSERT_EQ(raw_messages(copy).size(), 1u);
}

TEST_F(MailOperations, BlankSenderNameFallsBackAndThenLeavesTheAddressAlone) {
  const std::string to = fresh_user();
  account.XEMAILNAME = "   ";
  MailContext mail = context();
  ASSERT_GE(CONNECTSEE(mail), 0);
  EXPECT_GE(SENDMAILQUARVELT(mail, to + "@localhost", "", "", "s", "<p>x</p>", "", "", "", std::nullopt, 1,
                             "reservas@localhost", ""),
            0);
  DISCONNECTSEE(mail);
  const auto received = raw_messages(to);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_NE(received[0].find("From: reservas@localhost\r\n"), std::string::npos) << received[0].substr(0, 300);
}

TEST_F(MailOperations, AttachmentsWithoutFolderComeFromHtmlAndAreNeverDeleted) {
  const std::string to = fresh_user();
  const auto body = body_file("T1000002.HTM");
  MailContext mail = context();
  ASSERT_GE(CONNECTSEE(mail), 0);
  EXPECT_GE(SENDMAILQUARVELT(mail, to + "@localhost", "", "", "s", "@T1000002.HTM", "", "", "condiciones.pdf",
                             std::nullopt, 1),
            0);
  DISCONNECTSEE(mail);
  EXPECT_FALSE(std::filesystem::exists(body));
  EXPECT_TRUE(std::filesystem::exists(site.path() / "HTML/condiciones.pdf"));
  EXPECT_NE(raw_messages(to).at(0).find("condiciones.pdf"), std::string::npos);
}

TEST_F(MailOperations, FailedSendKeepsTheBodyFileAndAttachments) {
  const auto body = body_file("T1000003.HTM");
  const auto attachment = site.write("TEMP/r.xls", "XLS");
  struct Case {
    const char* what;
    std::string to;
    std::string attachments;
    int code;
  };
  const Case cases[] = {
      {"recipient refused", "refuse-rcpt@localhost", "r.xls", kRecipientRefused},
      {"attachment missing", fresh_user() + "@localhost", "r.xls,gone.xls", kAttachmentMissing},
  };
  MailContext mail = context();
  ASSERT_GE(CONNECTSEE(mail), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SENDMAILQUARVELT(mail, c.to, "", "", "s", "@T1000003.HTM", "LOGO.JPG", "", c.attachments,
                               (site.path() / "TEMP").string(), 1),
              c.code);
    EXPECT_TRUE(std::filesystem::exists(body));
    EXPECT_TRUE(std::filesystem::exists(attachment));
  }
  // The connection survives a failed send.
  const std::string to = fresh_user();
  EXPECT_GE(SENDMAILQUARVELT(mail, to + "@localhost", "", "", "s", "@T1000003.HTM", "LOGO.JPG"), 0);
  DISCONNECTSEE(mail);
  EXPECT_FALSE(std::filesystem::exists(body));
}

TEST_F(MailOperations, MissingEngineGivesItsCodeAndBothMessages) {
  MailContext mail = context();
  mail.load_engine = [] { return std::unique_ptr<SeeEngine>(); };
  EXPECT_EQ(CONNECTSEE(mail), kEngineNotLoaded);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_TRUE(shown[0].starts_with("seeAttach failed.;Error : ")) << shown[0];
  EXPECT_TRUE(shown[0].ends_with(" (-12345678)")) << shown[0];
  EXPECT_EQ(shown[1], "Error loading SEE");
  EXPECT_FALSE(state.XSEE32LIB);
  shown.clear();
  EXPECT_EQ(CONNECTSEE(mail, true, true), kEngineNotLoaded);
  EXPECT_EQ(CONNECTPOP3(mail, true, false, "u", "p"), kEngineNotLoaded);
  ASSERT_EQ(shown.size(), 1u);  // The attach message only; CONNECTPOP3 adds none of its own.
}

TEST_F(MailOperations, RefusedSmtpLoginIsShownAndReleasesTheEngine) {
  account.XEMAIL_AP = "wrong";
  MailContext mail = context();
  const int code = CONNECTSEE(mail);
  EXPECT_EQ(code, kLoginRefused);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Error SMTP Connect, maybe bad authentication:        -15");
  EXPECT_FALSE(state.XSEE32LIB);
  EXPECT_TRUE(state.XSEECONNECTED.is_empty());
}

TEST_F(MailOperations, Pop3MailboxOpensReadsAndCloses) {
  const std::string user = fresh_user();
  {
    MailContext mail = context();
    ASSERT_GE(CONNECTSEE(mail), 0);
    ASSERT_GE(SENDMAILSEE(mail, user + "@localhost", "", "", "FORECAST", "<p>FORECAST please</p>"), 0);
    DISCONNECTSEE(mail);
  }
  MailContext mail = context();
  ASSERT_GE(CONNECTPOP3(mail, true, true, " " + user + " ", servers().password(), "127.0.0.1"), 0);
  EXPECT_TRUE(state.XSEECONNECTED.is_logical());
  EXPECT_EQ(state.XSEE32LIB->seeGetEmailCount(0), 1);
  std::string text;
  EXPECT_GT(state.XSEE32LIB->seeGetEmailLines(0, 1, 3, text, 5000), 0);
  EXPECT_NE(text.find("FORECAST please"), std::string::npos);
  DISCONNECTSEE(mail, false);
  EXPECT_TRUE(state.XSEECONNECTED.is_empty());
  EXPECT_TRUE(state.XSEE32LIB);  // Kept when not asked to release.
  FREESEE(mail);
  EXPECT_FALSE(state.XSEE32LIB);

  EXPECT_EQ(CONNECTPOP3(mail, true, false, user, "wrong", "127.0.0.1"), kLoginRefused);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].starts_with("Error POP3 Connect, maybe bad authentication:        -15 The server refused"))
      << shown[0];
  EXPECT_FALSE(state.XSEE32LIB);
}

}  // namespace
}  // namespace transport
