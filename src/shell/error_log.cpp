#include "shell/error_log.h"

#include <initializer_list>
#include <memory>
#include <string_view>

#include "data/record_change.h"
#include "data/runtime_error.h"
#include "data/use_table.h"
#include "data/value.h"
#include "data/wdbtable.h"

namespace shell {
namespace {

// A row is appended only once every field it needs is known to exist: an append that failed
// half-way would leave a blank row that other programs of the suite would read.
void require_fields(const data::WDBTable& table, std::string_view table_name,
                    std::initializer_list<std::string_view> fields) {
  for (std::string_view field : fields) {
    if (table.FieldPos(field) == 0) {
      throw data::RuntimeError("FieldPut", "DBFCDX", std::string(table_name) + " has no field " + std::string(field));
    }
  }
}

}  // namespace

void write_error_row(data::TableSession& session, std::any owner, const data::Date& date, const std::string& time,
                     const std::string& DESCRIP, const std::string& DETALLE) {
  data::AreaScope restore(session.areas(), session.areas().current());
  const std::unique_ptr<data::WDBTable> log = data::USE(session, std::move(owner), "ERROR", "ERROR");
  require_fields(*log, "ERROR", {"FECHA", "HORA", "DESCRIP", "DETALLE"});
  data::ADD_NEW_REC(session);
  log->put("FECHA", data::Value(date));
  log->put("HORA", data::Value(time));
  log->put("DESCRIP", data::Value(DESCRIP));
  log->put("DETALLE", data::Value(DETALLE));
  data::unlock_for_modify(session, log->Area);
}

void queue_error_mail(data::TableSession& session, std::any owner, const ErrorMail& mail) {
  data::AreaScope restore(session.areas(), session.areas().current());
  const std::unique_ptr<data::WDBTable> outbox = data::USE(session, std::move(owner), "E_MSGS", "E_MSGS");
  require_fields(*outbox,
                 "E_MSGS", {"FECHA", "HORA", "TO_USER", "SUBJECT", "BODY", "USERNAME", "USERADDR", "ENVIADO", "LISTO"});
  data::ADD_NEW_REC(session);
  outbox->put("FECHA", data::Value(mail.date));
  outbox->put("HORA", data::Value(mail.time));
  outbox->put("TO_USER", data::Value(mail.to));
  outbox->put("SUBJECT", data::Value(mail.subject));
  outbox->put("BODY", data::Value(mail.body));
  outbox->put("USERNAME", data::Value(mail.sender_name));
  outbox->put("USERADDR", data::Value(mail.sender_address));
  outbox->put("ENVIADO", data::Value(0));
  outbox->put("LISTO", data::Value(1));
  data::unlock_for_modify(session, outbox->Area);
}

int send_error_mail(const transport::MailAccount& account, const std::filesystem::path& program_folder,
                    const ErrorMail& mail) {
  transport::MailEngineState engine;
  transport::MailContext context{engine, account, program_folder, {}, {}};
  const int connected = transport::CONNECTSEE(context, true, true);
  if (connected < 0) return connected;
  const int sent = transport::SENDMAILQUARVELT(context, mail.to, "", "", mail.subject, mail.body, "", "", "",
                                               std::nullopt, 1, mail.sender_address, mail.sender_name);
  transport::DISCONNECTSEE(context);
  return sent;
}

}  // namespace shell
