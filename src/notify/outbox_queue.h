#pragma once

#include <any>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "data/clock.h"
#include "data/program_folder.h"
#include "data/result.h"
#include "data/wtable_session.h"
#include "notify/trans_file.h"

namespace notify {

// Where queued mail goes and what stamps it: the session that opens E_MSGS, the program folder
// (HTML/ templates, MAIL/SEND/ bodies) and the sender defaults every row carries.
struct OutboxPlace {
  OutboxPlace(data::TableSession& session, data::ProgramFolder folder, std::string XEMAILNAME, std::string XEMAILADDR)
      : session(session), folder(std::move(folder)), XEMAILNAME(std::move(XEMAILNAME)),
        XEMAILADDR(std::move(XEMAILADDR)) {}

  data::TableSession& session;
  data::ProgramFolder folder;
  std::string XEMAILNAME;
  std::string XEMAILADDR;
  const data::Clock* clock = nullptr;           // XDATE()/XTIME(); null: the program's.
  std::function<std::int32_t()> tick_count;     // GETTICKCOUNT for the message key; empty: a steady clock.
  std::function<long()> hundredths_of_day;      // For body file names; empty: the workstation clock.
};

// The arguments of SEND_NOTIFICATION, by name.
struct Notification {
  std::any owner;                       // Owner of the table handle.
  std::string negocio;                  // NEGOCIO.
  std::string hotel;                    // "XHOTEL".
  std::vector<std::string> recipients;  // 1 to 3: TO_USER, CC1, CC2.
  std::string subject;
  std::string usuario;                  // "XUSUARIO".
  std::array<std::string, 6> textos;    // "XTEXTO1" … "XTEXTO6".
  std::array<std::string, 6> titulos;   // "XTITULO1" … "XTITULO6".
  std::string attachments;              // HTML_ATTCH, comma-separated.
  std::string attachment_folder;        // HTML_D_ATT.
  int delete_attachments = 1;           // HTML_DEL_A.
  std::string detalle;                  // "XDETALLE1"; "XDETALLE0" is "DETALLE:" when it is not empty.
};

// The arguments of SEND_REGLAS, by name.
struct RulesMail {
  std::any owner;
  std::string negocio;
  std::string hotel;
  std::string to;
  std::string subject;
  std::string usuario;
  std::string titulo1, titulo2;  // "XTITULO1", "XTITULO2".
  std::string rotulo1, rotulo2;  // "XROTULO1", "XROTULO2".
  SubstitutionList pairs;        // The caller's pairs, applied before the standard ones.
  std::string template_name;
  std::string attachments;
  std::string attachment_folder;
  std::string images = "NOTIFICA.JPG";  // HTML_EMBED when the template refers to no local image.
  std::string cod_res;
  int cr_tipo = 0;
  std::string cc1, cc2;
  std::optional<std::string> template_folder;  // Ends in a separator; none: HTML/.
};

// A row queued in the outbox.
struct QueuedMessage {
  std::uint32_t recno = 0;
  std::string body_file;  // Name in MAIL/SEND/.
  std::string images;     // HTML_EMBED as stored.
  // The template could not be read: the row was queued with an empty body all the same.
  std::optional<data::Error> template_error;
};

// Error codes of the enqueue operations besides those of TRANS_FILE.
inline constexpr int kTooManyRecipients = 3;

// Queues a generic notification from the template HTML/NOTIFICA.HTM: expands it into a new body
// file of MAIL/SEND/ (creating the mail folders when needed) and appends a ready row (LISTO 1 in
// the same locked update as every other field, so no program ever sends a half-written row) with
// HTML_EMBED "NOTIFICA.JPG". Fails with kTooManyRecipients for 0 or more than 3 recipients and
// with kBodyUnwritable when no body file can be written; nothing is queued then. A table that
// cannot be opened throws RuntimeError after removing the body file. Can pump messages while the
// outbox is busy.
[[nodiscard]] data::Result<QueuedMessage> SEND_NOTIFICATION(const OutboxPlace& place, const Notification& mail);

// Queues a notification built from a named template with the caller's pairs followed by "XHOTEL",
// "XUSUARIO", "XFECHA", "XTITULO1", "XTITULO2", "XROTULO1", "XROTULO2". The template's local images
// are embedded (their list replaces `images` when it is not empty). Errors as SEND_NOTIFICATION.
[[nodiscard]] data::Result<QueuedMessage> SEND_REGLAS(const OutboxPlace& place, const RulesMail& mail);

}  // namespace notify
