#pragma once

#include <curl/curl.h>

#include <memory>
#include <string>
#include <string_view>

#include "data/result.h"

namespace transport {

struct CurlEasyCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyCleanup>;

struct CurlListFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlList = std::unique_ptr<curl_slist, CurlListFree>;

// Limits and TLS trust shared by every connection of the engine.
struct ConnectionSettings {
  long connect_seconds = 20;  // TCP connect, TLS handshake and greeting.
  long stall_seconds = 60;    // Longest silence in the middle of a transfer.
  long total_seconds = 900;   // Longest single transfer (a 20 MB attachment on a slow line).
  bool verify_tls = true;     // False accepts any certificate: the per-site switch for self-signed ones.
  std::string ca_file;        // Extra trusted certificate file; empty uses the system's store.
};

// One libcurl easy handle with the options every transfer needs and a buffer that
// collects what the server sends. Kept between transfers so the connection is reused.
class CurlConnection {
 public:
  // Fails with kEngineInitFailed when libcurl cannot make a handle.
  static data::Result<CurlConnection> open(const ConnectionSettings& settings);

  CURL* handle() const { return m_handle.get(); }

  // Runs one transfer; what the server sends lands in received(). A failure is one of
  // the engine's codes with a sentence that includes libcurl's detail, never a password.
  data::Result<void> perform();
  const std::string& received() const { return m_state->received; }
  long response_code() const;

 private:
  struct State {
    std::string received;
    char error[CURL_ERROR_SIZE] = {};
  };
  static size_t collect(char* data, size_t size, size_t count, void* state) noexcept;

  CurlEasy m_handle;
  std::unique_ptr<State> m_state;  // Stable address for libcurl's pointers.
};

// The engine code for a libcurl failure. `detail` is libcurl's own message.
int engine_code_for(CURLcode code, long response_code, std::string_view detail);

}  // namespace transport
