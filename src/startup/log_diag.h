#pragma once

#include <any>
#include <string>
#include <string_view>

#include "data/clock.h"
#include "data/wdbtable.h"
#include "data/wtable_session.h"
#include "startup/settings.h"

namespace startup {

// The user stamp of log rows: login name, " / ", computer name, " ", DTOC of the date, " ", the time.
std::string INFO_USER(const data::Date& date, std::string_view time);

// Records the opening of dialog `dialog_name` in LOG_DIAG: business, command (XID_MENU, then cleared),
// user, stamp, date, time and module. Rows older than 240 days are reused, oldest first, when their
// lock can be had at once; otherwise a row is appended. Log-in, search, wait and print helpers are
// not recorded. Leaves the current work area as it was. Can wait for a busy table like every change.
void NEW_LOG_DIAG(Settings& settings, data::TableSession& session, const data::Clock& clock, std::any owner,
                  std::string_view dialog_name);

// Appends an ADASIPA row for a password change (old and new password already scrambled, origin
// 1 log-in, 2 password dialog, 3 users maintenance), only when the users table (positioned on the
// user) has the field ADASIPA. Leaves the current work area as it was.
void LOG_PASSWORD(Settings& settings, data::TableSession& session, const data::Clock& clock, std::any owner,
                  std::string_view old_password, std::string_view new_password, data::WDBTable& users,
                  int origin = 0);

}  // namespace startup
