#include "data/demo_site.h"

#include <fstream>
#include <utility>
#include <vector>

#include "data/number_format.h"
#include "data/record_change.h"
#include "data/runtime_error.h"
#include "data/use_table.h"

namespace data {
namespace {

using Row = std::vector<std::pair<std::string_view, Value>>;

// A 1×1 PNG: the image the HTML row embeds.
constexpr unsigned char kPixelPng[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D,
                                       0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
                                       0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00,
                                       0x0D, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0,
                                       0x1F, 0x00, 0x05, 0x00, 0x01, 0xFF, 0x89, 0x99, 0x3D, 0x1D, 0x00, 0x00,
                                       0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

constexpr std::string_view kAllDay = "00:00:00,06:00:00,12:00:00,18:00:00";

void append_rows(TableSession& session, std::string_view table, const std::vector<Row>& rows) {
  std::unique_ptr<WDBTable> handle = USE(session, {}, table);
  for (const Row& row : rows) {
    ADD_NEW_REC(session);
    for (const auto& [field, value] : row) handle->put(field, value);
    UNLOCK_NEW_REC(session);
  }
}

Result<void> write_file(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) return Error{static_cast<int>(TableErrorCode::Io), "cannot write " + file.string()};
  return {};
}

// A recipient row sent to at every hour of every day, with `extra` fields after the schedule.
Row weekly_schedule(std::string_view destination, const Row& extra = {}) {
  Row row{{"NEGOCIO", Value(kDemoBusiness)}, {"DESTINO", Value(destination)}};
  for (std::string_view day : {"L_HORA", "K_HORA", "M_HORA", "J_HORA", "V_HORA", "S_HORA", "D_HORA"}) {
    row.emplace_back(day, Value(kAllDay));
  }
  row.insert(row.end(), extra.begin(), extra.end());
  return row;
}

}  // namespace

Result<void> create_demo_site(const SiteBuilder& builder, TableSession& session,
                              const std::filesystem::path& program_folder, const DemoMailSandbox& sandbox,
                              const Clock& clock) {
  Result<std::vector<std::filesystem::path>> site = builder.create_empty_site(program_folder);
  if (!site) return site.error();
  session.settings.program_folder = program_folder;
  const Date today = clock.today();
  const std::string now = clock.time_of_day();
  const Value business(kDemoBusiness);

  const std::string body_file = "T0000001.HTM";
  if (Result<void> ok =
          write_file(program_folder / "HTML" / "LOGO.PNG",
                     std::string_view(reinterpret_cast<const char*>(kPixelPng), sizeof kPixelPng));
      !ok) {
    return ok;
  }
  if (Result<void> ok =
          write_file(program_folder / "MAIL" / "SEND" / body_file,
                     "<html><body><p><img src=\"cid:message-root.1\"></p>"
                     "<h1>Hotel Demostraci\xC3\xB3n</h1><p>Bienvenido al centro de notificaciones.</p>"
                     "</body></html>\r\n");
      !ok) {
    return ok;
  }

  append_rows(session, "NEGOCIOS",
              {{{"CODIGO", business},
                {"DESCRIP", Value("Hotel Demostraci\xC3\xB3n")},
                {"MONEDA_CON", Value("USD")}}});
  append_rows(session, "DEFMAIL",
              {{{"NEGOCIO", business},
                {"HOST", Value(sandbox.host)},
                {"POP3", Value(sandbox.host)},
                {"USERNAME", Value("Notificaciones QUARVELT")},
                {"USERADDR", Value("notifica@demo.test")},
                {"DESTINO", Value("admin@demo.test")},
                {"ID_NAME", Value("HOTEL1 DEMO")},
                {"SENDMAIL", Value(1)},
                {"AUTORIZA", Value(1)},
                {"AUTH_USER", Value(sandbox.user)},
                {"AUTH_PASS", Value(sandbox.password)},
                {"SMTP_PORT", Value(sandbox.smtp_port)},
                {"POP3_PORT", Value(sandbox.pop3_port)},
                {"NOTIFICA1", Value(1)},
                {"NOTIFICA2", Value(1)},
                {"NOTIFICA3", Value(1)},
                {"NOTIFICA4", Value(1)},
                {"NOTIFICA5", Value(1)},
                {"NOTIFICA6", Value(1)},
                {"NOTIFICA7", Value(1)},
                {"MAX_WAIT2", Value(60)}}});
  append_rows(session, "F_SYS",
              {{{"T_FONT", Value("Arial")},
                {"T_SIZE", Value(8)},
                {"P_FONT", Value("Calibri")},
                {"GRAYED", Value(1)},
                {"MULTITASK", Value(3)}}});
  append_rows(session, "FONTS",
              {{{"T_FONT", Value("Arial")}},
               {{"T_FONT", Value("Calibri")}},
               {{"T_FONT", Value("Tahoma")}},
               {{"T_FONT", Value("Times New Roman")}}});
  // Two ready outbox rows: the dispatcher sends them on its first cycle.
  const std::string key = DTOS(today);
  append_rows(session, "E_MSGS",
              {{{"FECHA", Value(today)},
                {"HORA", Value(now)},
                {"MAIL", Value(key + STR(1, 10))},
                {"NEGOCIO", business},
                {"TO_USER", Value("recepcion@demo.test")},
                {"SUBJECT", Value("Prueba de texto")},
                {"BODY", Value("Mensaje de prueba del centro de notificaciones.\r\n")},
                {"HTML", Value(0)},
                {"LISTO", Value(1)}},
               {{"FECHA", Value(today)},
                {"HORA", Value(now)},
                {"MAIL", Value(key + STR(2, 10))},
                {"NEGOCIO", business},
                {"TO_USER", Value("gerencia@demo.test")},
                {"CC1", Value("recepcion@demo.test")},
                {"SUBJECT", Value("Prueba HTML con imagen")},
                {"HTML", Value(1)},
                {"HTML_FILE", Value(body_file)},
                {"HTML_EMBED", Value("LOGO.PNG")},
                {"LISTO", Value(1)}}});
  // A recipient or approver for each notification kind.
  append_rows(session, "MAIL_T",
              {weekly_schedule("gerencia@demo.test", {{"NOMBRE", Value("Gerencia")}, {"INFORME1", Value(1)}})});
  append_rows(session, "MAIL_MM", {weekly_schedule("compras@demo.test", {{"NOMBRE", Value("Compras")}})});
  append_rows(session, "MAIL_R", {weekly_schedule("tours@demo.test")});
  append_rows(session, "MAIL_P",
              {{{"CASILLERO", Value(sandbox.user)},
                {"DESCRIP", Value("Aprobaciones")},
                {"PASSWORD", Value(sandbox.password)},
                {"HOST", Value(sandbox.host)},
                {"IMAP", Value(0)},
                {"PORT_IN", Value(sandbox.pop3_port)},
                {"EMAIL", Value("notifica@demo.test")},
                {"NEGOCIO", business},
                {"TIPO", Value(3)}}});
  append_rows(session, "ETAPAS_C",
              {{{"NEGOCIO", business},
                {"CODIGO", Value("0001")},
                {"DESCRIP", Value("Gerencia")},
                {"NOTIFICAR1", Value(1)},
                {"HORA1", Value("00:00:00")},
                {"HORA2", Value("23:59:59")}}});
  append_rows(session, "NOTIFICA",
              {{{"NEGOCIO", business},
                {"EMAIL", Value("gerencia@demo.test")},
                {"PROG_MAIL", Value("notifica@demo.test")},
                {"ETAPAS_2", Value("[0001]")}}});
  append_rows(session, "ENC_COM",
              {{{"NEGOCIO", business},
                {"MOVIMIENTO", Value("OC-0001")},
                {"DESCRIP", Value("Compra de blancos")},
                {"ETAPA", Value("0001")},
                {"NOM_PROV", Value("Proveedora Central")},
                {"FECHA_ETAP", Value(today - 1)},
                {"HORA_ETAP", Value("08:00:00")}}});
  return {};
}

}  // namespace data
