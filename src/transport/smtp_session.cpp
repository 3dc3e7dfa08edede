#include "transport/smtp_session.h"

#include <cstring>

#include "transport/engine_codes.h"

namespace transport {

namespace {

struct UploadSource {
  std::string_view data;
  size_t offset = 0;
};

size_t read_upload(char* buffer, size_t size, size_t count, void* source) noexcept {
  auto* upload = static_cast<UploadSource*>(source);
  const size_t bytes = std::min(size * count, upload->data.size() - upload->offset);
  std::memcpy(buffer, upload->data.data() + upload->offset, bytes);
  upload->offset += bytes;
  return bytes;
}

std::string smtp_url(const SmtpAccount& account, bool& implicit_tls) {
  std::string host = account.host;
  implicit_tls = account.port == 465;
  if (host.starts_with("smtps://")) {
    implicit_tls = true;
    host.erase(0, 8);
  } else if (host.starts_with("smtp://")) {
    host.erase(0, 7);
  }
  while (!host.empty() && host.back() == '/') host.pop_back();
  const int port = account.port > 0 ? account.port : (implicit_tls ? 465 : 25);
  return (implicit_tls ? "smtps://" : "smtp://") + host + ":" + std::to_string(port);
}

}  // namespace

data::Result<SmtpSession> SmtpSession::open(const SmtpAccount& account, const ConnectionSettings& settings) {
  if (account.host.empty()) return data::unexpected(kBadArgument, "No SMTP server name is set");
  auto connection = CurlConnection::open(settings);
  if (!connection) return connection.error();
  CURL* h = connection->handle();
  bool implicit_tls = false;
  const std::string url = smtp_url(account, implicit_tls);
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  if (!implicit_tls) curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  if (account.authenticate) {
    curl_easy_setopt(h, CURLOPT_USERNAME, account.user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, account.password.c_str());
  }
  // NOOP without a body opens the connection, greets, starts TLS and logs in, and leaves
  // the connection in the handle's cache for the sends that follow.
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, "NOOP");
  curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
  if (auto done = connection->perform(); !done) return done.error();
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, nullptr);
  curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
  return SmtpSession(std::move(*connection));
}

data::Result<void> SmtpSession::send(std::string_view envelope_sender, const std::vector<std::string>& recipients,
                                     std::string_view message) {
  CURL* h = m_connection.handle();
  CurlList list;
  for (const std::string& recipient : recipients) {
    curl_slist* grown = curl_slist_append(list.get(), recipient.c_str());
    if (!grown) return data::unexpected(kMessageBuildFailed, "Out of memory for the recipient list");
    static_cast<void>(list.release());
    list.reset(grown);
  }
  if (!list) return data::unexpected(kBadArgument, "The message has no recipient");
  const std::string sender(envelope_sender);
  UploadSource source{message};
  curl_easy_setopt(h, CURLOPT_MAIL_FROM, sender.c_str());
  curl_easy_setopt(h, CURLOPT_MAIL_RCPT, list.get());
  curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(h, CURLOPT_READFUNCTION, &read_upload);
  curl_easy_setopt(h, CURLOPT_READDATA, &source);
  curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
  auto sent = m_connection.perform();
  // The list and the source die with this call; the handle must not keep pointing at them.
  curl_easy_setopt(h, CURLOPT_MAIL_RCPT, nullptr);
  curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
  curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
  return sent;
}

}  // namespace transport
