#include "notify/outbox_queue.h"

#include <chrono>
#include <system_error>

#include "data/date.h"
#include "data/number_format.h"
#include "data/record_lock.h"
#include "data/text.h"
#include "data/use_table.h"
#include "notify/outbox_files.h"
#include "notify/outbox_transport.h"

namespace notify {

namespace {

// The fields a queued HTML row sets; the rest stay blank or 0 (ENVIADO, ERR_COUNT).
struct OutboxRow {
  std::string negocio;
  std::string to, cc1, cc2;
  std::string subject;
  std::string cod_res;
  int cr_tipo = 0;
  std::string body_file;
  std::string images;
  std::string attachments;
  std::string attachment_folder;
  int delete_attachments = 0;
};

std::int32_t steady_ticks() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms.count()));
}

// The message key: DTOS of the queue date followed by the tick count right-aligned in 10.
std::string message_key(const OutboxPlace& place, const data::Date& today) {
  const std::int32_t ticks = place.tick_count ? place.tick_count() : steady_ticks();
  return data::DTOS(today) + data::STR(static_cast<double>(ticks), 10);
}

// The pairs every enqueue operation ends with.
void add_standard_pairs(SubstitutionList& pairs, std::string_view hotel, std::string_view usuario,
                        const data::Clock& clock) {
  pairs.push_back({"XHOTEL", data::ALLTRIM(hotel)});
  pairs.push_back({"XUSUARIO", data::ALLTRIM(usuario)});
  pairs.push_back({"XFECHA", data::DTOC(clock.today()) + "/" + clock.time_of_day()});
}

// Expands the template into a new body file of MAIL/SEND/.
data::Result<std::pair<std::string, TemplateExpansion>> write_body(const OutboxPlace& place,
                                                                   const std::filesystem::path& template_file,
                                                                   const SubstitutionList& pairs, TemplateMode mode) {
  ensure_mail_folders(place.folder);
  const std::filesystem::path send_folder = place.folder.find("MAIL/SEND");
  data::Result<std::string> name =
      claim_generated_file(send_folder, "HTM", place.hundredths_of_day ? place.hundredths_of_day : hundredths_since_midnight);
  if (!name) return name.error();
  data::Result<TemplateExpansion> expanded = TRANS_FILE(template_file, send_folder / *name, pairs, mode);
  if (!expanded) {
    std::error_code ignored;
    std::filesystem::remove(send_folder / *name, ignored);
    return expanded.error();
  }
  return std::pair{*name, std::move(*expanded)};
}

std::uint32_t append_row(const OutboxPlace& place, const std::any& owner, const OutboxRow& row,
                         const data::Clock& clock) {
  std::unique_ptr<data::WDBTable> msgs = data::USE(place.session, owner, "E_MSGS", "E_MSGS1");
  const data::Date today = clock.today();
  data::RecordLock lock{*msgs, data::LockTarget::NewRecord};
  msgs->put("FECHA", data::Value(today));
  msgs->put("HORA", data::Value(clock.time_of_day()));
  msgs->put("MAIL", data::Value(message_key(place, today)));
  msgs->put("NEGOCIO", data::Value(row.negocio));
  msgs->put("TO_USER", data::Value(row.to));
  msgs->put("CC1", data::Value(row.cc1));
  msgs->put("CC2", data::Value(row.cc2));
  msgs->put("SUBJECT", data::Value(row.subject));
  msgs->put("BODY", data::Value(""));
  msgs->put("USERNAME", data::Value(place.XEMAILNAME));
  msgs->put("USERADDR", data::Value(place.XEMAILADDR));
  msgs->put("COD_RES", data::Value(row.cod_res));
  msgs->put("CR_TIPO", data::Value(row.cr_tipo));
  msgs->put("HTML", data::Value(1));
  msgs->put("HTML_FILE", data::Value(row.body_file));
  msgs->put("HTML_EMBED", data::Value(row.images));
  msgs->put("HTML_ATTCH", data::Value(row.attachments));
  msgs->put("HTML_D_ATT", data::Value(row.attachment_folder));
  msgs->put("HTML_DEL_A", data::Value(row.delete_attachments));
  // Ready in the same locked update: the dispatcher never meets this row half-written.
  msgs->put("LISTO", data::Value(1));
  lock.commit();
  return msgs->RecNo();
}

