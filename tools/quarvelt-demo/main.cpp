// quarvelt-demo SITE: gives the demo site (qvtable demo-site) its mail templates and queues a few
// messages from its data in the outbox, through both enqueue operations, for the notification
// server to send on its first cycle. Prints one line per queued message.
// quarvelt-demo run SITE RESOURCES: runs the Notification Center alone on the site, headless, with
// its status lines on standard error, until interrupted.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/date.h"
#include "data/message_box_sink.h"
#include "data/program_folder.h"
#include "data/runtime_error.h"
#include "data/text.h"
#include "data/use_table.h"
#include "data/wtable_retry.h"
#include "data/wtable_session.h"
#include "notify/mailserver.h"
#include "notify/outbox_queue.h"
#include "startup/settings.h"
#include "ui/dialog_host.h"
#include "ui/platform/clock.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/resource_script.h"
#include "ui/platform/window_system.h"

namespace {

namespace fs = std::filesystem;

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

// The generic notification's template: the standard placeholders of SEND_NOTIFICATION and the
// embedded image NOTIFICA.JPG as the first part of the message.
constexpr std::string_view kNotificaTemplate =
    "<html><head><meta charset=\"utf-8\"></head><body style=\"font-family: sans-serif\">\r\n"
    "<p><img src=\"cid:message-root.1\" width=\"48\" height=\"48\"></p>\r\n"
    "<h2>XHOTEL</h2>\r\n"
    "<p>Estimado(a) XUSUARIO:</p>\r\n"
    "<table>\r\n"
    "<tr><td><b>XTITULO1</b></td><td>XTEXTO1</td></tr>\r\n"
    "<tr><td><b>XTITULO2</b></td><td>XTEXTO2</td></tr>\r\n"
    "<tr><td><b>XTITULO3</b></td><td>XTEXTO3</td></tr>\r\n"
    "</table>\r\n"
    "<p><b>XDETALLE0</b> XDETALLE1</p>\r\n"
    "<p><small>Enviado el XFECHA por el centro de notificaciones QUARVELT.</small></p>\r\n"
    "</body></html>\r\n";

// A template of the kind SEND_REGLAS fills: its own placeholders besides the standard ones, and a
// local image that the expansion embeds.
constexpr std::string_view kCompraTemplate =
    "<html><head><meta charset=\"utf-8\"></head><body style=\"font-family: sans-serif\">\r\n"
    "<p><img src=\"LOGO.PNG\" width=\"48\" height=\"48\"></p>\r\n"
    "<h2>XHOTEL &mdash; XTITULO1</h2>\r\n"
    "<p>XUSUARIO, la compra <b>XMOVIMIENTO</b> (XDESCRIPCION) de XPROVEEDOR espera su autorizaci\xC3\xB3n.</p>\r\n"
    "<p>XROTULO1 XTITULO2</p>\r\n"
    "<p><small>XFECHA</small></p>\r\n"
    "</body></html>\r\n";

bool write_file(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string trimmed(const data::WDBTable& table, std::string_view field) {
  return data::ALLTRIM(table.FieldGet(field).text());
}

void report(std::string_view operation, std::string_view to, const data::Result<notify::QueuedMessage>& queued) {
  if (queued) {
    std::cout << "queued with " << operation << ": row " << queued->recno << " to " << to << '\n';
  } else {
    std::cerr << "quarvelt-demo: " << operation << " to " << to << ": " << queued.error().text << '\n';
  }
}

int queue_demo_mail(const fs::path& site) {
  const data::ProgramFolder folder(site);
  const fs::path html = folder.find("HTML");
  if (!write_file(html / "NOTIFICA.HTM", kNotificaTemplate) || !write_file(html / "COMPRA.HTM", kCompraTemplate)) {
    std::cerr << "quarvelt-demo: cannot write the templates in " << html << '\n';
    return kFailure;
  }
  // The demo's only picture is its PNG logo; mail readers go by an image's bytes, not its name.
  std::error_code copy_error;
  fs::copy_file(folder.find("HTML/LOGO.PNG"), html / "NOTIFICA.JPG", fs::copy_options::overwrite_existing,
                copy_error);
  if (copy_error) {
    std::cerr << "quarvelt-demo: " << copy_error.message() << " (HTML/LOGO.PNG)\n";
    return kFailure;
  }

  data::HeadlessMessageBoxSink messages(std::cerr);
  data::SteadyRetryClock retry_clock;
  data::TableSession session(data::TableSettings{site, "", 0, "", "MLS", "DBFCDX"}, messages, retry_clock);
  startup::settings().program_folder = folder;

  auto defmail = data::USE(session, {}, "DEFMAIL", "DEFMAIL");
  defmail->GoTop();
  const std::string negocio = trimmed(*defmail, "NEGOCIO_H").empty() ? trimmed(*defmail, "NEGOCIO")
                                                                      : trimmed(*defmail, "NEGOCIO_H");
  auto negocios = data::USE(session, {}, "NEGOCIOS", "NEGOCIOS");
  negocios->Seek(data::Value(negocio));
  const std::string hotel = negocios->Found() ? trimmed(*negocios, "DESCRIP") : negocio;
  const notify::OutboxPlace place{session, folder, trimmed(*defmail, "USERNAME"), trimmed(*defmail, "USERADDR")};

  // Every purchase waiting for authorisation, to the approvers of the NOTIFICA table.
  std::vector<std::string> approvers;
  auto notifica = data::USE(session, {}, "NOTIFICA");
  for (notifica->GoTop(); !notifica->Eof(); notifica->Skip()) approvers.push_back(trimmed(*notifica, "EMAIL"));
  auto compras = data::USE(session, {}, "ENC_COM");
  int failures = 0;
  for (compras->GoTop(); !compras->Eof(); compras->Skip()) {
    for (const std::string& approver : approvers) {
      notify::RulesMail mail;
      mail.negocio = negocio;
      mail.hotel = hotel;
      mail.to = approver;
      mail.subject = "Compra pendiente de autorizaci\xC3\xB3n: " + trimmed(*compras, "MOVIMIENTO");
      mail.usuario = "Gerencia";
      mail.titulo1 = "Compras por autorizar";
      mail.titulo2 = data::DTOC(compras->FieldGet("FECHA_ETAP").date());
      mail.rotulo1 = "En espera desde el";
      mail.pairs = {{"XMOVIMIENTO", trimmed(*compras, "MOVIMIENTO")},
                    {"XDESCRIPCION", trimmed(*compras, "DESCRIP")},
                    {"XPROVEEDOR", trimmed(*compras, "NOM_PROV")}};
      mail.template_name = "COMPRA.HTM";
      mail.cod_res = trimmed(*compras, "MOVIMIENTO");
      const auto queued = notify::SEND_REGLAS(place, mail);
      report("SEND_REGLAS", approver, queued);
      failures += queued ? 0 : 1;
    }
  }

  // A generic notification to the front desk, with the manager in copy.
  notify::Notification notice;
  notice.negocio = negocio;
  notice.hotel = hotel;
  notice.recipients = {"recepcion@demo.test", "gerencia@demo.test"};
  notice.subject = "Centro de notificaciones en marcha";
  notice.usuario = "Recepci\xC3\xB3n";
  notice.titulos = {"Servidor:", "Ciclo:", "Buzones:", "", "", ""};
  const int period = static_cast<int>(defmail->FieldGet("MAX_WAIT2").number());
  notice.textos = {"QUARVELT MailServer", "cada " + std::to_string(period > 0 ? period : 60) + " segundos",
                   "Aprobaciones", "", "", ""};
  notice.detalle = "Este mensaje sali\xC3\xB3 de la bandeja compartida E_MSGS.";
  const auto queued = notify::SEND_NOTIFICATION(place, notice);
  report("SEND_NOTIFICATION", "recepcion@demo.test", queued);
  failures += queued ? 0 : 1;
  return failures == 0 ? kOk : kFailure;
}

// The Center on a headless window system, as the program's frame opens it, with a plain frame
// window as its owner. Runs until the process is interrupted.
int run_center(const fs::path& site, const fs::path& resources) {
  using namespace ui::platform;
  SteadyClock clock;
  HeadlessBackend backend(clock, [](std::string_view line) { std::cerr << line << std::endl; });
  WindowSystem ws(clock, backend);
  auto script = ResourceScript::load(resources / "mailserver.rc");
  if (!script) {
    std::cerr << "quarvelt-demo: " << script.error().text << '\n';
    return kFailure;
  }
  ws.add_resources(*script);
  ws.set_error_handler([](const data::RuntimeError& error, const Message&) {
    std::cerr << "quarvelt-demo: run-time error: " << error.what() << std::endl;
  });
  ws.REGISTERCLASS("QUARVELT32");
  const Handle frame = ws.CREATEWINDOW("QUARVELT32", "MailServer Quarvelt", WS_OVERLAPPED, 0, 0, 800, 600, 0, 0);
  ui::DialogHost host(ws, frame, 0);
  ws.set_main_frame(frame);

  data::HeadlessMessageBoxSink messages(std::cerr);
  data::SteadyRetryClock retry_clock;
  data::TableSession session(data::TableSettings{site, "", 0, "", "MLS", "DBFCDX"}, messages, retry_clock);
  startup::Settings& settings = startup::settings();
  settings.program_folder = data::ProgramFolder(site);
  settings.PATH = (site / "").string();
  settings.EXT_MODULO = "MLS";
  settings.XAPPHANDLE = frame;
  {
    auto defmail = data::USE(session, {}, "DEFMAIL", "DEFMAIL");
    defmail->GoTop();
    settings.XEMAIL_SMTP_PORT = defmail->FieldGet("SMTP_PORT");
    settings.XEMAIL_POP3_PORT = defmail->FieldGet("POP3_PORT");
  }
  transport::MailAccount account;
  notify::CenterServices services{session, account, {}, {},
                                  [](std::string_view line) { std::cerr << line << std::endl; }};
  notify::MAILSERVER::NEW(host, "MAILSERVER", services);
  Message message;
  while (ws.GETMESSAGE(message, 0, 0, 0)) {
    ws.TRANSLATEMESSAGE(message);
    ws.DISPATCHMESSAGE(message);
    host.collect_garbage();
  }
  return kOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "run") {
    try {
      return run_center(argv[2], argv[3]);
    } catch (const std::exception& error) {
      std::cerr << "quarvelt-demo: " << error.what() << '\n';
      return kFailure;
    }
  }
  if (argc != 2) {
    std::cerr << "usage: quarvelt-demo SITE               (a site made by qvtable demo-site)\n"
                 "       quarvelt-demo run SITE RESOURCES  (the Notification Center alone, headless)\n";
    return kUsage;
  }
  const fs::path site = argv[1];
  if (!fs::is_directory(site)) {
    std::cerr << "quarvelt-demo: no such folder: " << site.string() << '\n';
    return kFailure;
  }
  try {
    return queue_demo_mail(site);
  } catch (const std::exception& error) {
    std::cerr << "quarvelt-demo: " << error.what() << '\n';
    return kFailure;
  }
}
