// Speed of the production index on a table of 1,000,000 rows of 100 bytes with four tags
// (NEGOCIO+CODIGO, NEGOCIO+DTOS(FECHA), STR(MONTO,12,2), UPPER(CODIGO) descending), opened
// shared with the index lock taken as the other programs take it. Files stay in the OS
// cache; nothing is synced.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "data/cdx_table_builder.h"
#include "data/cdx_table_index.h"
#include "data/dbf_field_codec.h"

namespace data {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kRows = 1'000'000;

std::string business(std::uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "HOTEL%04u", n % 200);
  return text;
}
std::string code(std::uint32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "C%07u", n);
  return text;
}

// The benchmark table, built once per run in a temporary folder.
class BenchTable {
 public:
  BenchTable() {
    m_folder = fs::temp_directory_path() / ("qv_cdx_bench_" + std::to_string(::getpid()));
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    m_path = m_folder / "BENCH.DBF";
    const TableStructure structure{{"NEGOCIO", 'C', 15, 0}, {"CODIGO", 'C', 10, 0}, {"FECHA", 'D', 8, 0},
                                   {"MONTO", 'N', 12, 2},   {"ACTIVO", 'L', 1, 0},  {"NOTA", 'C', 53, 0}};
    {
      auto created = DbfTable::create(m_path, structure);
      if (!created) std::abort();
      m_header_length = (*created)->header().header_length;
      m_fields = (*created)->header().fields;
      (void)(*created)->close();
    }
    write_rows();
    auto table = open(Share::Exclusive);
    const CdxTagDefinition tags[] = {{"T1", "NEGOCIO+CODIGO", "", false, false},
                                     {"T2", "NEGOCIO+DTOS(FECHA)", "", false, false},
                                     {"T3", "STR(MONTO,12,2)", "", false, false},
                                     {"T4", "UPPER(CODIGO)", "", true, false}};
    for (const CdxTagDefinition& tag : tags)
      if (!cdx_create_tag(*table, m_cache, tag)) std::abort();
    (void)table->close();
  }
  ~BenchTable() { fs::remove_all(m_folder); }

  std::unique_ptr<DbfTable> open(Share share) {
    TableOpenOptions options;
    options.share = share;
    options.production_index = cdx_index_opener(m_cache);
    auto table = DbfTable::open(m_path, options);
    if (!table) std::abort();
    return std::move(*table);
  }
  CdxPageCache& cache() { return m_cache; }
  std::uint32_t rows = kRows;

 private:
  // Rows go straight into the file in large writes; the header then gets the count.
  void write_rows() {
    const std::size_t length = 100;
    std::vector<std::byte> block(length * 10000);
    std::mt19937 rng(5);
    const int fd = ::open(m_path.c_str(), O_WRONLY);
    for (std::uint32_t first = 0; first < kRows; first += 10000) {
      for (std::uint32_t i = 0; i < 10000; ++i) {
        const std::uint32_t n = first + i;
        std::span<std::byte> row(block.data() + i * length, length);
        row[0] = std::byte{' '};
        const Value values[] = {Value(business(rng())), Value(code(n)),
                                Value(Date::from_ymd(2020 + rng() % 7, 1 + rng() % 12, 1 + rng() % 28)),
                                Value((static_cast<double>(rng() % 2000000) - 1000000) / 100.0), Value(true),
                                Value("nota")};
        for (std::size_t f = 0; f < m_fields.size(); ++f)
          (void)encode_value(m_fields[f], values[f], CodePage::Windows1252,
                             row.subspan(m_fields[f].offset, m_fields[f].width));
      }
      (void)::pwrite(fd, block.data(), block.size(), m_header_length + static_cast<off_t>(first) * length);
    }
    const std::uint8_t count[4] = {static_cast<std::uint8_t>(kRows), static_cast<std::uint8_t>(kRows >> 8),
                                   static_cast<std::uint8_t>(kRows >> 16), static_cast<std::uint8_t>(kRows >> 24)};
    (void)::pwrite(fd, count, 4, 4);
    ::close(fd);
  }

  fs::path m_folder;
  fs::path m_path;
  std::size_t m_header_length = 0;
  std::vector<DbfField> m_fields;
  CdxPageCache m_cache{65536};
};

BenchTable& bench_table() {
  static BenchTable table;  // Built once: a million rows take seconds.
  return table;
}

void BM_SeekExact(benchmark::State& state) {
  auto table = bench_table().open(Share::Shared);
  if (!table->set_order("T1")) std::abort();
  std::mt19937 rng(1);
  std::vector<Value> keys;
  for (int i = 0; i < 4096; ++i) {
    // Business and code of an existing row: the full 25-byte key.
    const std::uint32_t n = rng() % kRows;
    if (!table->go_to(n + 1)) std::abort();
    keys.emplace_back(table->text(1) + table->text(2));
  }
  std::size_t i = 0;
  benchmark::IterationCount found = 0;
  for (auto _ : state) {
    auto r = table->seek(keys[i++ & 4095]);
    found += r && *r;
  }
  if (found != state.iterations()) state.SkipWithError("a seek missed");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SeekExact);

void BM_SkipInTagOrder(benchmark::State& state) {
  auto table = bench_table().open(Share::Shared);
  if (!table->set_order("T2") || !table->go_top()) std::abort();
  for (auto _ : state) {
    if (!table->skip(1)) std::abort();
    if (table->eof() && !table->go_top()) std::abort();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SkipInTagOrder);

void BM_AppendWithFourTags(benchmark::State& state) {
  auto table = bench_table().open(Share::Shared);
  std::uint32_t n = kRows + 1;
  for (auto _ : state) {
    if (!table->append()) std::abort();
    (void)table->put(1, Value(business(n)));
    (void)table->put(2, Value(code(n)));
    (void)table->put(3, Value(Date::from_ymd(2026, 1 + n % 12, 1 + n % 28)));
    (void)table->put(4, Value(static_cast<double>(n % 100000) / 10.0));
    if (!table->unlock()) std::abort();
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendWithFourTags);

void BM_ChangeTwoKeyFields(benchmark::State& state) {
  auto table = bench_table().open(Share::Shared);
  std::mt19937 rng(3);
  for (auto _ : state) {
    const std::uint32_t recno = 1 + rng() % kRows;
    if (!table->go_to(recno) || !table->lock_current()) std::abort();
    (void)table->put(2, Value(code(kRows * 2 + rng() % kRows)));
    (void)table->put(4, Value(static_cast<double>(rng() % 100000) / 10.0));
    if (!table->unlock()) std::abort();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChangeTwoKeyFields);

void BM_OpenCloseWithIndex(benchmark::State& state) {
  bench_table();
  for (auto _ : state) {
    auto table = bench_table().open(Share::Shared);
    if (!table->close()) std::abort();
  }
}
BENCHMARK(BM_OpenCloseWithIndex)->Unit(benchmark::kMicrosecond);

void BM_ReindexFourTags(benchmark::State& state) {
  bench_table();
  for (auto _ : state) {
    auto table = bench_table().open(Share::Exclusive);
    if (!cdx_reindex(*table, bench_table().cache())) std::abort();
    (void)table->close();
  }
}
BENCHMARK(BM_ReindexFourTags)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace data

BENCHMARK_MAIN();
