#pragma once

#include "data/clock.h"
#include "notify/outbox_dispatch.h"
#include "transport/mail_operations.h"

namespace notify {

// The dispatch step's SMTP conversation through the mail operations (CONNECTSEE,
// SENDMAILQUARVELT, DISCONNECTSEE) on the program's engine globals and mail settings.
// Requires: `mail` outlives the transport.
class MailOperationsTransport final : public OutboxTransport {
 public:
  explicit MailOperationsTransport(transport::MailContext& mail) : m_mail(mail) {}

  int connect() override;
  // The E2_MSGS files go after the row's own attachments and follow its HTML_DEL_A flag.
  int send(const OutboxMessage& message) override;
  void disconnect() override;

 private:
  transport::MailContext& m_mail;
};

// XDATE() and XTIME() of the running program, as a clock the outbox operations take.
class ProgramClock final : public data::Clock {
 public:
  data::Date today() const override;
  std::string time_of_day() const override;
};

}  // namespace notify
