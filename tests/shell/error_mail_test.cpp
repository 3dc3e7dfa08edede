#include <gtest/gtest.h>

#include "../transport/transport_fixtures.h"
#include "data/runtime_error.h"
#include "error_fixture.h"

namespace shell {
namespace {

using testing::ErrorSite;
using transport_test::fresh_user;
using transport_test::raw_messages;
using transport_test::servers;

// The site sends its errors itself (DEFMAIL->SENDMAIL 1) through the sandbox's SMTP server.
class DirectErrorMail : public ErrorSite {
 protected:
  DirectErrorMail() {
    settings.XEMAILSEND = 1;
    settings.XEMAILHOST = "127.0.0.1";
    settings.XEMAIL_SMTP_PORT = data::Value(servers().port("SMTP_PORT"));
    settings.XEMAILAUTH = 1;
    settings.XEMAIL_AU = "hotel";
    settings.XEMAIL_AP = servers().password();
    settings.XEMAILDEST = support + "@localhost";
    context.mail_account = [this] {
      transport::MailAccount account = mail_account_from(settings);
      account.ca_file = servers().ca_file();
      account.connect_seconds = 10;
      account.stall_seconds = 10;
      return account;
    };
    errors = ERRORSYS(context);
  }
  const std::string support = fresh_user();
};

TEST_F(DirectErrorMail, TheReportGoesStraightToTheAdministratorAndNothingIsQueued) {
  on_user = []() -> std::int64_t { throw data::RuntimeError("USE", "DBFCDX", "table not found: BASES/TARIFAS.DBF"); };
  EXPECT_EQ(dispatch(), 0);
  EXPECT_EQ(table("ERROR")->LastRec(), 1u);
  EXPECT_EQ(table("E_MSGS")->LastRec(), 0u);
  const auto received = raw_messages(support);
  ASSERT_EQ(received.size(), 1u);
  const std::string& mail = received.front();
  EXPECT_NE(mail.find("Subject: Error: Hotel =?UTF-8?"), std::string::npos) << mail;  // "Añil", encoded.
  EXPECT_NE(mail.find("table not found: BASES/TARIFAS.DBF: USE"), std::string::npos) << mail;
  EXPECT_NE(mail.find("Servidor de correo"), std::string::npos) << mail;
}

TEST_F(DirectErrorMail, ADeadServerDropsTheMailButKeepsTheRow) {
  settings.XEMAIL_SMTP_PORT = data::Value(1);  // Nothing listens there.
  on_user = []() -> std::int64_t { throw data::RuntimeError("USE", "DBFCDX", "BASES/X.DBF"); };
  dispatch();
  EXPECT_EQ(table("ERROR")->LastRec(), 1u);
  EXPECT_EQ(table("E_MSGS")->LastRec(), 0u);
  ASSERT_GE(log.size(), 2u);
  EXPECT_NE(log[1].find("the error mail was not sent"), std::string::npos) << log[1];
  EXPECT_TRUE(raw_messages(support).empty());
}

}  // namespace
}  // namespace shell
