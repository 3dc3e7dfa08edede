#include "transport/see_engine.h"

#include <gmime/gmime.h>

#include <algorithm>

#include "transport/engine_codes.h"
#include "transport/message_builder.h"
#include "transport/message_reader.h"
#include "transport/text_encoding.h"

namespace transport {

namespace {

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Pieces of a ";" list, empty pieces dropped.
std::vector<std::filesystem::path> split_paths(std::string_view list) {
  std::vector<std::filesystem::path> paths;
  while (!list.empty()) {
    const auto end = list.find(';');
    const std::string_view piece = list.substr(0, end);
    if (!trim(piece).empty()) paths.emplace_back(std::string(piece));
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return paths;
}

// Copies `text` into a caller's buffer of `size` bytes, leaving room for the
// terminating NUL a C caller would need, and returns the length copied.
int fill_buffer(std::string& buffer, std::string_view text, int size) {
  buffer.assign(utf8_prefix(text, size > 0 ? static_cast<size_t>(size - 1) : 0));
  return static_cast<int>(buffer.size());
}

bool ascii_iequal(char a, char b) {
  return g_ascii_tolower(a) == g_ascii_tolower(b);
}

}  // namespace

SeeEngine::~SeeEngine() {
  if (!m_attached) return;
  static_cast<void>(seeClose(0));
  // GMime stays initialised for the life of the process: its shutdown is not counted,
  // so one engine shutting it down would break every other user of GMime.
  curl_global_cleanup();
}

int SeeEngine::fail(const data::Error& error) {
  m_last_error = error;
  return error.code;
}

int SeeEngine::fail(int code) {
  return fail(data::Error{code, engine_error_text(code)});
}

int SeeEngine::check_channel(int channel) const {
  if (!m_attached) return kNotAttached;
  if (channel != 0) return kBadChannel;
  return 0;
}

int SeeEngine::seeAttach(int channels, int32_t /*attach_value*/) {
  if (m_attached) return 0;
  if (channels != 1) return fail(kBadChannel);
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return fail(kEngineInitFailed);
  g_mime_init();
  m_attached = true;
  return 0;
}

int SeeEngine::seeErrorText(int /*channel*/, int code, std::string& buffer, int size) const {
  const std::string text = code == m_last_error.code && !m_last_error.text.empty() ? m_last_error.text
                                                                                    : engine_error_text(code);
  return fill_buffer(buffer, text, size);
}

int SeeEngine::seeIntegerParam(int channel, int parameter, int value) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  switch (parameter) {
    case kHeaderMode:
      if (value == 1) m_extra_headers.clear();
      break;
    case kSmtpPort: m_smtp_port = value; break;
    case kPop3Port: m_pop3_port = value; break;
    case kImapPort: m_imap_port = value; break;
    case kAuthenticate: m_authenticate = value == 1; break;
    case kConnectSeconds: m_settings.connect_seconds = std::max(1, value); break;
    case kStallSeconds: m_settings.stall_seconds = std::max(1, value); break;
    case kTotalSeconds: m_settings.total_seconds = std::max(1, value); break;
    case kVerifyTls: m_settings.verify_tls = value != 0; break;
    default: break;  // Numbers this engine does not use are accepted and ignored.
  }
  return 0;
}

int SeeEngine::seeStringParam(int channel, int parameter, std::string_view value) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  switch (parameter) {
    case kAuthUser: m_user = value; break;
    case kAuthPassword: m_password = value; break;
    case kSenderDisplay: m_sender_display = value; break;
    case kCaFile: m_settings.ca_file = value; break;
    case kExtraHeaderLine: {
      const auto colon = value.find(':');
      const std::string_view name = trim(value.substr(0, colon));
      if (colon == std::string_view::npos || name.empty()) return fail(kBadArgument);
      m_extra_headers.emplace_back(std::string(name), std::string(trim(value.substr(colon + 1))));
      break;
    }
    default: break;
  }
  return 0;
}

int SeeEngine::seeSmtpConnect(int channel, std::string_view host, std::string_view sender,
                              std::string_view /*reply_to*/) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  if (m_smtp || m_mailbox) return fail(kAlreadyConnected);
  const SmtpAccount account{std::string(trim(host)), m_smtp_port, m_authenticate, m_user, m_password};
  auto session = SmtpSession::open(account, m_settings);
  if (!session) return fail(session.error());
  m_smtp.emplace(std::move(*session));
  m_envelope_sender = bare_address(sender);
  return 0;
}

