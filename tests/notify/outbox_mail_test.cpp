// The outbox end to end: rows queued with SEND_REGLAS, sent by the dispatch step through the mail
// operations to the sandbox SMTP server, and read back over IMAP.
#include <gtest/gtest.h>

#include <fstream>

#include "../transport/transport_fixtures.h"
#include "notify/outbox_dispatch.h"
#include "notify/outbox_queue.h"
#include "notify/outbox_transport.h"
#include "outbox_test_support.h"
#include "transport/engine_codes.h"
#include "transport/message_reader.h"

namespace notify {
namespace {

using testing::append_row;
using testing::CenterState;
using testing::field_number;
using testing::field_text;
using testing::OutboxSite;
using testing::ready_row;
using transport_test::fresh_user;
using transport_test::raw_messages;
using transport_test::servers;

class OutboxMail : public ::testing::Test {
 protected:
  OutboxMail() {
    account.XEMAILHOST = "127.0.0.1";
    account.XEMAILADDR = "hotel@localhost";
    account.XEMAILNAME = "Hotel Añil";
    account.XEMAIL_SMTP_PORT = servers().port("SMTP_PORT");
    account.ca_file = servers().ca_file();
    account.connect_seconds = 10;
    account.stall_seconds = 10;
    std::ofstream(site.root() / "HTML/logo.jpg", std::ios::binary) << "\xFF\xD8\xFF\xE0 logo del hotel";
    std::ofstream(site.root() / "HTML/RESERVA.HTM", std::ios::binary)
        << "<html><body><img src=\"logo.jpg\"><img src=\"http://cdn.hotel.test/sello.gif\">"
           "<p>Estimado XUSUARIO, su reserva en XHOTEL está confirmada.</p></body></html>";
  }

  // Queues one SEND_REGLAS mail to `to` and returns its row.
  QueuedMessage queue_to(const std::string& to) {
    OutboxPlace place{site.f.session, data::ProgramFolder(site.root()), "Hotel Añil", "hotel@localhost"};
    place.clock = &site.clock;
    RulesMail mail;
    mail.negocio = "H01";
    mail.hotel = "Hotel Peñón";
    mail.to = to;
    mail.subject = "Confirmación de reserva";
    mail.usuario = "José Núñez";
    mail.template_name = "RESERVA.HTM";
    data::Result<QueuedMessage> queued = SEND_REGLAS(place, mail);
    EXPECT_TRUE(queued) << (queued ? "" : queued.error().text);
    return queued ? *queued : QueuedMessage{};
  }

  std::filesystem::path body(const QueuedMessage& queued) { return site.root() / "MAIL/SEND" / queued.body_file; }

  void dispatch() {
    transport::MailContext mail{engine, account, site.root(), {}, {}};
    MailOperationsTransport smtp{mail};
    center.dispatch(smtp);
    EXPECT_EQ(center.in_sending, 0);
    EXPECT_TRUE(engine.XSEECONNECTED.is_empty());  // Disconnected and released after every pass.
    EXPECT_FALSE(engine.XSEE32LIB);
  }

  OutboxSite site;
  CenterState center{site};
  transport::MailAccount account;
  transport::MailEngineState engine;
};

TEST_F(OutboxMail, TwelveReadyRowsGoOutTenThenTwoAndTheirBodyFilesAreDeleted) {
  const std::string user = fresh_user();
  std::vector<QueuedMessage> rows;
  for (int i = 0; i < 12; ++i) rows.push_back(queue_to(user + "@localhost"));

  dispatch();
  EXPECT_EQ(raw_messages(user).size(), 10u);
  EXPECT_EQ(center.host.fields[kFieldPending], "          2");
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(field_number(*center.E_MSGS2, rows[i].recno, "ENVIADO"), i < 10 ? 1 : 0) << i;
    EXPECT_EQ(std::filesystem::exists(body(rows[i])), i >= 10) << i;
  }
  dispatch();
  const std::vector<std::string> received = raw_messages(user);
  ASSERT_EQ(received.size(), 12u);
  EXPECT_EQ(center.nSent, 12);
  EXPECT_EQ(center.nError, 0);

