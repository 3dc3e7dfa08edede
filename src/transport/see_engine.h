#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "transport/curl_transfer.h"
#include "transport/mailbox_session.h"
#include "transport/smtp_session.h"

namespace transport {

// Parameter numbers of seeIntegerParam / seeStringParam. The first group is what the
// mail operations set; the second is this engine's own.
enum SeeParameter : int {
  kHeaderMode = 8,         // 1: start a new list of extra header lines; 2: list complete.
  kQuotedNames = 27,       // Accepted; names are always encoded as needed.
  kSmtpPort = 15,
  kPop3Port = 16,
  kAuthenticate = 29,      // 1: SMTP AUTH with the two values below.
  kAuthPassword = 57,
  kAuthUser = 58,
  kSenderDisplay = 53,     // "Name <address>" for the From header.
  kExtraHeaderLine = 56,   // One "Name: value" line per call.
  kConnectSeconds = 101,   // Connect, TLS and greeting time-out (default 20).
  kStallSeconds = 102,     // Longest silence in a transfer (default 60).
  kTotalSeconds = 103,     // Longest single transfer (default 900).
  kImapPort = 104,         // seeImapConnect's port (default 143).
  kVerifyTls = 105,        // 1 (default): certificates must be trusted; 0: accept self-signed.
  kCaFile = 106,           // String: an extra trusted certificate file (PEM).
};

// The e-mail engine: one channel (0), one connection at a time, SMTP for sending and
// POP3 or IMAP for reading. Every call returns a signed code, negative on failure; the
// codes are those of engine_codes.h and seeErrorText explains them. Calls block until
// the server answers or a time-out ends them; none pumps window messages. Passwords
// are kept only in memory and never appear in an error text.
// Destroying the engine closes an open connection first (deletions become final).
class SeeEngine {
 public:
  SeeEngine() = default;
  ~SeeEngine();
  SeeEngine(const SeeEngine&) = delete;
  SeeEngine& operator=(const SeeEngine&) = delete;

  // Initialises libcurl and GMime. ≥ 0 when ready; kBadChannel unless one channel is
  // asked for; kEngineInitFailed when libcurl refuses. The attach value is not checked.
  int seeAttach(int channels, int32_t attach_value);
  // The sentence for `code` in `buffer`, at most size - 1 bytes; returns its length.
  // For the code of the engine's last failure the sentence carries that failure's detail
  // (the file that was missing, the server's reply).
  int seeErrorText(int channel, int code, std::string& buffer, int size) const;
  int seeIntegerParam(int channel, int parameter, int value);
  int seeStringParam(int channel, int parameter, std::string_view value);

  // Opens the SMTP connection; `sender` is the envelope sender, in angle brackets.
  int seeSmtpConnect(int channel, std::string_view host, std::string_view sender, std::string_view reply_to);
  // Builds and sends one message over the open SMTP connection (see build_message).
  int seeSendHTML(int channel, std::string_view to, std::string_view cc1, std::string_view cc2,
                  std::string_view subject, std::string_view body, std::string_view images,
                  std::string_view alternate_text, std::string_view attachments);

  int seePop3Connect(int channel, std::string_view host, std::string_view user, std::string_view password);
  int seeImapConnect(int channel, std::string_view host, std::string_view user, std::string_view password);
  // Records the tunnel program's folder and files. No tunnel program is started: TLS is
  // done by the engine itself unless seeImapConnectSSL is given a proxy address.
  int seeSetProxySSL(int channel, int flags, std::string_view folder, std::string_view pem,
                     std::string_view program);
  // IMAP over TLS to host:server_port; with a proxy address, plain IMAP to
  // proxy_address:proxy_port, a local tunnel that does the TLS on its own.
  int seeImapConnectSSL(int channel, int proxy_port, int server_port, std::string_view host,
                        std::string_view user, std::string_view password,
                        std::optional<std::string_view> proxy_address);

  int seeGetEmailCount(int channel);
  // The size in bytes the server gives for the message.
  int seeGetEmailSize(int channel, int message);
  // The message text of read_message_text, at most size - 1 bytes, in `buffer`; returns
  // its length. The line count is accepted and not used.
  int seeGetEmailLines(int channel, int message, int lines, std::string& buffer, int size);
  // Marks the message deleted; the server removes it when the mailbox is closed.
  int seeDeleteEmail(int channel, int message);
  // The line of `text` holding `keyword` (ASCII case ignored), without its line end,
  // in `buffer` (at most size - 1 bytes); returns its length, 0 when absent.
  static int seeExtractText(std::string_view text, std::string_view keyword, std::string& buffer, int size);
  // Closes the open connection; ≥ 0 also when none was open.
  int seeClose(int channel);

 private:
  int fail(const data::Error& error);
  int fail(int code);
  int check_channel(int channel) const;
  int open_mailbox(const MailboxAccount& account);

  bool m_attached = false;
  int m_smtp_port = 0;
  int m_pop3_port = 0;
  int m_imap_port = 0;
  bool m_authenticate = false;
  std::string m_user;
  std::string m_password;
  std::string m_sender_display;
  std::string m_envelope_sender;
  std::vector<std::pair<std::string, std::string>> m_extra_headers;
  ConnectionSettings m_settings;
  std::string m_tunnel_folder;
  std::optional<SmtpSession> m_smtp;
  std::optional<MailboxSession> m_mailbox;
  data::Error m_last_error{0, ""};
};

}  // namespace transport
