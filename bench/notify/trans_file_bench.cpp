// TRANS_FILE on a 1 MB template with 600 placeholders: bytes of template per second, and the most
// heap the expansion held at once (peak_heap_bytes) against three 5000-character chunks.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <string>

#include "notify/trans_file.h"

// The counting operator new hands out malloc's memory, so its operator delete frees it.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void count_allocation(void* p) {
  if (!p) return;
  const long long now = g_live += static_cast<long long>(malloc_usable_size(p));
  long long peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  count_allocation(p);
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
  if (!p) return;
  g_live -= static_cast<long long>(malloc_usable_size(p));
  std::free(p);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

constexpr int kPlaceholders = 600;
constexpr std::size_t kTemplateBytes = 1 << 20;

std::string placeholder(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "XCAMPO%03d", i);
  return text;
}

// A site folder with a 1 MB HTML template naming each of the 600 placeholders about three times,
// and a few local and web images.
struct Site {
  Site() {
    root = std::filesystem::temp_directory_path() / ("qv_trans_file_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(root);
    std::mt19937 random(7);
    std::string text = "<html><body><img src=\"logo.jpg\"><img src=\"http://cdn.hotel.test/banner.gif\">\n";
    while (text.size() < kTemplateBytes) {
      text += "<tr><td class=\"etiqueta\">Habitación doble con vista al mar</td><td>";
      text += placeholder(static_cast<int>(random() % kPlaceholders));
      text += "</td><td>Tarifa por noche, impuestos incluidos.</td></tr>\n";
    }
    text += "<img src=\"firma.png\"></body></html>\n";
    source = root / "PLANTILLA.HTM";
    std::ofstream(source, std::ios::binary) << text;
    bytes = text.size();
    for (int i = 0; i < kPlaceholders; ++i) {
      pairs.push_back({placeholder(i), "Valor " + std::to_string(i) + " — Peñón de Añil"});
    }
  }
  ~Site() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
  std::filesystem::path root;
  std::filesystem::path source;
  std::size_t bytes = 0;
  notify::SubstitutionList pairs;
};

void expand(benchmark::State& state, notify::TemplateMode mode) {
  static const Site site;
  const std::filesystem::path target = site.root / "T0000001.HTM";
  long long peak = 0;
  for (auto _ : state) {
    g_peak = g_live.load();
    const long long before = g_live.load();
    auto result = notify::TRANS_FILE(site.source, target, site.pairs, mode);
    if (!result || result->template_error) state.SkipWithError("expansion failed");
    peak = std::max(peak, g_peak.load() - before);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * site.bytes));
  state.counters["peak_heap_bytes"] = static_cast<double>(peak);
  state.counters["three_chunks_bytes"] = 3.0 * 5000;
}

void BM_TransFileSubstitute(benchmark::State& state) { expand(state, notify::TemplateMode::SubstituteOnly); }
void BM_TransFileEmbedImages(benchmark::State& state) { expand(state, notify::TemplateMode::EmbedImages); }

BENCHMARK(BM_TransFileSubstitute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransFileEmbedImages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