  // The template's local image is embedded under the id the body names; the web image is left to
  // the reader's client; the substituted texts keep their accents.
  const std::string raw = data::LOWER(received.front());
  EXPECT_NE(raw.find("content-id: <message-root.1>"), std::string::npos);
  EXPECT_NE(raw.find("filename=logo.jpg"), std::string::npos);
  data::Result<std::string> text = transport::read_message_text(received.front());
  ASSERT_TRUE(text);
  EXPECT_NE(text->find("Estimado José Núñez, su reserva en Hotel Peñón está confirmada."), std::string::npos);
  EXPECT_NE(text->find("src=\"cid:message-root.1\""), std::string::npos);
  EXPECT_NE(text->find("src=\"http://cdn.hotel.test/sello.gif\""), std::string::npos);
  EXPECT_NE(text->find("Subject: Confirmación de reserva"), std::string::npos);
}

TEST_F(OutboxMail, ARefusedRecipientIsGivenUpAtItsFifthFailureWhileTheRowsBehindItWait) {
  const std::string user = fresh_user();
  const QueuedMessage refused = queue_to("refuse-rcpt-" + user + "@localhost");
  const QueuedMessage waiting = queue_to(user + "@localhost");
  for (int pass = 1; pass <= 5; ++pass) {
    SCOPED_TRACE(pass);
    dispatch();
    EXPECT_EQ(field_number(*center.E_MSGS2, refused.recno, "ERR_COUNT"), pass);
    EXPECT_EQ(field_number(*center.E_MSGS2, refused.recno, "ENVIADO"), pass < 5 ? 0 : 2);
    EXPECT_EQ(field_text(*center.E_MSGS2, refused.recno, "ERR_TEXT"), std::to_string(transport::kRecipientRefused));
    EXPECT_EQ(field_number(*center.E_MSGS2, waiting.recno, "ENVIADO"), 0);
    EXPECT_TRUE(std::filesystem::exists(body(refused)));  // Kept after a failure.
    EXPECT_EQ(center.nError, pass);
  }
  EXPECT_TRUE(raw_messages(user).empty());
  dispatch();
  EXPECT_EQ(field_number(*center.E_MSGS2, waiting.recno, "ENVIADO"), 1);
  EXPECT_EQ(raw_messages(user).size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(body(refused)));
  EXPECT_FALSE(std::filesystem::exists(body(waiting)));
}

TEST_F(OutboxMail, RowsBeingPreparedAreCountedButNotSent) {
  const std::string user = fresh_user();
  append_row(*center.E_MSGS2, ready_row(user + "@localhost", "09:00:00").set("LISTO", 0));
  dispatch();
  EXPECT_EQ(center.host.fields[kFieldPending], "          1");
  EXPECT_EQ(center.host.fields[kFieldStatus], "Esperando...");
  EXPECT_TRUE(raw_messages(user).empty());
  EXPECT_EQ(field_number(*center.E_MSGS2, 1, "ENVIADO"), 0);
}

// Rows another program left broken fail with a clear code, are counted, and lose nothing: the
// row stays in the outbox with its error until it is given up.
TEST_F(OutboxMail, BrokenRowsFailWithAClearCodeAndStayInTheOutbox) {
  struct Case {
    const char* name;
    testing::Row row;
    int code;
  };
  const std::string user = fresh_user();
  const Case kCases[] = {
      {"missing body file",
       ready_row(user + "@localhost", "09:00:00").set("HTML_FILE", "T9999999.HTM"), transport::kBodyFileMissing},
      {"missing image",
       ready_row(user + "@localhost", "09:01:00").set("HTML_FILE", "T8888888.HTM").set("HTML_EMBED", "no_existe.jpg"),
       transport::kImageMissing},
      {"malformed address", ready_row("sin arroba", "09:02:00"), 0},  // Refused by the engine or the server.
  };
  std::ofstream(site.root() / "MAIL/SEND/T8888888.HTM") << "<img src=\"cid:message-root.1\">";
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::uint32_t recno = append_row(*center.E_MSGS2, c.row);
    dispatch();
    EXPECT_EQ(field_number(*center.E_MSGS2, recno, "ERR_COUNT"), 1);
    const std::string code = field_text(*center.E_MSGS2, recno, "ERR_TEXT");
    if (c.code != 0) {
      EXPECT_EQ(code, std::to_string(c.code));
    }
    EXPECT_LT(std::stoi(code), 0);
    EXPECT_EQ(center.host.fields[kFieldLastCode], data::PADL(code, 10));
    // Give the broken row up so the next case's row is the head of the outbox.
    center.E_MSGS2->GoTo(recno);
    data::RecordLock lock{*center.E_MSGS2};
    center.E_MSGS2->put("ENVIADO", data::Value(2));
    lock.commit();
  }
  EXPECT_TRUE(std::filesystem::exists(site.root() / "MAIL/SEND/T8888888.HTM"));
  EXPECT_TRUE(raw_messages(user).empty());
}

}  // namespace
}  // namespace notify
