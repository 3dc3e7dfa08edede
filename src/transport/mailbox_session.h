#pragma once

#include <string>
#include <vector>

#include "data/result.h"
#include "transport/curl_transfer.h"

namespace transport {

enum class MailboxProtocol {
  Pop3,        // STARTTLS (STLS) when the server offers it.
  Imap,        // STARTTLS when the server offers it.
  ImapTls,     // Implicit TLS (IMAPS).
  ImapTunnel,  // Plain IMAP to a local tunnel program that does the TLS itself.
};

struct MailboxAccount {
  MailboxProtocol protocol = MailboxProtocol::Pop3;
  std::string host;
  int port = 0;  // 0: 110, 143 or 993.
  std::string user;
  std::string password;
};

// An open mailbox (its INBOX for IMAP). Message numbers run from 1 to count() and stay
// fixed for the whole session: deletions only mark messages, and the server removes
// them at close() (IMAP EXPUNGE on the same connection, POP3 QUIT).
class MailboxSession {
 public:
  // Logs in and counts the messages. Fails with kLoginRefused, kConnectFailed,
  // kTimedOut, a TLS code or kProtocolError.
  static data::Result<MailboxSession> open(const MailboxAccount& account, const ConnectionSettings& settings);

  int count() const { return m_count; }
  data::Result<long> size(int number);
  // The raw message. Fails with kNoSuchMessage or kConnectionDropped (also when the
  // server hung up before the whole message arrived).
  data::Result<std::string> fetch(int number);
  data::Result<void> remove(int number);
  // Makes the deletions final and logs out.
  data::Result<void> close();

 private:
  MailboxSession(CurlConnection connection, MailboxAccount account, std::string url)
      : m_connection(std::move(connection)), m_account(std::move(account)), m_url(std::move(url)) {}
  bool is_pop3() const { return m_account.protocol == MailboxProtocol::Pop3; }
  data::Result<std::string> command(const std::string& text, bool without_body);
  data::Result<void> count_messages();

  CurlConnection m_connection;
  MailboxAccount m_account;
  std::string m_url;            // pop3://host:port/ or imap(s)://host:port/INBOX
  int m_count = 0;
  std::vector<long> m_sizes;    // POP3: from LIST, to tell a cut transfer from a whole one.
  bool m_has_deletions = false;
};

}  // namespace transport
