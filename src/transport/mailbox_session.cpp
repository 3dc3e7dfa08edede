#include "transport/mailbox_session.h"

#include <charconv>
#include <sstream>

#include "transport/engine_codes.h"

namespace transport {

namespace {

std::string mailbox_url(const MailboxAccount& account) {
  switch (account.protocol) {
    case MailboxProtocol::Pop3:
      return "pop3://" + account.host + ":" + std::to_string(account.port > 0 ? account.port : 110) + "/";
    case MailboxProtocol::Imap:
    case MailboxProtocol::ImapTunnel:
      return "imap://" + account.host + ":" + std::to_string(account.port > 0 ? account.port : 143) + "/INBOX";
    case MailboxProtocol::ImapTls:
      return "imaps://" + account.host + ":" + std::to_string(account.port > 0 ? account.port : 993) + "/INBOX";
  }
  return {};
}

// The number after `key` in an untagged reply such as "* STATUS INBOX (MESSAGES 3)".
bool number_after(std::string_view reply, std::string_view key, long& value) {
  const auto at = reply.find(key);
  if (at == std::string_view::npos) return false;
  const char* first = reply.data() + at + key.size();
  const char* last = reply.data() + reply.size();
  while (first < last && *first == ' ') ++first;
  return std::from_chars(first, last, value).ec == std::errc();
}

}  // namespace

data::Result<MailboxSession> MailboxSession::open(const MailboxAccount& account, const ConnectionSettings& settings) {
  if (account.host.empty()) return data::unexpected(kBadArgument, "No mailbox server name is set");
  auto connection = CurlConnection::open(settings);
  if (!connection) return connection.error();
  CURL* h = connection->handle();
  const std::string url = mailbox_url(account);
  curl_easy_setopt(h, CURLOPT_USERNAME, account.user.c_str());
  curl_easy_setopt(h, CURLOPT_PASSWORD, account.password.c_str());
  const bool tunnel = account.protocol == MailboxProtocol::ImapTunnel;
  const bool implicit = account.protocol == MailboxProtocol::ImapTls;
  if (!tunnel && !implicit) curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  MailboxSession session(std::move(*connection), account, url);
  if (auto counted = session.count_messages(); !counted) return counted.error();
  return session;
}

data::Result<std::string> MailboxSession::command(const std::string& text, bool without_body) {
  CURL* h = m_connection.handle();
  curl_easy_setopt(h, CURLOPT_URL, m_url.c_str());
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, text.c_str());
  // POP3 commands without a multi-line answer must not wait for a body that never comes.
  curl_easy_setopt(h, CURLOPT_NOBODY, without_body ? 1L : 0L);
  auto done = m_connection.perform();
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, nullptr);
  curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
  if (!done) return done.error();
  return m_connection.received();
}

data::Result<void> MailboxSession::count_messages() {
  if (is_pop3()) {
    auto listing = command("LIST", false);
    if (!listing) return listing.error();
    std::istringstream lines(*listing);
    std::string line;
    while (std::getline(lines, line)) {
      long number = 0;
      long bytes = 0;
      std::istringstream fields(line);
      if (fields >> number >> bytes && number == static_cast<long>(m_sizes.size()) + 1) m_sizes.push_back(bytes);
    }
    m_count = static_cast<int>(m_sizes.size());
    return {};
  }
  auto status = command("STATUS INBOX (MESSAGES)", false);
  if (!status) return status.error();
  long messages = 0;
  if (!number_after(*status, "MESSAGES", messages) || messages < 0) {
    return data::unexpected(kProtocolError, "The mailbox did not say how many messages it holds");
  }
  m_count = static_cast<int>(messages);
  return {};
}

data::Result<long> MailboxSession::size(int number) {
  if (number < 1 || number > m_count) return data::unexpected(kNoSuchMessage, engine_error_text(kNoSuchMessage));
  if (is_pop3()) return m_sizes[static_cast<size_t>(number - 1)];
  auto reply = command("FETCH " + std::to_string(number) + " RFC822.SIZE", false);
  if (!reply) return reply.error();
  long bytes = 0;
  if (!number_after(*reply, "RFC822.SIZE", bytes)) {
    return data::unexpected(kProtocolError, "The mailbox did not give the size of the message");
  }
  return bytes;
}

data::Result<std::string> MailboxSession::fetch(int number) {
  if (number < 1 || number > m_count) return data::unexpected(kNoSuchMessage, engine_error_text(kNoSuchMessage));
  CURL* h = m_connection.handle();
  // IMAP's literal body arrives only through a URL fetch, not a custom FETCH.
  const std::string url = is_pop3() ? m_url + std::to_string(number) : m_url + "/;MAILINDEX=" + std::to_string(number);
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  auto done = m_connection.perform();
  curl_easy_setopt(h, CURLOPT_URL, m_url.c_str());
  if (!done) return done.error();
  std::string message = m_connection.received();
  // POP3 has no length before the body: a server that hangs up early looks like a short
  // message. LIST gave the real size; much less than it means the transfer was cut.
  if (is_pop3() && static_cast<long>(message.size()) < m_sizes[static_cast<size_t>(number - 1)] * 9 / 10) {
    return data::unexpected(kConnectionDropped, engine_error_text(kConnectionDropped) + " (message " +
                                                    std::to_string(number) + " arrived incomplete)");
  }
  return message;
}

data::Result<void> MailboxSession::remove(int number) {
  if (number < 1 || number > m_count) return data::unexpected(kNoSuchMessage, engine_error_text(kNoSuchMessage));
  auto done = is_pop3() ? command("DELE " + std::to_string(number), true)
                        : command("STORE " + std::to_string(number) + " +FLAGS (\\Deleted)", false);
  if (!done) return done.error();
  m_has_deletions = true;
  return {};
}

data::Result<void> MailboxSession::close() {
  data::Result<void> result;
  // STORE and EXPUNGE must share the connection that selected the mailbox.
  if (!is_pop3() && m_has_deletions) {
    if (auto done = command("EXPUNGE", false); !done) result = done.error();
  }
  m_has_deletions = false;
  return result;
}

}  // namespace transport
