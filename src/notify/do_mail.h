#pragma once

#include "data/wdbtable.h"
#include "notify/notify_steps.h"
#include "startup/settings.h"

namespace notify {

// Holds a 0/1 re-entrancy flag of the Center (in_sending, inWndProc, inDoCheck) at 1 for one scope,
// so an early return or a run-time error thrown through the scope clears it again: a flag left at 1
// would stop the Center for good.
class ReentryGuard {
 public:
  // Requires: `flag` is 0 and outlives the guard.
  explicit ReentryGuard(int& flag) : m_flag(flag) { m_flag = 1; }
  ~ReentryGuard() { m_flag = 0; }
  ReentryGuard(const ReentryGuard&) = delete;
  ReentryGuard& operator=(const ReentryGuard&) = delete;

 private:
  int& m_flag;
};

// Reloads the process-wide mail settings (XEMAILHOST, XEMAILNAME, XEMAILADDR, XEMAIL_ID, XEMAILDEST,
// XEMAILSEND, XEMAILAUTH, XEMAIL_AU, XEMAIL_AP) from the current row of `defmail`. Fields the site's
// table lacks give "" or 0; the ports and copy addresses are left alone (only start-up and the
// settings dialog set them). The authentication user and password are kept untrimmed: the transport
// trims them when it logs in, and the settings dialog shows them as stored.
void load_mail_settings(const data::WDBTable& defmail, startup::Settings& settings);

// One cycle of the Notification Center, in its fixed order: the reply poll, the mail settings reloaded
// from the first DEFMAIL row, each notification kind whose switch in that row is exactly 1 (in the
// order of kNotificationKinds), the follow-up, the FTP delivery queue and the outbox dispatch.
//
// Returns at once when `in_sending` is already 1 (a cycle is running further up the stack); otherwise
// holds it at 1 until the cycle ends, however it ends. The switches are read at every cycle, so a
// change made with the check boxes or the settings dialog takes effect at the next one. Steps pump
// messages (timers and other handlers run inside), and a run-time error a step throws ends the cycle
// and reaches the caller.
void DO_MAIL(CycleSteps& steps, data::WDBTable& defmail, startup::Settings& settings, int& in_sending);

}  // namespace notify