// Appends the row; a run-time error on the way removes the body file, which nothing would send.
data::Result<QueuedMessage> queue(const OutboxPlace& place, const std::any& owner, OutboxRow row,
                                  const std::string& body_file, TemplateExpansion expansion,
                                  const data::Clock& clock) {
  row.body_file = body_file;
  QueuedMessage queued;
  try {
    queued.recno = append_row(place, owner, row, clock);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(place.folder.find("MAIL/SEND") / body_file, ignored);
    throw;
  }
  queued.body_file = body_file;
  queued.images = row.images;
  queued.template_error = std::move(expansion.template_error);
  return queued;
}

// A template folder as a caller of the suite writes it ("HTML\", "C:\PLANTILLAS\"), found in the
// program folder when it is relative.
std::filesystem::path template_path(const OutboxPlace& place, const std::optional<std::string>& folder,
                                    const std::string& name) {
  if (!folder || data::ALLTRIM(*folder).empty()) return place.folder.find("HTML/" + data::ALLTRIM(name));
  return place.folder.find(data::ALLTRIM(*folder) + "/" + data::ALLTRIM(name));
}

}  // namespace

data::Result<QueuedMessage> SEND_NOTIFICATION(const OutboxPlace& place, const Notification& mail) {
  if (mail.recipients.empty() || mail.recipients.size() > 3) {
    return data::unexpected(kTooManyRecipients, "A notification goes to 1 to 3 addresses, not " +
                                                    std::to_string(mail.recipients.size()));
  }
  const ProgramClock program_clock;
  const data::Clock& clock = place.clock ? *place.clock : program_clock;

  SubstitutionList pairs;
  add_standard_pairs(pairs, mail.hotel, mail.usuario, clock);
  for (int i = 0; i < 6; ++i) pairs.push_back({"XTITULO" + std::to_string(i + 1), data::ALLTRIM(mail.titulos[i])});
  for (int i = 0; i < 6; ++i) pairs.push_back({"XTEXTO" + std::to_string(i + 1), data::ALLTRIM(mail.textos[i])});
  const std::string detalle = data::ALLTRIM(mail.detalle);
  pairs.push_back({"XDETALLE1", detalle});
  pairs.push_back({"XDETALLE0", detalle.empty() ? "" : "DETALLE:"});

  auto body = write_body(place, place.folder.find("HTML/NOTIFICA.HTM"), pairs, TemplateMode::SubstituteOnly);
  if (!body) return body.error();

  OutboxRow row;
  row.negocio = mail.negocio;
  row.to = mail.recipients[0];
  if (mail.recipients.size() > 1) row.cc1 = mail.recipients[1];
  if (mail.recipients.size() > 2) row.cc2 = mail.recipients[2];
  row.subject = mail.subject;
  row.images = "NOTIFICA.JPG";
  row.attachments = mail.attachments;
  row.attachment_folder = mail.attachment_folder;
  row.delete_attachments = mail.delete_attachments;
  return queue(place, mail.owner, std::move(row), body->first, std::move(body->second), clock);
}

data::Result<QueuedMessage> SEND_REGLAS(const OutboxPlace& place, const RulesMail& mail) {
  const ProgramClock program_clock;
  const data::Clock& clock = place.clock ? *place.clock : program_clock;

  SubstitutionList pairs = mail.pairs;  // The caller may pass the same list for the next recipient.
  add_standard_pairs(pairs, mail.hotel, mail.usuario, clock);
  pairs.push_back({"XTITULO1", data::ALLTRIM(mail.titulo1)});
  pairs.push_back({"XTITULO2", data::ALLTRIM(mail.titulo2)});
  pairs.push_back({"XROTULO1", data::ALLTRIM(mail.rotulo1)});
  pairs.push_back({"XROTULO2", data::ALLTRIM(mail.rotulo2)});

  auto body = write_body(place, template_path(place, mail.template_folder, mail.template_name), pairs,
                         TemplateMode::EmbedImages);
  if (!body) return body.error();

  OutboxRow row;
  row.negocio = mail.negocio;
  row.to = mail.to;
  row.cc1 = mail.cc1;
  row.cc2 = mail.cc2;
  row.subject = mail.subject;
  row.cod_res = mail.cod_res;
  row.cr_tipo = mail.cr_tipo;
  row.images = body->second.images.empty() ? mail.images : body->second.images;
  row.attachments = mail.attachments;
  row.attachment_folder = mail.attachment_folder;
  row.delete_attachments = 0;
  return queue(place, mail.owner, std::move(row), body->first, std::move(body->second), clock);
}

}  // namespace notify
