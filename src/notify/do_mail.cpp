#include "notify/do_mail.h"

#include <string>
#include <string_view>

#include "data/text.h"

namespace notify {

namespace {

// The text of an optional field, "" when the site's table predates it.
std::string optional_text(const data::WDBTable& defmail, std::string_view field) {
  return defmail.FieldPos(field) != 0 ? defmail.FieldGet(field).text() : std::string();
}

int optional_number(const data::WDBTable& defmail, std::string_view field) {
  return defmail.FieldPos(field) != 0 ? static_cast<int>(defmail.FieldGet(field).number()) : 0;
}

}  // namespace

void load_mail_settings(const data::WDBTable& defmail, startup::Settings& settings) {
  settings.XEMAILHOST = data::ALLTRIM(optional_text(defmail, "HOST"));
  settings.XEMAILNAME = data::ALLTRIM(optional_text(defmail, "USERNAME"));
  settings.XEMAILADDR = data::ALLTRIM(optional_text(defmail, "USERADDR"));
  settings.XEMAIL_ID = data::ALLTRIM(optional_text(defmail, "ID_NAME"));
  settings.XEMAILDEST = data::ALLTRIM(optional_text(defmail, "DESTINO"));
  settings.XEMAILSEND = optional_number(defmail, "SENDMAIL");
  settings.XEMAILAUTH = optional_number(defmail, "AUTORIZA");
  settings.XEMAIL_AU = optional_text(defmail, "AUTH_USER");
  settings.XEMAIL_AP = optional_text(defmail, "AUTH_PASS");
}

void DO_MAIL(CycleSteps& steps, data::WDBTable& defmail, startup::Settings& settings, int& in_sending) {
  if (in_sending != 0) return;
  const ReentryGuard sending{in_sending};

  // Replies first: an approval read now moves its document on, and the kinds below then mail the
  // next stage's approvers in this same cycle.
  steps.RESPONDER(1);

  defmail.GoTop();
  load_mail_settings(defmail, settings);

  for (const NotificationKind& kind : kNotificationKinds) {
    // Exactly 1: a switch the settings dialog never wrote reads as blank, and blank is off.
    if (defmail.FieldGet(kind.flag).number() == 1) (steps.*kind.step)();
  }

  steps.FOLLOWUP();
  steps.CHECK_E_FTP();
  // Last, so that everything queued above leaves in this cycle.
  steps.dispatch_outbox();
}

}  // namespace notify
