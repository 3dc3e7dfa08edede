#include "notify/outbox_dispatch.h"

#include <gtest/gtest.h>

#include <fstream>

#include "data/runtime_error.h"
#include "outbox_test_support.h"

namespace notify {
namespace {

using testing::append_row;
using testing::CenterState;
using testing::field_number;
using testing::field_text;
using testing::OutboxSite;
using testing::ready_row;
using testing::StubTransport;

std::string hora_of(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "09:%02d:00", i);
  return text;
}

class OutboxDispatch : public ::testing::Test {
 protected:
  OutboxSite site;
  CenterState center{site};
  StubTransport smtp;
};

TEST_F(OutboxDispatch, TwelveReadyRowsGoOutTenThenTwoInQueueOrder) {
  for (int i = 0; i < 12; ++i) append_row(*center.E_MSGS2, ready_row("r" + std::to_string(i) + "@hotel.test", hora_of(i)));

  center.dispatch(smtp);
  ASSERT_EQ(smtp.sent.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(smtp.sent[i].to, "r" + std::to_string(i) + "@hotel.test");
  EXPECT_EQ(center.host.field_history[kFieldPending].front(), "         12");
  EXPECT_EQ(center.host.fields[kFieldPending], "          2");
  EXPECT_EQ(center.host.fields[kFieldSent], "           10");
  EXPECT_EQ(center.host.heartbeats, 10);  // One per pass of the loop; the tenth send ends it.
  EXPECT_EQ(center.in_sending, 0);
  EXPECT_EQ(smtp.connects, 1);
  EXPECT_EQ(smtp.disconnects, 1);

  center.dispatch(smtp);
  ASSERT_EQ(smtp.sent.size(), 12u);
  EXPECT_EQ(smtp.sent[11].to, "r11@hotel.test");
  EXPECT_EQ(center.nSent, 12);
  EXPECT_EQ(center.host.fields[kFieldPending], "          0");
  EXPECT_EQ(center.host.heartbeats, 13);  // Two sends and the pass that finds nothing more.
  for (std::uint32_t recno = 1; recno <= 12; ++recno) {
    EXPECT_EQ(field_number(*center.E_MSGS2, recno, "ENVIADO"), 1);
    center.E_MSGS2->GoTo(recno);
    EXPECT_EQ(center.E_MSGS2->get("F_ENVIO").date(), site.clock.today());
    EXPECT_EQ(field_text(*center.E_MSGS2, recno, "H_ENVIO"), "10:00:00");
  }

  center.dispatch(smtp);  // Nothing waits: no connection at all.
  EXPECT_EQ(smtp.connects, 2);
  EXPECT_EQ(center.host.fields[kFieldPending], "          0");
}

TEST_F(OutboxDispatch, AFailingRowIsRetriedOncePerPassAndGivenUpAtItsFifthFailureWhileTheRowsBehindWait) {
  const auto bad = append_row(*center.E_MSGS2, ready_row("refuse@hotel.test", "09:00:00"));
  const auto good = append_row(*center.E_MSGS2, ready_row("ok@hotel.test", "09:01:00"));
  smtp.answer = [](const OutboxMessage& m) { return m.to == "refuse@hotel.test" ? -20 : 0; };

  for (int pass = 1; pass <= 5; ++pass) {
    SCOPED_TRACE(pass);
    center.dispatch(smtp);
    EXPECT_EQ(smtp.sent.size(), static_cast<std::size_t>(pass));  // Only the failing row was tried.
    EXPECT_EQ(field_number(*center.E_MSGS2, bad, "ERR_COUNT"), pass);
    EXPECT_EQ(field_text(*center.E_MSGS2, bad, "ERR_TEXT"), "-20");
    EXPECT_EQ(field_number(*center.E_MSGS2, bad, "ENVIADO"), pass == 5 ? 2 : 0);
    EXPECT_EQ(field_number(*center.E_MSGS2, good, "ENVIADO"), 0);
    EXPECT_EQ(center.nError, pass);
    EXPECT_EQ(center.host.fields[kFieldStatus], "Esperando...");
    EXPECT_EQ(center.host.field_history[kFieldStatus].end()[-2], "Error in Connection: -20");
    EXPECT_EQ(center.host.fields[kFieldLastCode], "       -20");
    EXPECT_EQ(center.host.fields[kFieldLastCodeAt], "11/12/26 10:00:00");
    EXPECT_EQ(center.host.fields[kFieldErrors], "            " + std::to_string(pass));
  }
  center.dispatch(smtp);
  EXPECT_EQ(smtp.sent.back().to, "ok@hotel.test");
  EXPECT_EQ(field_number(*center.E_MSGS2, good, "ENVIADO"), 1);
  EXPECT_EQ(field_number(*center.E_MSGS2, bad, "ERR_COUNT"), 5);
}

TEST_F(OutboxDispatch, RowsStillBeingPreparedAreCountedButNeverSent) {
  append_row(*center.E_MSGS2, ready_row("a@hotel.test", "09:00:00").set("LISTO", 0));
  append_row(*center.E_MSGS2, ready_row("b@hotel.test", "09:01:00").set("LISTO", 0));
  center.dispatch(smtp);
  EXPECT_TRUE(smtp.sent.empty());
  EXPECT_EQ(smtp.connects, 1);  // The count is not 0, so the step connects and finds no ready row.
  EXPECT_EQ(smtp.disconnects, 1);
  EXPECT_EQ(center.host.fields[kFieldPending], "          2");
  EXPECT_EQ(center.host.titles.back(), "Mail-Server Quarvelt");
  EXPECT_EQ(center.host.fields[kFieldStatus], "Esperando...");
  EXPECT_EQ(center.host.traces, (std::vector<std::string>{"8", "9", "10", "11"}));

  center.host.iconic = true;
  center.dispatch(smtp);
  EXPECT_EQ(center.host.titles.back(), "Idle...");
}

TEST_F(OutboxDispatch, AFailedConnectionIsShownAndMarksNothing) {
  const auto row = append_row(*center.E_MSGS2, ready_row("a@hotel.test", "09:00:00"));
  smtp.connect_result = -11;
  center.dispatch(smtp);
  EXPECT_TRUE(smtp.sent.empty());
  EXPECT_EQ(smtp.disconnects, 0);  // A failed connect has already released the engine.
  EXPECT_EQ(center.host.fields[kFieldStatus], "Error conectando SMTP!: smtp.hotel.test server@hotel.test");
  EXPECT_EQ(center.host.fields[kFieldLastCode], "       -11");
  EXPECT_EQ(center.host.fields[kFieldLastCodeAt], "11/12/26 10:00:00");
  EXPECT_EQ(center.nError, 0);
  EXPECT_EQ(center.in_sending, 0);
  EXPECT_EQ(field_number(*center.E_MSGS2, row, "ERR_COUNT"), 0);
  EXPECT_EQ(center.host.traces, (std::vector<std::string>{"8"}));
}

TEST_F(OutboxDispatch, WhileIconicTheMainTitleShowsProgressAndTheStatusFieldIsLeftAlone) {
  append_row(*center.E_MSGS2, ready_row("a@hotel.test", "09:00:00", "Reserva confirmada"));
  center.host.iconic = true;
  center.dispatch(smtp);
  EXPECT_EQ(center.host.titles, (std::vector<std::string>{"Sending...", "Idle...", "Idle..."}));
  EXPECT_EQ(center.host.fields.count(kFieldStatus), 0u);

  append_row(*center.E_MSGS2, ready_row("b@hotel.test", "09:01:00", "Reserva confirmada"));
  center.host.iconic = false;
  center.dispatch(smtp);
  EXPECT_EQ(center.host.field_history[kFieldStatus].front(),
            "Sending: Reserva confirmada 11/12/26 09:01:00 " + data::PADR("b@hotel.test", 60));
}

TEST_F(OutboxDispatch, HtmlRowsSendTheirBodyFileImagesAndAttachmentsAndPlainRowsTheirBody) {
  const auto html = append_row(*center.E_MSGS2, ready_row("a@hotel.test", "09:00:00")
                                                    .set("HTML", 1)
                                                    .set("HTML_FILE", "T1234567.HTM")
                                                    .set("HTML_EMBED", "LOGO.JPG,NOTIFICA.JPG")
                                                    .set("HTML_ATTCH", "A.PDF,B.PDF,")
                                                    .set("HTML_D_ATT", "/srv/adjuntos/")
                                                    .set("HTML_DEL_A", 1)
                                                    .set("USERADDR", "reservas@hotel.test")
                                                    .set("USERNAME", "Reservas")
                                                    .set("CC1", "c1@hotel.test")
                                                    .set("CC2", "c2@hotel.test"));
  append_row(*center.E_MSGS2, ready_row("b@hotel.test", "09:01:00").set("HTML_EMBED", "IGNORED.JPG"));
  center.dispatch(smtp);
  ASSERT_EQ(smtp.sent.size(), 2u);
  const OutboxMessage& m = smtp.sent[0];
  EXPECT_EQ(m.body, "@T1234567.HTM");
  EXPECT_EQ(m.images, "LOGO.JPG,NOTIFICA.JPG");
  EXPECT_EQ(m.attachments, "A.PDF,B.PDF");  // One trailing comma goes, in the row as well.
  EXPECT_EQ(field_text(*center.E_MSGS2, html, "HTML_ATTCH"), "A.PDF,B.PDF");
  EXPECT_EQ(m.attachment_folder, "/srv/adjuntos/");
  EXPECT_EQ(m.delete_attachments, 1);
  EXPECT_EQ(m.cc1, "c1@hotel.test");
  EXPECT_EQ(m.cc2, "c2@hotel.test");
  EXPECT_EQ(data::ALLTRIM(m.sender_address), "reservas@hotel.test");
  EXPECT_EQ(data::ALLTRIM(m.sender_name), "Reservas");
  EXPECT_EQ(smtp.sent[1].body, "Cuerpo del mensaje");
  EXPECT_EQ(smtp.sent[1].images, "");  // A plain body embeds nothing.
}

TEST_F(OutboxDispatch, ExtraAttachmentsOfTheRowAreSentAfterItsOwn) {
  append_row(*center.E_MSGS2, ready_row("a@hotel.test", "09:00:00").set("MAIL", "20261211    123456"));
  append_row(*center.E_MSGS2, ready_row("b@hotel.test", "09:01:00"));  // No key: no extras.
  std::filesystem::create_directories(site.root() / "TEMP");
  std::ofstream(site.root() / "TEMP/T7654321.XLSX") << "x";
  for (const char* file : {"TEMP\\T7654321.XLSX", "/srv/informes/ventas.pdf"}) {
    testing::Row extra;
    extra.set("NEGOCIO", "H01").set("MAIL", "20261211    123456").set("ARCHIVO", file);
    append_row(*center.E2_MSGS, extra);
  }
  testing::Row other;  // Another message's file, and a keyless row that must not stick to keyless mail.
  other.set("NEGOCIO", "H01").set("MAIL", "20261211    999999").set("ARCHIVO", "otro.pdf");
  append_row(*center.E2_MSGS, other);
  append_row(*center.E2_MSGS, testing::Row().set("ARCHIVO", "huerfano.pdf"));

  center.dispatch(smtp);
  ASSERT_EQ(smtp.sent.size(), 2u);
  EXPECT_EQ(smtp.sent[0].extra_attachments,
            (std::vector<std::string>{(site.root() / "TEMP/T7654321.XLSX").string(), "/srv/informes/ventas.pdf"}));
  EXPECT_TRUE(smtp.sent[1].extra_attachments.empty());
}

TEST_F(OutboxDispatch, AnErrorHalfWayLeavesTheFlagClearTheConnectionClosedAndTheRowUnmarked) {
  const auto row = append_row(*center.E_MSGS2, ready_row("a@hotel.test", "09:00:00"));
  smtp.answer = [](const OutboxMessage&) -> int { throw data::RuntimeError("send", "MAIL", "test"); };
  EXPECT_THROW(center.dispatch(smtp), data::RuntimeError);
  EXPECT_EQ(center.in_sending, 0);
  EXPECT_EQ(smtp.disconnects, 1);
  EXPECT_EQ(field_number(*center.E_MSGS2, row, "ENVIADO"), 0);
  EXPECT_EQ(field_number(*center.E_MSGS2, row, "ERR_COUNT"), 0);
  EXPECT_EQ(center.nSent, 0);
}

TEST_F(OutboxDispatch, TheMessagePumpRunsBeforeEachSend) {
  append_row(*center.E_MSGS2, ready_row("a@hotel.test", "09:00:00"));
  int sends_before_pump = -1;
  center.host.on_multitask = [&] { sends_before_pump = static_cast<int>(smtp.sent.size()); };
  center.dispatch(smtp);
  EXPECT_EQ(sends_before_pump, 0);
  EXPECT_EQ(center.host.pumped_rounds, 1000);
  EXPECT_EQ(center.host.traces, (std::vector<std::string>{"8", "9", "9-1", "9-2", "10", "11"}));
}

}  // namespace
}  // namespace notify
