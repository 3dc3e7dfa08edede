// One dispatch pass over an outbox of 1,000,000 rows of which 10 wait, with an SMTP side that
// answers at once: what the pass costs outside the SMTP conversation (seeks, row updates under the
// record lock with every index tag, heartbeats). Between passes the 10 rows are put back to waiting.
// Argument 1 writes the heartbeat file on every pass of the loop as the Center does; argument 0
// leaves it out, to show the step's own cost apart from the heartbeat file's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <random>

#include "data/cdx_table_builder.h"
#include "data/cdx_table_index.h"
#include "data/dbf_field_codec.h"
#include "data/heartbeat.h"
#include "data/message_box_sink.h"
#include "data/record_lock.h"
#include "data/schema_catalogue.h"
#include "data/site_builder.h"
#include "data/use_table.h"
#include "data/wtable_retry.h"
#include "data/wtable_session.h"
#include "notify/outbox_dispatch.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kRows = 1'000'000;
constexpr std::uint32_t kWaiting = 10;

bool is_waiting(std::uint32_t recno) { return recno % (kRows / kWaiting) == 0; }

// The program folder with the outbox, built once per run: rows go straight into the file in large
// writes, then the production index is rebuilt from them.
class BenchSite {
 public:
  BenchSite() {
    m_root = fs::temp_directory_path() / ("qv_outbox_bench_" + std::to_string(::getpid()));
    fs::remove_all(m_root);
    fs::create_directories(m_root / "BASES");
    auto catalogue = data::SchemaCatalogue::load(data::SchemaCatalogue::default_folder());
    if (!catalogue) std::abort();
    const data::SiteBuilder builder(*catalogue, data::cdx_index_creator(m_cache));
    for (const char* name : {"E_MSGS", "E2_MSGS"}) {
      if (!builder.create_table(*catalogue->find(name), m_root / "BASES")) std::abort();
    }
    write_rows(m_root / "BASES/E_MSGS.DBF");
  }
  ~BenchSite() { fs::remove_all(m_root); }
  const fs::path& root() const { return m_root; }

 private:
  void write_rows(const fs::path& path) {
    std::size_t header_length = 0, length = 0;
    std::vector<data::DbfField> fields;
    {
      auto table = data::DbfTable::open(path);
      if (!table) std::abort();
      header_length = (*table)->header().header_length;
      length = (*table)->header().record_length;
      fields = (*table)->header().fields;
      (void)(*table)->close();
    }
    const std::uint32_t block_rows = 10000;
    std::vector<std::byte> block(length * block_rows);
    const int fd = ::open(path.c_str(), O_WRONLY);
    for (std::uint32_t first = 0; first < kRows; first += block_rows) {
      for (std::uint32_t i = 0; i < block_rows; ++i) {
        const std::uint32_t recno = first + i + 1;
        std::span<std::byte> row(block.data() + i * length, length);
        std::fill(row.begin(), row.end(), std::byte{' '});
        char hora[16], key[32];
        std::snprintf(hora, sizeof hora, "%02u:%02u:%02u", recno / 3600 % 24, recno / 60 % 60, recno % 60);
        std::snprintf(key, sizeof key, "20261211%10u", recno);
        const bool waiting = is_waiting(recno);
        for (const data::DbfField& field : fields) {
          data::Value value;
          if (field.name == "FECHA") value = data::Date::from_ymd(2020 + recno % 7, 1 + recno % 12, 1 + recno % 28);
          else if (field.name == "HORA") value = data::Value(hora);
          else if (field.name == "MAIL") value = data::Value(key);
          else if (field.name == "NEGOCIO") value = data::Value("H01");
          else if (field.name == "TO_USER") value = data::Value("cliente" + std::to_string(recno) + "@hotel.test");
          else if (field.name == "SUBJECT") value = data::Value("Confirmación de reserva");
          else if (field.name == "LISTO") value = data::Value(1);
          else if (field.name == "ENVIADO") value = data::Value(waiting ? 0 : 1);
          else if (field.type == 'N') value = data::Value(0);
          else if (field.type == 'M') continue;
          else value = data::Value("");
          (void)data::encode_value(field, value, data::CodePage::Windows1252, row.subspan(field.offset, field.width));
        }
      }
      (void)::pwrite(fd, block.data(), block.size(), static_cast<off_t>(header_length + std::size_t{first} * length));
    }
    const std::uint8_t count[4] = {static_cast<std::uint8_t>(kRows), static_cast<std::uint8_t>(kRows >> 8),
                                   static_cast<std::uint8_t>(kRows >> 16), static_cast<std::uint8_t>(kRows >> 24)};
    (void)::pwrite(fd, count, 4, 4);
    ::close(fd);
    data::TableOpenOptions options;
    options.share = data::Share::Exclusive;
    options.production_index = data::cdx_index_opener(m_cache);
    auto table = data::DbfTable::open(path, options);
    if (!table || !data::cdx_reindex(**table, m_cache)) std::abort();
    (void)(*table)->close();
  }

