#include "notify/outbox_transport.h"

#include <optional>

#include "startup/clock_globals.h"

namespace notify {

int MailOperationsTransport::connect() { return transport::CONNECTSEE(m_mail, true, true); }

int MailOperationsTransport::send(const OutboxMessage& m) {
  std::string attachments = m.attachments;
  // Full paths: the mail operations keep a full path whatever the attachment folder.
  for (const std::string& extra : m.extra_attachments) {
    if (!attachments.empty()) attachments += ',';
    attachments += extra;
  }
  std::optional<std::string_view> folder;
  if (!m.attachment_folder.empty()) folder = m.attachment_folder;
  return transport::SENDMAILQUARVELT(m_mail, m.to, m.cc1, m.cc2, m.subject, m.body, m.images, "", attachments,
                                     folder, m.delete_attachments, m.sender_address, m.sender_name);
}

void MailOperationsTransport::disconnect() { transport::DISCONNECTSEE(m_mail); }

data::Date ProgramClock::today() const { return startup::XDATE(); }

std::string ProgramClock::time_of_day() const { return startup::XTIME(); }

}  // namespace notify
