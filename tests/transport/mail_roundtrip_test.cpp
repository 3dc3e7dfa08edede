// Round trips through the local mail sandbox: the engine sends over SMTP and reads the
// same mail back over POP3, IMAP and IMAPS.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "transport/engine_codes.h"
#include "transport/see_engine.h"
#include "transport/smtp_session.h"
#include "transport_fixtures.h"

namespace transport {
namespace {

using transport_test::fresh_user;
using transport_test::raw_messages;
using transport_test::sandbox_engine;
using transport_test::servers;
using transport_test::TempFolder;

// A port that accepts connections and never says a word.
class SilentServer {
 public:
  SilentServer() {
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_fd, 8);
    socklen_t length = sizeof address;
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
  }
  ~SilentServer() { close(m_fd); }
  int port() const { return m_port; }

 private:
  int m_fd = -1;
  int m_port = 0;
};

// A port nobody listens on.
int dead_port() {
  SilentServer closed_again;
  return closed_again.port();
}

std::string address_of(const std::string& user) { return user + "@localhost"; }

// Puts a prepared message straight into a sandbox mailbox.
void deliver_raw(const std::string& user, const std::string& raw) {
  ConnectionSettings settings;
  auto session = SmtpSession::open({servers().host(), servers().port("SMTP_PLAIN_PORT"), false, "", ""}, settings);
  ASSERT_TRUE(session) << session.error().text;
  auto sent = session->send("sender@localhost", {address_of(user)}, raw);
  ASSERT_TRUE(sent) << sent.error().text;
}

int connect_smtp(SeeEngine& engine, int port, const std::string& host = "127.0.0.1") {
  engine.seeIntegerParam(0, kSmtpPort, port);
  return engine.seeSmtpConnect(0, host, "<hotel@localhost>", "");
}

TEST(MailRoundTrip, BatchOverOneConnectionArrivesWithImagesAttachmentsAndCopies) {
  TempFolder folder;
  const auto body = folder.write("T0000001.HTM",
                                 "<html><body><img src=\"cid:message-root.1\"><img src=\"cid:message-root.2\">"
                                 "<p>Reservación confirmada</p></body></html>");
  const auto logo = folder.write("logo.jpg", std::string("\xff\xd8\xff\xe0JFIF", 8));
  const auto sign = folder.write("firma.gif", "GIF89a");
  const auto report = folder.write("Estadística año.xls", "XLSDATA");
  const std::string to = fresh_user();
  const std::string copy = fresh_user();

  auto engine = sandbox_engine();
  engine->seeIntegerParam(0, kHeaderMode, 1);
  engine->seeStringParam(0, kExtraHeaderLine, "X-Priority: Normal");
  engine->seeStringParam(0, kExtraHeaderLine, "X-Sender: QUARVELT Hotel Software");
  engine->seeIntegerParam(0, kHeaderMode, 2);
  engine->seeIntegerParam(0, kAuthenticate, 1);
  engine->seeStringParam(0, kAuthUser, to);
  engine->seeStringParam(0, kAuthPassword, servers().password());
  ASSERT_GE(connect_smtp(*engine, servers().port("SMTP_PORT")), 0);
  engine->seeStringParam(0, kSenderDisplay, "Hotel Añil <hotel@localhost>");
  for (int i = 1; i <= 3; ++i) {
    const bool full = i == 2;
    const int sent = engine->seeSendHTML(
        0, "<" + address_of(to) + ">", full ? "<" + address_of(copy) + ">" : "", "",
        "Pronóstico de Ocupación " + std::to_string(i), "@" + body.string(),
        full ? logo.string() + ";" + sign.string() : "", full ? "Texto alterno" : "", full ? report.string() : "");
    std::string why;
    engine->seeErrorText(0, sent, why, 200);
    ASSERT_GE(sent, 0) << i << " " << why;
  }
  EXPECT_GE(engine->seeClose(0), 0);

  const auto received = raw_messages(to);
  ASSERT_EQ(received.size(), 3u);
  const std::string& full = received[1];
  EXPECT_NE(full.find("X-Priority: Normal"), std::string::npos);
  EXPECT_NE(full.find("X-Sender: QUARVELT Hotel Software"), std::string::npos);
  EXPECT_NE(full.find("multipart/related"), std::string::npos);
  EXPECT_NE(full.find("Content-Id: <message-root.1>"), std::string::npos);
  EXPECT_NE(full.find("Content-Id: <message-root.2>"), std::string::npos);
  EXPECT_LT(full.find("message-root.1>"), full.find("message-root.2>"));
  EXPECT_NE(full.find("Estad"), std::string::npos);
  EXPECT_NE(full.find("Cc: " + address_of(copy)), std::string::npos);
  ASSERT_EQ(raw_messages(copy).size(), 1u);

  // The readers see the subject and sender with their accents.
  ASSERT_GE(engine->seeImapConnectSSL(0, 0, servers().port("IMAPS_PORT"), "127.0.0.1", to, servers().password(),
                                      std::nullopt),
            0);
  std::string text;
  ASSERT_GT(engine->seeGetEmailLines(0, 2, 3, text, 5000), 0);
  EXPECT_NE(text.find("From: \"Hotel Añil\" <hotel@localhost>\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Subject: Pronóstico de Ocupación 2\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Texto alterno\n"), std::string::npos);
  EXPECT_NE(text.find("<p>Reservación confirmada</p>"), std::string::npos);
  EXPECT_LT(text.find("Texto alterno"), text.find("<p>Reservaci"));
  engine->seeClose(0);
}

TEST(MailRoundTrip, EveryTlsFlavourOfSmtpDelivers) {
  struct Case {
    const char* what;
    const char* host;
    const char* port;
  };
  const Case cases[] = {
      {"plain server without STARTTLS", "127.0.0.1", "SMTP_PLAIN_PORT"},
      {"STARTTLS when offered", "127.0.0.1", "SMTP_PORT"},
      {"implicit TLS asked for by the host name", "smtps://127.0.0.1", "SMTPS_PORT"},
  };
  const std::string to = fresh_user();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto engine = sandbox_engine();
    ASSERT_GE(connect_smtp(*engine, servers().port(c.port), c.host), 0);
    EXPECT_GE(engine->seeSendHTML(0, "<" + address_of(to) + ">", "", "", c.what, "<p>hola</p>", "", "", ""), 0);
  }
  EXPECT_EQ(raw_messages(to).size(), 3u);
}

