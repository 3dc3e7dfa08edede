#pragma once

#include <any>
#include <filesystem>
#include <string>

#include "data/date.h"
#include "data/wtable_session.h"
#include "transport/mail_operations.h"

namespace shell {

// The mail that tells the site's administrator about an error.
struct ErrorMail {
  data::Date date;        // Workstation date and time: the outbox row's FECHA and HORA.
  std::string time;
  std::string to;         // XEMAILDEST.
  std::string subject;    // "Error: " + XEMAIL_ID.
  std::string body;       // Plain text, lines ending in CR LF.
  std::string sender_name;     // XEMAILNAME.
  std::string sender_address;  // XEMAILADDR.
};

// Appends one row to table ERROR (order ERROR): FECHA, HORA, DESCRIP (the error line) and DETALLE
// (the details). The row is appended locked, filled and released in one update, so the suite's
// other programs never see it half-written. Leaves the current work area as it was.
// A missing or unreadable ERROR table throws data::RuntimeError; nothing is appended then.
// Can wait for a busy table (and pump messages) like every change.
void write_error_row(data::TableSession& session, std::any owner, const data::Date& date, const std::string& time,
                     const std::string& DESCRIP, const std::string& DETALLE);

// Queues the mail as a ready outbox row (E_MSGS, order E_MSGS): FECHA, HORA, TO_USER, SUBJECT,
// BODY (plain, HTML_FILE empty), USERNAME, USERADDR, ENVIADO 0 and LISTO 1, all in the one locked
// update of the append, so the Notification Center never picks the row up before it is complete.
// The row carries no MAIL key and no business. Leaves the current work area as it was. Throws
// data::RuntimeError like write_error_row.
void queue_error_mail(data::TableSession& session, std::any owner, const ErrorMail& mail);

// Sends the mail at once over a connection of its own (CONNECTSEE, SENDMAILQUARVELT,
// DISCONNECTSEE), so a connection the outbox dispatch holds open is left alone. Returns the
// send's result, or the connect's negative code when the server could not be reached: the
// mail is then dropped, as nobody could be told anyway. Blocks until the server answers or
// its time-out passes; pumps no messages.
int send_error_mail(const transport::MailAccount& account, const std::filesystem::path& program_folder,
                    const ErrorMail& mail);

}  // namespace shell
