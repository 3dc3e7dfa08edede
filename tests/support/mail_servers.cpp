#include "mail_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace test_support {

namespace {

std::map<std::string, std::string> read_env(const std::string& folder) {
  std::map<std::string, std::string> values;
  std::ifstream in(folder + "/servers.env");
  std::string line;
  while (std::getline(in, line)) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

bool accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

std::string started_folder;
std::string started_script;

void stop_started() {
  const std::string command = "/usr/bin/python3 " + started_script + " stop " + started_folder + " >/dev/null 2>&1";
  static_cast<void>(std::system(command.c_str()));
}

}  // namespace

const MailServers& MailServers::in(const std::string& folder, const std::string& script) {
  static std::unique_ptr<MailServers> servers;
  if (servers) return *servers;
  auto values = read_env(folder);
  const bool running = values.count("IMAP_PORT") && values.count("SMTP_PORT") &&
                       accepts(std::stoi(values["IMAP_PORT"])) && accepts(std::stoi(values["SMTP_PORT"]));
  if (!running) {
    const std::string command = "/usr/bin/python3 " + script + " start " + folder + " >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("cannot start the mail servers in " + folder);
    started_folder = folder;
    started_script = script;
    std::atexit(stop_started);
    values = read_env(folder);
  }
  servers = std::make_unique<MailServers>();
  servers->m_values = std::move(values);
  return *servers;
}

std::string MailServers::value(const std::string& key) const {
  const auto found = m_values.find(key);
  if (found == m_values.end()) throw std::runtime_error("servers.env has no " + key);
  return found->second;
}

}  // namespace test_support