TEST(MailRoundTrip, SmtpConnectFailuresAreCodesWithinTheTimeOut) {
  SilentServer silent;
  struct Case {
    const char* what;
    std::string host;
    int port;
    const char* password;
    bool trust_sandbox;
    bool verify;
    int code;
  };
  const Case cases[] = {
      {"refused login", "127.0.0.1", servers().port("SMTP_PORT"), "wrong", true, true, kLoginRefused},
      {"dead port", "127.0.0.1", dead_port(), nullptr, true, true, kConnectFailed},
      {"server that never greets", "127.0.0.1", silent.port(), nullptr, true, true, kTimedOut},
      {"unknown host", "no-such-host.invalid", 25, nullptr, true, true, kHostNotFound},
      {"self-signed certificate not trusted", "smtps://127.0.0.1", servers().port("SMTPS_PORT"), nullptr, false, true,
       kCertificateRejected},
      {"self-signed certificate accepted by the site switch", "smtps://127.0.0.1", servers().port("SMTPS_PORT"), nullptr,
       false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SeeEngine engine;
    ASSERT_GE(engine.seeAttach(1, 0), 0);
    if (c.trust_sandbox) engine.seeStringParam(0, kCaFile, servers().ca_file());
    engine.seeIntegerParam(0, kVerifyTls, c.verify ? 1 : 0);
    engine.seeIntegerParam(0, kConnectSeconds, 2);
    engine.seeIntegerParam(0, kStallSeconds, 2);
    if (c.password) {
      engine.seeIntegerParam(0, kAuthenticate, 1);
      engine.seeStringParam(0, kAuthUser, "alice");
      engine.seeStringParam(0, kAuthPassword, c.password);
    }
    const int code = connect_smtp(engine, c.port, c.host);
    if (c.code == 0) {
      EXPECT_GE(code, 0);
      continue;
    }
    EXPECT_EQ(code, c.code);
    std::string text;
    engine.seeErrorText(0, code, text, 200);
    EXPECT_FALSE(text.empty());
    if (c.password) {
      EXPECT_EQ(text.find(c.password), std::string::npos) << text;
    }
  }
}

TEST(MailRoundTrip, RefusedRecipientsAndMessagesAreCodesAndTheBatchGoesOn) {
  const std::string to = fresh_user();
  auto engine = sandbox_engine();
  ASSERT_GE(connect_smtp(*engine, servers().port("SMTP_PLAIN_PORT")), 0);
  EXPECT_EQ(engine->seeSendHTML(0, "<refuse-rcpt@localhost>", "", "", "s", "b", "", "", ""), kRecipientRefused);
  std::string text;
  engine->seeErrorText(0, kRecipientRefused, text, 200);
  EXPECT_NE(text.find("550"), std::string::npos) << text;
  EXPECT_EQ(engine->seeSendHTML(0, "<" + address_of(to) + ">", "<busy-rcpt@localhost>", "", "s", "b", "", "", ""),
            kRecipientRefused);
  engine->seeStringParam(0, kExtraHeaderLine, "X-Refuse-Data: yes");
  EXPECT_EQ(engine->seeSendHTML(0, "<" + address_of(to) + ">", "", "", "s", "b", "", "", ""), kMessageRefused);
  engine->seeIntegerParam(0, kHeaderMode, 1);
  EXPECT_GE(engine->seeSendHTML(0, "<" + address_of(to) + ">", "", "", "after", "b", "", "", ""), 0);
  EXPECT_EQ(raw_messages(to).size(), 1u);
}

TEST(MailRoundTrip, TwentyMegabyteAttachmentTravels) {
  TempFolder folder;
  std::string big(20 * 1024 * 1024, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7919 % 251);
  const auto file = folder.write("grande.pdf", big);
  const std::string to = fresh_user();
  auto engine = sandbox_engine();
  ASSERT_GE(connect_smtp(*engine, servers().port("SMTP_PLAIN_PORT")), 0);
  ASSERT_GE(engine->seeSendHTML(0, "<" + address_of(to) + ">", "", "", "grande", "<p>adjunto</p>", "", "",
                                file.string()),
            0);
  engine->seeClose(0);
  engine->seeIntegerParam(0, kPop3Port, servers().port("POP3_PORT"));
  ASSERT_GE(engine->seePop3Connect(0, "127.0.0.1", to, servers().password()), 0);
  ASSERT_EQ(engine->seeGetEmailCount(0), 1);
  EXPECT_GT(engine->seeGetEmailSize(0, 1), 20 * 1024 * 1024 * 4 / 3);  // Base64 grows it by a third.
  std::string text;
  EXPECT_GT(engine->seeGetEmailLines(0, 1, 3, text, 5000), 0);
  EXPECT_NE(text.find("<p>adjunto</p>"), std::string::npos);
}

struct MailboxCase {
  const char* what;
  const char* port;
  int (*connect)(SeeEngine&, int port, const std::string& user, const std::string& password);
};

const MailboxCase kMailboxes[] = {
    {"POP3", "POP3_PORT",
     [](SeeEngine& e, int port, const std::string& user, const std::string& password) {
       e.seeIntegerParam(0, kPop3Port, port);
       return e.seePop3Connect(0, "127.0.0.1", user, password);
     }},
    {"IMAP", "IMAP_PORT",
     [](SeeEngine& e, int port, const std::string& user, const std::string& password) {
       e.seeIntegerParam(0, kImapPort, port);
       return e.seeImapConnect(0, "127.0.0.1", user, password);
     }},
    {"IMAPS", "IMAPS_PORT",
     [](SeeEngine& e, int port, const std::string& user, const std::string& password) {
       e.seeSetProxySSL(0, 0, "/opt/stunnel/", "stunnel.pem", "stunnel.exe");
       return e.seeImapConnectSSL(0, 0, port, "127.0.0.1", user, password, std::nullopt);
     }},
    {"IMAP through a local tunnel", "IMAP_PORT",
     [](SeeEngine& e, int port, const std::string& user, const std::string& password) {
       e.seeSetProxySSL(0, 0, "/opt/stunnel/", "stunnel.pem", "stunnel.exe");
       return e.seeImapConnectSSL(0, port, 993, "mail.example.com", user, password, "127.0.0.1");
     }},
};

TEST(MailRoundTrip, RepliesInEveryEncodingReadTheSameOverEveryMailbox) {
  const std::string user = fresh_user();
  deliver_raw(user,
              "From: =?utf-8?q?Jos=C3=A9?= <jose@localhost>\r\nSubject: RE: Compra\r\nMIME-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
              "MONITOR jose@localhost<BR>\r\nNUMREF 0000123<BR>\r\nSe=C3=B1or =\r\nP=C3=A9rez\r\n");
  deliver_raw(user,
              "From: ana@localhost\r\nSubject: base64\r\nMIME-Version: 1.0\r\n"
              "Content-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
              "PGh0bWw+PGJvZHk+U1RBVFVTIDEmbHQ7QlImZ3Q7PC9ib2R5PjwvaHRtbD4=\r\n");
  deliver_raw(user,
              std::string("From: luis@localhost\r\nSubject: cp1252\r\nMIME-Version: 1.0\r\n"
                          "Content-Type: text/plain; charset=windows-1252\r\nContent-Transfer-Encoding: 8bit\r\n\r\n"
                          "VENTAS de ma\xf1") + "ana \x80\r\n");
  const char* expected[] = {"NUMREF 0000123<BR>\nSeñor Pérez\n", "<html><body>STATUS 1<BR></body></html>",
                            "VENTAS de mañana €"};
  for (const MailboxCase& mailbox : kMailboxes) {
    SCOPED_TRACE(mailbox.what);
    auto engine = sandbox_engine();
    ASSERT_GE(mailbox.connect(*engine, servers().port(mailbox.port), user, servers().password()), 0);
    ASSERT_EQ(engine->seeGetEmailCount(0), 3);
    for (int i = 1; i <= 3; ++i) {
      EXPECT_GT(engine->seeGetEmailSize(0, i), 0);
      std::string text;
      ASSERT_GT(engine->seeGetEmailLines(0, i, 3, text, 5000), 0);
      EXPECT_NE(text.find(expected[i - 1]), std::string::npos) << text;
      std::string from;
      EXPECT_GT(SeeEngine::seeExtractText(text, "FROM:", from, 5000), 0);
    }
    std::string small;
    EXPECT_EQ(engine->seeGetEmailLines(0, 1, 3, small, 40), 39);
    EXPECT_EQ(engine->seeGetEmailLines(0, 4, 3, small, 5000), kNoSuchMessage);
    EXPECT_GE(engine->seeClose(0), 0);
  }
}

TEST(MailRoundTrip, DeletedMessagesAreGoneAfterClose) {
  for (const MailboxCase& mailbox : kMailboxes) {
    SCOPED_TRACE(mailbox.what);
    const std::string user = fresh_user();
    for (const char* subject : {"uno", "dos", "tres"}) {
      deliver_raw(user, std::string("From: a@localhost\r\nSubject: ") + subject + "\r\n\r\n" + subject + "\r\n");
    }
    {
      auto engine = sandbox_engine();
      ASSERT_GE(mailbox.connect(*engine, servers().port(mailbox.port), user, servers().password()), 0);
      ASSERT_EQ(engine->seeGetEmailCount(0), 3);
      EXPECT_GE(engine->seeDeleteEmail(0, 1), 0);
      EXPECT_GE(engine->seeDeleteEmail(0, 3), 0);
      EXPECT_EQ(engine->seeDeleteEmail(0, 9), kNoSuchMessage);
      EXPECT_GE(engine->seeClose(0), 0);
    }
    auto engine = sandbox_engine();
    ASSERT_GE(mailbox.connect(*engine, servers().port(mailbox.port), user, servers().password()), 0);
    ASSERT_EQ(engine->seeGetEmailCount(0), 1);
    std::string text;
    engine->seeGetEmailLines(0, 1, 3, text, 5000);
    EXPECT_NE(text.find("Subject: dos"), std::string::npos);
  }
}

TEST(MailRoundTrip, MailboxFailuresAreCodesWithinTheTimeOut) {
  SilentServer silent;
  for (const MailboxCase& mailbox : kMailboxes) {
    SCOPED_TRACE(mailbox.what);
    auto engine = sandbox_engine();
    // Dovecot may hold back a refusal for a few seconds; the normal time-out covers it.
    engine->seeIntegerParam(0, kConnectSeconds, 20);
    engine->seeIntegerParam(0, kStallSeconds, 20);
    EXPECT_EQ(mailbox.connect(*engine, servers().port(mailbox.port), "alice", "wrong"), kLoginRefused);
    engine->seeIntegerParam(0, kConnectSeconds, 2);
    engine->seeIntegerParam(0, kStallSeconds, 2);
    EXPECT_EQ(mailbox.connect(*engine, dead_port(), "alice", "x"), kConnectFailed);
    EXPECT_EQ(mailbox.connect(*engine, silent.port(), "alice", "x"), kTimedOut);
    EXPECT_EQ(engine->seeGetEmailCount(0), kNotConnected);
  }
}

TEST(MailRoundTrip, MailboxThatHangsUpHalfWayGivesACode) {
  auto engine = sandbox_engine();
  engine->seeIntegerParam(0, kPop3Port, servers().port("POP3_DROP_PORT"));
  ASSERT_GE(engine->seePop3Connect(0, "127.0.0.1", "a", "b"), 0);
  ASSERT_EQ(engine->seeGetEmailCount(0), 1);
  std::string text = "stale";
  EXPECT_EQ(engine->seeGetEmailLines(0, 1, 3, text, 5000), kConnectionDropped);
  EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace transport
