// Building and sending a batch of ten 50 kB HTML messages with two embedded images over
// one SMTP connection to the local mail sandbox, against the curl program sending the
// same ten messages, already built, over one connection. Both deliver into Dovecot, so
// the difference is what the engine adds.
#include <benchmark/benchmark.h>
#include <gmime/gmime.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "transport/message_builder.h"
#include "transport/see_engine.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMessages = 10;

struct Sandbox {
  fs::path folder;
  std::map<std::string, std::string> env;
  std::string body_file;
  std::string images;
  std::vector<std::string> prepared;  // The same messages built once, for curl.

  Sandbox() {
    folder = fs::temp_directory_path() / ("qv-transport-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path script = fs::path(__FILE__).parent_path() / "../../tests/support/mail_servers.py";
    const std::string start = "/usr/bin/python3 " + script.string() + " start " + (folder / "servers").string() + " >/dev/null";
    if (std::system(start.c_str()) != 0) std::abort();
    std::ifstream in(folder / "servers" / "servers.env");
    for (std::string line; std::getline(in, line);) {
      const auto equals = line.find('=');
      if (equals != std::string::npos) env[line.substr(0, equals)] = line.substr(equals + 1);
    }
    std::string html = "<html><body><img src=\"cid:message-root.1\"><img src=\"cid:message-root.2\">";
    while (html.size() < 50 * 1024) html += "<p>Reservación confirmada para el huésped número 12345, habitación 204.</p>\n";
    html += "</body></html>";
    body_file = (folder / "T0000001.HTM").string();
    std::ofstream(body_file) << html;
    std::string picture(8 * 1024, '\0');
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<char>(i * 31 % 256);
    std::ofstream(folder / "logo.jpg", std::ios::binary) << picture;
    std::ofstream(folder / "firma.png", std::ios::binary) << picture;
    images = (folder / "logo.jpg").string() + ";" + (folder / "firma.png").string();

    g_mime_init();
    for (int i = 0; i < kMessages; ++i) {
      transport::OutgoingMail mail;
      mail.from = "Hotel <hotel@localhost>";
      mail.to = {"bench@localhost"};
      mail.subject = "Confirmación " + std::to_string(i);
      mail.body = "@" + body_file;
      mail.images = {folder / "logo.jpg", folder / "firma.png"};
      auto raw = transport::build_message(mail);
      const std::string name = (folder / ("m" + std::to_string(i) + ".eml")).string();
      std::ofstream(name, std::ios::binary) << *raw;
      prepared.push_back(name);
    }
  }
  ~Sandbox() {
    const fs::path script = fs::path(__FILE__).parent_path() / "../../tests/support/mail_servers.py";
    const std::string stop = "/usr/bin/python3 " + script.string() + " stop " + (folder / "servers").string() + " >/dev/null";
    static_cast<void>(std::system(stop.c_str()));
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

Sandbox& sandbox() {
  static Sandbox instance;
  return instance;
}

void BM_EngineBuildsAndSendsTenMessages(benchmark::State& state) {
  Sandbox& box = sandbox();
  for (auto _ : state) {
    transport::SeeEngine engine;
    engine.seeAttach(1, 0);
    engine.seeIntegerParam(0, transport::kSmtpPort, std::stoi(box.env["SMTP_PLAIN_PORT"]));
    if (engine.seeSmtpConnect(0, "127.0.0.1", "<hotel@localhost>", "") < 0) state.SkipWithError("connect");
    engine.seeStringParam(0, transport::kSenderDisplay, "Hotel <hotel@localhost>");
    for (int i = 0; i < kMessages; ++i) {
      if (engine.seeSendHTML(0, "<bench@localhost>", "", "", "Confirmación " + std::to_string(i), "@" + box.body_file,
                             box.images, "", "") < 0)
        state.SkipWithError("send");
    }
    engine.seeClose(0);
  }
  state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_EngineBuildsAndSendsTenMessages)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_CurlProgramSendsTenPreparedMessages(benchmark::State& state) {
  Sandbox& box = sandbox();
  std::string files;
  for (const std::string& name : box.prepared) files += (files.empty() ? "" : ",") + name;
  const std::string command = "curl -s smtp://127.0.0.1:" + box.env["SMTP_PLAIN_PORT"] +
                              "/ --mail-from hotel@localhost --mail-rcpt bench@localhost -T '{" + files + "}'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("curl");
  }
  state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_CurlProgramSendsTenPreparedMessages)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
