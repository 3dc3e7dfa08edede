#pragma once

#include <map>
#include <string>

namespace test_support {

// The local mail sandbox of tests/support/mail_servers.py: Dovecot (IMAP, IMAPS, POP3,
// POP3S) and SMTP servers that deliver into it, on free ports of 127.0.0.1. Every user
// name logs in with password(), so each test reads a mailbox of its own.
class MailServers {
 public:
  // The servers described by `folder`/servers.env. Under CTest a fixture test started
  // them; when they are not running (a test program started by hand) they are started
  // here with `script` (mail_servers.py) and stopped when the program ends.
  static const MailServers& in(const std::string& folder, const std::string& script);

  std::string host() const { return value("HOST"); }
  int port(const std::string& name) const { return std::stoi(value(name)); }  // "SMTP_PORT", "IMAPS_PORT", …
  std::string password() const { return value("PASSWORD"); }
  std::string ca_file() const { return value("CA_FILE"); }
  std::string value(const std::string& key) const;

 private:
  std::map<std::string, std::string> m_values;
};

}  // namespace test_support