int SeeEngine::seeSendHTML(int channel, std::string_view to, std::string_view cc1, std::string_view cc2,
                           std::string_view subject, std::string_view body, std::string_view images,
                           std::string_view alternate_text, std::string_view attachments) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  if (!m_smtp) return fail(kNotConnected);
  OutgoingMail mail;
  mail.from = m_sender_display.empty() ? "<" + m_envelope_sender + ">" : m_sender_display;
  std::vector<std::string> recipients;
  for (const std::string_view address : {to, cc1, cc2}) {
    const std::string bare = bare_address(address);
    if (bare.empty()) continue;
    recipients.push_back(bare);
    (recipients.size() == 1 ? mail.to : mail.cc).push_back(bare);
  }
  if (bare_address(to).empty()) {
    return fail(data::Error{kBadArgument, "The message has no recipient address"});
  }
  mail.subject = subject;
  mail.body = body;
  mail.images = split_paths(images);
  mail.alternate_text = alternate_text;
  mail.attachments = split_paths(attachments);
  mail.extra_headers = m_extra_headers;
  auto message = build_message(mail);
  if (!message) return fail(message.error());
  const std::string envelope = m_envelope_sender.empty() ? bare_address(mail.from) : m_envelope_sender;
  if (auto sent = m_smtp->send(envelope, recipients, *message); !sent) return fail(sent.error());
  return 0;
}

int SeeEngine::open_mailbox(const MailboxAccount& account) {
  if (m_smtp || m_mailbox) return fail(kAlreadyConnected);
  auto session = MailboxSession::open(account, m_settings);
  if (!session) return fail(session.error());
  m_mailbox.emplace(std::move(*session));
  return 0;
}

int SeeEngine::seePop3Connect(int channel, std::string_view host, std::string_view user, std::string_view password) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  return open_mailbox({MailboxProtocol::Pop3, std::string(trim(host)), m_pop3_port, std::string(user),
                       std::string(password)});
}

int SeeEngine::seeImapConnect(int channel, std::string_view host, std::string_view user, std::string_view password) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  return open_mailbox({MailboxProtocol::Imap, std::string(trim(host)), m_imap_port, std::string(user),
                       std::string(password)});
}

int SeeEngine::seeSetProxySSL(int channel, int /*flags*/, std::string_view folder, std::string_view /*pem*/,
                              std::string_view /*program*/) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  m_tunnel_folder = folder;
  return 0;
}

int SeeEngine::seeImapConnectSSL(int channel, int proxy_port, int server_port, std::string_view host,
                                 std::string_view user, std::string_view password,
                                 std::optional<std::string_view> proxy_address) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  if (proxy_address && !trim(*proxy_address).empty()) {
    return open_mailbox({MailboxProtocol::ImapTunnel, std::string(trim(*proxy_address)), proxy_port,
                         std::string(user), std::string(password)});
  }
  return open_mailbox({MailboxProtocol::ImapTls, std::string(trim(host)), server_port, std::string(user),
                       std::string(password)});
}

int SeeEngine::seeGetEmailCount(int channel) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  if (!m_mailbox) return fail(kNotConnected);
  return m_mailbox->count();
}

int SeeEngine::seeGetEmailSize(int channel, int message) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  if (!m_mailbox) return fail(kNotConnected);
  auto size = m_mailbox->size(message);
  if (!size) return fail(size.error());
  return static_cast<int>(std::min<long>(*size, INT32_MAX));
}

int SeeEngine::seeGetEmailLines(int channel, int message, int /*lines*/, std::string& buffer, int size) {
  buffer.clear();
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  if (!m_mailbox) return fail(kNotConnected);
  auto raw = m_mailbox->fetch(message);
  if (!raw) return fail(raw.error());
  auto text = read_message_text(*raw);
  if (!text) return fail(text.error());
  return fill_buffer(buffer, *text, size);
}

int SeeEngine::seeDeleteEmail(int channel, int message) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  if (!m_mailbox) return fail(kNotConnected);
  if (auto done = m_mailbox->remove(message); !done) return fail(done.error());
  return 0;
}

int SeeEngine::seeExtractText(std::string_view text, std::string_view keyword, std::string& buffer, int size) {
  buffer.clear();
  if (keyword.empty()) return 0;
  const auto found = std::search(text.begin(), text.end(), keyword.begin(), keyword.end(), ascii_iequal);
  if (found == text.end()) return 0;
  const size_t at = static_cast<size_t>(found - text.begin());
  const size_t previous_end = text.find_last_of("\r\n", at);
  const size_t begin = previous_end == std::string_view::npos ? 0 : previous_end + 1;
  size_t end = text.find_first_of("\r\n", at);
  if (end == std::string_view::npos) end = text.size();
  return fill_buffer(buffer, text.substr(begin, end - begin), size);
}

int SeeEngine::seeClose(int channel) {
  if (const int bad = check_channel(channel); bad < 0) return fail(bad);
  int result = 0;
  if (m_mailbox) {
    if (auto closed = m_mailbox->close(); !closed) result = fail(closed.error());
    m_mailbox.reset();
  }
  m_smtp.reset();
  return result;
}

}  // namespace transport