  fs::path m_root;
  data::CdxPageCache m_cache{65536};
};

// The Center's side: fields are kept as text, the heartbeat file is really written.
class BenchHost final : public notify::DispatchHost {
 public:
  BenchHost(const fs::path& root, bool beats) : m_folder(root), m_beats(beats) {}
  void set_field_text(int id, const std::string& text) override { m_last[id % 8] = text; }
  void set_main_title(const std::string& text) override { m_title = text; }
  bool is_main_iconic() const override { return false; }
  void repaint() override {}
  void trace(std::string_view) override {}
  void multitask(int) override {}
  void heartbeat() override {
    if (m_beats) data::HEARTBEAT(m_folder, data::kMailServerBeat, data::Date::from_ymd(2026, 12, 11), "10:00:00");
  }

 private:
  data::ProgramFolder m_folder;
  bool m_beats;
  std::string m_last[8];
  std::string m_title;
};

class InstantSmtp final : public notify::OutboxTransport {
 public:
  int connect() override { return 0; }
  int send(const notify::OutboxMessage&) override { return 0; }
  void disconnect() override {}
};

void BM_DispatchPassOverAMillionRowOutbox(benchmark::State& state) {
  static const BenchSite site;
  data::HeadlessMessageBoxSink messages(std::cerr);
  data::SteadyRetryClock retry;
  data::TableSession session(data::TableSettings{site.root(), "", 0, "", "MLS", "DBFCDX"}, messages, retry);
  auto msgs = data::USE(session, {}, "E_MSGS", "E_MSGS4");
  auto extras = data::USE(session, {}, "E2_MSGS", "E2_MSGS");
  auto reset = data::USE(session, {}, "E_MSGS", "");
  BenchHost host(site.root(), state.range(0) != 0);
  InstantSmtp smtp;
  const data::ManualClock clock(data::Date::from_ymd(2026, 12, 11), "10:00:00");
  int nSent = 0, nError = 0, in_sending = 0;
  const notify::DispatchContext context{host,  *msgs, *extras, smtp,   clock,     data::ProgramFolder(site.root()),
                                        "127.0.0.1", "hotel@hotel.test", nSent, nError, in_sending};
  for (auto _ : state) {
    in_sending = 1;
    notify::dispatch_outbox(context);
    state.PauseTiming();
    if (nSent % kWaiting != 0) state.SkipWithError("not every waiting row was sent");
    for (std::uint32_t recno = kRows / kWaiting; recno <= kRows; recno += kRows / kWaiting) {
      reset->GoTo(recno);
      data::RecordLock lock{*reset};
      reset->put("ENVIADO", data::Value(0));
      lock.commit();
    }
    state.ResumeTiming();
  }
  state.counters["rows_sent_per_pass"] = static_cast<double>(nSent) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_DispatchPassOverAMillionRowOutbox)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
