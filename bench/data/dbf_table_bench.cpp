// Speed of the table engine on a 1,000,000-row table of 100-byte rows, from the OS cache.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <malloc.h>

#include <filesystem>
#include <random>

#include "data/dbf_table.h"

namespace data {
namespace {

constexpr std::uint32_t kRows = 1'000'000;
const TableStructure kStructure = {
    {"NOMBRE", 'C', 40, 0}, {"CODIGO", 'C', 10, 0}, {"FECHA", 'D', 8, 0},
    {"MONTO", 'N', 12, 2},  {"ACTIVO", 'L', 1, 0},  {"CIUDAD", 'C', 28, 0},
};  // 100 bytes with the deletion flag.

// A temporary folder for the benchmark tables, removed at exit.
struct BenchFolder {
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qvbench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern;
  }
  ~BenchFolder() { std::filesystem::remove_all(path); }
  std::filesystem::path path;
};

BenchFolder& folder() {
  static BenchFolder instance;
  return instance;
}

void fill(DbfTable& table, std::uint32_t rows) {
  const Date base = Date::from_ymd(2024, 1, 1);
  for (std::uint32_t i = 1; i <= rows; ++i) {
    (void)table.append();
    (void)table.put(1, "Huésped número " + std::to_string(i));
    (void)table.put(3, base + static_cast<std::int32_t>(i % 800));
    (void)table.put(4, static_cast<double>(i % 100000) / 100.0);
    if (i % 10 == 3) (void)table.delete_record();
  }
}

const std::filesystem::path& million_row_table() {
  static const std::filesystem::path path = [] {
    const std::filesystem::path p = folder().path / "MILLION.DBF";
    auto table = DbfTable::create(p, kStructure);
    fill(**table, kRows);
    (void)(*table)->close();
    return p;
  }();
  return path;
}

std::unique_ptr<DbfTable> open_million(Share share) {
  TableOpenOptions options;
  options.share = share;
  return std::move(*DbfTable::open(million_row_table(), options));
}

// Heap bytes in use: the engine's own memory, which must not grow with the table. (The
// resident set of an exclusive scan also counts the file pages mapped from the OS cache.)
double heap_bytes() { return static_cast<double>(mallinfo2().uordblks); }

// GoTop to EOF in physical order, reading a text, a date and a number from each row.
void BM_SequentialScanThreeFields(benchmark::State& state) {
  auto table = open_million(state.range(0) ? Share::Exclusive : Share::Shared);
  std::int64_t rows = 0;
  for (auto _ : state) {
    double sum = 0;
    for ((void)table->go_top(); !table->eof(); (void)table->skip()) {
      benchmark::DoNotOptimize(table->text(1));
      benchmark::DoNotOptimize(table->date(3));
      sum += table->number(4);
      ++rows;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(rows);
  state.counters["heap_bytes"] = heap_bytes();
}
BENCHMARK(BM_SequentialScanThreeFields)->Arg(0)->Arg(1)->ArgName("exclusive")->Unit(benchmark::kMillisecond);

void BM_RandomGoToThreeFields(benchmark::State& state) {
  auto table = open_million(state.range(0) ? Share::Exclusive : Share::Shared);
  std::mt19937 random(42);
  std::uniform_int_distribution<std::uint32_t> recno(1, kRows);
  for (auto _ : state) {
    (void)table->go_to(recno(random));
    benchmark::DoNotOptimize(table->text(1));
    benchmark::DoNotOptimize(table->date(3));
    benchmark::DoNotOptimize(table->number(4));
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["heap_bytes"] = heap_bytes();
}
BENCHMARK(BM_RandomGoToThreeFields)->Arg(0)->Arg(1)->ArgName("exclusive");

// Appends rows with three fields each to a new exclusive table without indexes.
void BM_AppendExclusive(benchmark::State& state) {
  int round = 0;
  std::int64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::filesystem::path path = folder().path / ("APPEND" + std::to_string(round++) + ".DBF");
    auto table = std::move(*DbfTable::create(path, kStructure));
    state.ResumeTiming();
    fill(*table, 100'000);
    (void)table->close();
    rows += 100'000;
    state.PauseTiming();
    std::filesystem::remove(path);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(rows);
}
BENCHMARK(BM_AppendExclusive)->Unit(benchmark::kMillisecond);

// Shared appends take the append lock and rewrite the header for every row.
void BM_AppendShared(benchmark::State& state) {
  const std::filesystem::path path = folder().path / "SHARED.DBF";
  std::filesystem::remove(path);
  std::filesystem::remove(folder().path / "SHARED.FPT");
  (void)(*DbfTable::create(path, kStructure))->close();
  TableOpenOptions options;
  auto shared = std::move(*DbfTable::open(path, options));
  for (auto _ : state) {
    (void)shared->append();
    (void)shared->put(1, "Huésped");
    (void)shared->put(4, 12.5);
    (void)shared->unlock();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendShared);

}  // namespace
}  // namespace data

BENCHMARK_MAIN();
