#include "transport/curl_transfer.h"

#include <new>

#include "transport/engine_codes.h"

namespace transport {

namespace {

// A fetched message larger than this is refused rather than held in memory.
constexpr size_t kMaxReceived = 128u * 1024 * 1024;

}  // namespace

data::Result<CurlConnection> CurlConnection::open(const ConnectionSettings& settings) {
  CurlConnection connection;
  connection.m_handle.reset(curl_easy_init());
  if (!connection.m_handle) return data::unexpected(kEngineInitFailed, engine_error_text(kEngineInitFailed));
  connection.m_state = std::make_unique<State>();
  CURL* h = connection.m_handle.get();
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, connection.m_state->error);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CurlConnection::collect);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, connection.m_state.get());
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, settings.connect_seconds);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, settings.total_seconds);
  // A server that goes quiet half-way ends the transfer after the stall time.
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, settings.stall_seconds);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, settings.verify_tls ? 1L : 0L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, settings.verify_tls ? 2L : 0L);
  if (!settings.ca_file.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, settings.ca_file.c_str());
  return connection;
}

size_t CurlConnection::collect(char* data, size_t size, size_t count, void* state) noexcept {
  auto* s = static_cast<State*>(state);
  const size_t bytes = size * count;
  if (s->received.size() + bytes > kMaxReceived) return 0;  // libcurl ends with CURLE_WRITE_ERROR.
  try {
    s->received.append(data, bytes);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return bytes;
}

data::Result<void> CurlConnection::perform() {
  m_state->received.clear();
  m_state->error[0] = '\0';
  const CURLcode rc = curl_easy_perform(m_handle.get());
  if (rc == CURLE_OK) return {};
  const std::string detail = m_state->error[0] ? m_state->error : curl_easy_strerror(rc);
  const int code = engine_code_for(rc, response_code(), detail);
  return data::unexpected(code, engine_error_text(code) + " (" + detail + ")");
}

long CurlConnection::response_code() const {
  long code = 0;
  curl_easy_getinfo(m_handle.get(), CURLINFO_RESPONSE_CODE, &code);
  return code;
}

int engine_code_for(CURLcode code, long response_code, std::string_view detail) {
  switch (code) {
    case CURLE_OK:
      return 0;
    case CURLE_FAILED_INIT:
    case CURLE_OUT_OF_MEMORY:
      return kEngineInitFailed;
    case CURLE_URL_MALFORMAT:
      return kBadArgument;
    case CURLE_COULDNT_RESOLVE_HOST:
      return kHostNotFound;
    case CURLE_COULDNT_CONNECT:
      return kConnectFailed;
    case CURLE_OPERATION_TIMEDOUT:
      return kTimedOut;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
      return kCertificateRejected;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_USE_SSL_FAILED:
      return kTlsFailed;
    case CURLE_LOGIN_DENIED:
      return kLoginRefused;
    case CURLE_QUOTE_ERROR:
      return kMailboxCommandFailed;
    case CURLE_REMOTE_FILE_NOT_FOUND:
      return kNoSuchMessage;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
      // libcurl reports refused SMTP envelope commands as send errors.
      if (detail.starts_with("RCPT failed")) return kRecipientRefused;
      if (detail.starts_with("MAIL failed")) return kSenderRefused;
      return kConnectionDropped;
    case CURLE_WEIRD_SERVER_REPLY:
      if (response_code >= 400 && response_code < 600) return kMessageRefused;
      return kProtocolError;
    default:
      return kTransferFailed;
  }
}

}  // namespace transport
