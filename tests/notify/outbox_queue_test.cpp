#include "notify/outbox_queue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "notify/outbox_files.h"
#include "outbox_test_support.h"

namespace notify {
namespace {

using testing::field_number;
using testing::field_text;
using testing::OutboxSite;

std::string read_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class OutboxQueue : public ::testing::Test {
 protected:
  OutboxQueue() {
    std::ofstream(site.root() / "HTML/NOTIFICA.HTM", std::ios::binary)
        << "<h1>XHOTEL</h1><p>XUSUARIO XFECHA</p><p>XTITULO1: XTEXTO1</p><p>XTITULO6: XTEXTO6</p>"
           "<p>XDETALLE0 XDETALLE1</p><img src=\"cid:message-root.1\">";
    std::ofstream(site.root() / "HTML/RESERVA.HTM", std::ios::binary)
        << "<img src=\"logo.jpg\"><p>Estimado XUSUARIO: XNOCHES1 noches, XNOCHES XTITULO1 XROTULO2</p>";
  }
  OutboxPlace place() {
    OutboxPlace p{site.f.session, data::ProgramFolder(site.root()), "Hotel Añil", "hotel@hotel.test"};
    p.clock = &site.clock;
    p.tick_count = [] { return 123456; };
    return p;
  }
  std::filesystem::path body(const QueuedMessage& queued) { return site.root() / "MAIL/SEND" / queued.body_file; }

  OutboxSite site;
  std::unique_ptr<data::WDBTable> msgs = site.open("E_MSGS", "E_MSGS1");
};

TEST_F(OutboxQueue, SendNotificationWritesTheBodyAndAReadyRowCreatingTheMailFolders) {
  std::filesystem::remove_all(site.root() / "MAIL");
  Notification mail;
  mail.negocio = "H01";
  mail.hotel = "  Hotel Añil  ";
  mail.recipients = {"gerente@hotel.test"};
  mail.subject = "Requisiciones pendientes";
  mail.usuario = "Ana Núñez ";
  mail.titulos[0] = "Requisición";
  mail.textos[0] = "R-0042";
  mail.detalle = "Tres artículos";
  mail.attachments = "detalle.xlsx";
  mail.attachment_folder = "/srv/temp/";

  data::Result<QueuedMessage> queued = SEND_NOTIFICATION(place(), mail);
  ASSERT_TRUE(queued) << queued.error().text;
  EXPECT_TRUE(std::filesystem::is_directory(site.root() / "MAIL/RECEIVE"));
  EXPECT_TRUE(std::regex_match(queued->body_file, std::regex("T[0-9]{7}\\.HTM")));
  EXPECT_EQ(read_file(body(*queued)),
            "<h1>Hotel Añil</h1><p>Ana Núñez 11/12/26/10:00:00</p><p>Requisición: R-0042</p><p>: </p>"
            "<p>DETALLE: Tres artículos</p><img src=\"cid:message-root.1\">");

  const std::uint32_t r = queued->recno;
  msgs->GoTo(r);
  EXPECT_EQ(msgs->get("FECHA").date(), site.clock.today());
  EXPECT_EQ(field_text(*msgs, r, "HORA"), "10:00:00");
  EXPECT_EQ(msgs->get("MAIL").text(), "20261211    123456");
  EXPECT_EQ(field_text(*msgs, r, "NEGOCIO"), "H01");
  EXPECT_EQ(field_text(*msgs, r, "TO_USER"), "gerente@hotel.test");
  EXPECT_EQ(field_text(*msgs, r, "CC1"), "");
  EXPECT_EQ(field_text(*msgs, r, "SUBJECT"), "Requisiciones pendientes");
  EXPECT_EQ(field_text(*msgs, r, "USERNAME"), "Hotel Añil");
  EXPECT_EQ(field_text(*msgs, r, "USERADDR"), "hotel@hotel.test");
  EXPECT_EQ(field_text(*msgs, r, "HTML_FILE"), queued->body_file);
  EXPECT_EQ(field_text(*msgs, r, "HTML_EMBED"), "NOTIFICA.JPG");
  EXPECT_EQ(field_text(*msgs, r, "HTML_ATTCH"), "detalle.xlsx");
  EXPECT_EQ(field_text(*msgs, r, "HTML_D_ATT"), "/srv/temp/");
  EXPECT_EQ(field_number(*msgs, r, "HTML_DEL_A"), 1);
  EXPECT_EQ(field_number(*msgs, r, "HTML"), 1);
  EXPECT_EQ(field_number(*msgs, r, "LISTO"), 1);
  EXPECT_EQ(field_number(*msgs, r, "ENVIADO"), 0);
  EXPECT_EQ(field_number(*msgs, r, "ERR_COUNT"), 0);
}

TEST_F(OutboxQueue, SendNotificationTakesOneToThreeRecipients) {
  struct Case {
    std::vector<std::string> recipients;
    const char* to;
    const char* cc1;
    const char* cc2;
  };
  const Case kCases[] = {
      {{"a@h.test"}, "a@h.test", "", ""},
      {{"a@h.test", "b@h.test"}, "a@h.test", "b@h.test", ""},
      {{"a@h.test", "b@h.test", "c@h.test"}, "a@h.test", "b@h.test", "c@h.test"},
  };
  for (const Case& c : kCases) {
    Notification mail;
    mail.recipients = c.recipients;
    data::Result<QueuedMessage> queued = SEND_NOTIFICATION(place(), mail);
    ASSERT_TRUE(queued);
    EXPECT_EQ(field_text(*msgs, queued->recno, "TO_USER"), c.to);
    EXPECT_EQ(field_text(*msgs, queued->recno, "CC1"), c.cc1);
    EXPECT_EQ(field_text(*msgs, queued->recno, "CC2"), c.cc2);
  }
  for (const std::vector<std::string>& refused : {std::vector<std::string>{}, std::vector<std::string>(4, "a@h.test")}) {
    Notification mail;
    mail.recipients = refused;
    data::Result<QueuedMessage> queued = SEND_NOTIFICATION(place(), mail);
    ASSERT_FALSE(queued);
    EXPECT_EQ(queued.error().code, kTooManyRecipients);
  }
  EXPECT_EQ(msgs->LastRec(), 3u);  // Nothing queued for the refused ones, and no stray body file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(site.root() / "MAIL/SEND"), {}), 3);
}

TEST_F(OutboxQueue, SendReglasPutsTheCallersPairsFirstEmbedsTheTemplatesImagesAndKeepsTheListForTheNextRecipient) {
  RulesMail mail;
  mail.negocio = "H01";
  mail.hotel = "Hotel Añil";
  mail.subject = "Confirmación";
  mail.titulo1 = "Reserva";
  mail.rotulo2 = "Tarifa";
  mail.pairs = {{"XNOCHES1", "3"}, {"XNOCHES", "tres"}};
  mail.template_name = "RESERVA.HTM";
  mail.cod_res = "RS-001";
  mail.cr_tipo = 2;
  mail.cc1 = "copia@hotel.test";
  mail.attachments = "condiciones.pdf";

  std::vector<QueuedMessage> rows;
  for (const char* usuario : {"José", "Ana"}) {
    mail.usuario = usuario;
    mail.to = std::string(usuario) == "Ana" ? "ana@hotel.test" : "jose@hotel.test";
    data::Result<QueuedMessage> queued = SEND_REGLAS(place(), mail);
    ASSERT_TRUE(queued) << queued.error().text;
    rows.push_back(*queued);
  }
  EXPECT_EQ(mail.pairs.size(), 2u);
  EXPECT_EQ(read_file(body(rows[0])),
            "<img src=\"cid:message-root.1\"><p>Estimado José: 3 noches, tres Reserva Tarifa</p>");
  EXPECT_EQ(read_file(body(rows[1])),
            "<img src=\"cid:message-root.1\"><p>Estimado Ana: 3 noches, tres Reserva Tarifa</p>");
  EXPECT_NE(rows[0].body_file, rows[1].body_file);
  const std::uint32_t r = rows[0].recno;
  EXPECT_EQ(field_text(*msgs, r, "HTML_EMBED"), "logo.jpg");
  EXPECT_EQ(field_text(*msgs, r, "COD_RES"), "RS-001");
  EXPECT_EQ(field_number(*msgs, r, "CR_TIPO"), 2);
  EXPECT_EQ(field_text(*msgs, r, "CC1"), "copia@hotel.test");
  EXPECT_EQ(field_text(*msgs, r, "HTML_ATTCH"), "condiciones.pdf");
  EXPECT_EQ(field_number(*msgs, r, "HTML_DEL_A"), 0);
  EXPECT_EQ(field_number(*msgs, r, "LISTO"), 1);
}

TEST_F(OutboxQueue, ATemplateThatCannotBeReadQueuesTheRowWithAnEmptyBodyAndSaysWhy) {
  RulesMail mail;
  mail.to = "ana@hotel.test";
  mail.template_name = "NO_EXISTE.HTM";
  data::Result<QueuedMessage> queued = SEND_REGLAS(place(), mail);
  ASSERT_TRUE(queued);
  ASSERT_TRUE(queued->template_error);
  EXPECT_EQ(queued->template_error->code, kTemplateUnreadable);
  EXPECT_EQ(read_file(body(*queued)), "");
  EXPECT_EQ(field_text(*msgs, queued->recno, "HTML_EMBED"), "NOTIFICA.JPG");  // The default images.
  EXPECT_EQ(field_number(*msgs, queued->recno, "LISTO"), 1);
}

TEST_F(OutboxQueue, BodyNamesAreRecomputedUntilFreeEvenWhenTheClockStandsStill) {
  const std::filesystem::path folder = site.root() / "MAIL/SEND";
  std::ofstream(folder / "T3600000.HTM") << "taken";
  std::vector<long> moments = {3600000, 3600000, 3600000};
  std::size_t next = 0;
  const auto clock = [&] { return moments[std::min(next++, moments.size() - 1)]; };
  data::Result<std::string> first = claim_generated_file(folder, "HTM", clock);
  data::Result<std::string> second = claim_generated_file(folder, "HTM", clock);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(*first, "T3600001.HTM");
  EXPECT_EQ(*second, "T3600002.HTM");
  EXPECT_EQ(read_file(folder / "T3600000.HTM"), "taken");

  data::Result<std::string> refused = claim_generated_file(site.root() / "NO_FOLDER", "HTM", clock);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().text.find("NO_FOLDER"), std::string::npos);
}

}  // namespace
}  // namespace notify
