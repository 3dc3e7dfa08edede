#include "shell/frame_defmail.h"

#include <cmath>
#include <optional>

#include "data/text.h"
#include "data/use_table.h"

namespace shell {
namespace {

bool has_field(const data::WDBTable& table, std::string_view name) { return table.FieldPos(name) != 0; }

std::string trimmed_text(const data::WDBTable& table, std::string_view name) {
  return has_field(table, name) ? data::ALLTRIM(table.FieldGet(name).text()) : std::string();
}

std::string raw_text(const data::WDBTable& table, std::string_view name) {
  return has_field(table, name) ? table.FieldGet(name).text() : std::string();
}

int number(const data::WDBTable& table, std::string_view name) {
  return has_field(table, name) ? static_cast<int>(table.FieldGet(name).number()) : 0;
}

data::Value port(const data::WDBTable& table, std::string_view name) {
  return has_field(table, name) ? table.FieldGet(name) : data::Value();
}

std::optional<int> port_number(const data::Value& value) {
  if (!value.is_number()) return std::nullopt;
  return static_cast<int>(std::lround(value.number()));
}

}  // namespace

void load_mail_settings(startup::Settings& s, const data::WDBTable& defmail) {
  s.XEMAIL_SMTP_PORT = port(defmail, "SMTP_PORT");
  s.XEMAIL_POP3_PORT = port(defmail, "POP3_PORT");
  s.XEMAILHOST = trimmed_text(defmail, "HOST");
  s.XEMAILNAME = trimmed_text(defmail, "USERNAME");
  s.XEMAILADDR = trimmed_text(defmail, "USERADDR");
  s.XEMAIL_ID = trimmed_text(defmail, "ID_NAME");
  s.XEMAILDEST = trimmed_text(defmail, "DESTINO");
  s.XEMAILSEND = number(defmail, "SENDMAIL");
  s.XEMAILAUTH = number(defmail, "AUTORIZA");
  s.XEMAIL_AU = raw_text(defmail, "AUTH_USER");
  s.XEMAIL_AP = raw_text(defmail, "AUTH_PASS");
  s.XEMAIL_CC1 = raw_text(defmail, "CC_CONF1");
  s.XEMAIL_CC2 = raw_text(defmail, "CC_CONF2");
}

void fill_mail_account(const startup::Settings& s, transport::MailAccount& account) {
  account.XEMAILHOST = s.XEMAILHOST;
  account.XEMAILADDR = s.XEMAILADDR;
  account.XEMAILNAME = s.XEMAILNAME;
  account.XEMAIL_ID = s.XEMAIL_ID;
  account.XEMAILDEST = s.XEMAILDEST;
  account.XEMAILSEND = s.XEMAILSEND;
  account.XEMAILAUTH = s.XEMAILAUTH;
  account.XEMAIL_AU = s.XEMAIL_AU;
  account.XEMAIL_AP = s.XEMAIL_AP;
  account.XEMAIL_SMTP_PORT = port_number(s.XEMAIL_SMTP_PORT);
  account.XEMAIL_POP3_PORT = port_number(s.XEMAIL_POP3_PORT);
}

void LOAD_DEFMAIL(startup::Settings& settings, data::TableSession& session, transport::MailAccount& account) {
  const std::unique_ptr<data::WDBTable> defmail = data::USE(session, {}, "DEFMAIL");
  defmail->GoTop();
  load_mail_settings(settings, *defmail);
  data::KILLTABLA(defmail.get());
  fill_mail_account(settings, account);
}

}  // namespace shell
