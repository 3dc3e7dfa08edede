#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/result.h"
#include "transport/curl_transfer.h"

namespace transport {

struct SmtpAccount {
  // A bare name uses STARTTLS when the server offers it, and implicit TLS on port 465;
  // "smtps://name" forces implicit TLS on any port, "smtp://name" is the same as bare.
  std::string host;
  int port = 0;  // 0: 25, or 465 with "smtps://".
  bool authenticate = false;
  std::string user;
  std::string password;
};

// One SMTP connection kept open for a batch: open() greets, starts TLS, logs in and
// checks the session with NOOP; each send() reuses the same connection (libcurl
// reconnects by itself if the server dropped it in between).
class SmtpSession {
 public:
  // Fails with the engine code of the connect, TLS or login failure.
  static data::Result<SmtpSession> open(const SmtpAccount& account, const ConnectionSettings& settings);

  // Sends one prepared message (CRLF line ends). Fails with kRecipientRefused,
  // kSenderRefused, kMessageRefused, a time-out or a connection code; the session
  // stays usable for the next message.
  data::Result<void> send(std::string_view envelope_sender, const std::vector<std::string>& recipients,
                          std::string_view message);

 private:
  explicit SmtpSession(CurlConnection connection) : m_connection(std::move(connection)) {}
  CurlConnection m_connection;
};

}  // namespace transport
