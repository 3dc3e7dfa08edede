#pragma once

#include "data/wdbtable.h"
#include "startup/settings.h"
#include "transport/mail_operations.h"

namespace shell {

// Copies the mail settings of the current row of DEFMAIL into the e-mail globals: server, sender,
// error destination and switch, authentication, copies and ports. Sites that predate a field lack it;
// a missing field leaves the global at its neutral value (empty port, "" text, 0 switch). Texts are
// trimmed except the authentication pair, which the senders trim at use.
void load_mail_settings(startup::Settings& settings, const data::WDBTable& defmail);

// Writes the e-mail globals into the account every sender uses. The site's TLS and time-out
// switches of `account` are kept.
void fill_mail_account(const startup::Settings& settings, transport::MailAccount& account);

// Opens DEFMAIL on `session`, loads its first row into the globals and fills `account`. Throws
// RuntimeError when the table is missing.
void LOAD_DEFMAIL(startup::Settings& settings, data::TableSession& session, transport::MailAccount& account);

}  // namespace shell
