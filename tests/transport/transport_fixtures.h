#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "../support/mail_servers.h"
#include "transport/mailbox_session.h"
#include "transport/see_engine.h"

namespace transport_test {

inline const test_support::MailServers& servers() {
  return test_support::MailServers::in(QV_MAIL_SERVERS_DIR, QV_MAIL_SERVERS_SCRIPT);
}

// A mailbox name no other test uses, so tests may run in parallel against one server.
inline std::string fresh_user() {
  static std::atomic<int> counter{0};
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string user;
  for (const char c : name) user.push_back(std::isalnum(static_cast<unsigned char>(c)) ? std::tolower(c) : '-');
  return user.substr(0, 40) + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

// A folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qv-transport-XXXXXX").string();
    m_path = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path write(const std::string& relative, const std::string& bytes) const {
    const auto file = m_path / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
  }

 private:
  std::filesystem::path m_path;
};

// An attached engine that trusts the sandbox's certificate and gives up quickly.
inline std::unique_ptr<transport::SeeEngine> sandbox_engine() {
  auto engine = std::make_unique<transport::SeeEngine>();
  EXPECT_GE(engine->seeAttach(1, 0), 0);
  engine->seeStringParam(0, transport::kCaFile, servers().ca_file());
  engine->seeIntegerParam(0, transport::kConnectSeconds, 5);
  engine->seeIntegerParam(0, transport::kStallSeconds, 5);
  return engine;
}

// Every message of a sandbox mailbox, raw, read over IMAP.
inline std::vector<std::string> raw_messages(const std::string& user) {
  transport::ConnectionSettings settings;
  settings.ca_file = servers().ca_file();
  auto session = transport::MailboxSession::open(
      {transport::MailboxProtocol::ImapTls, servers().host(), servers().port("IMAPS_PORT"), user, servers().password()},
      settings);
  EXPECT_TRUE(session) << (session ? "" : session.error().text);
  std::vector<std::string> messages;
  if (!session) return messages;
  for (int i = 1; i <= session->count(); ++i) {
    auto raw = session->fetch(i);
    EXPECT_TRUE(raw);
    if (raw) messages.push_back(*raw);
  }
  return messages;
}

}  // namespace transport_test
