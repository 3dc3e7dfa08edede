// How fast key and FOR expressions evaluate against a row held in memory: every append
// and every rewrite evaluates each tag's key once or twice, and a reindex once per row.
#include <benchmark/benchmark.h>

#include <vector>

#include "data/expr_expression.h"
#include "data/expr_memory_source.h"

namespace data {
namespace {

constexpr std::size_t kRows = 64;

// Rows of the shape of the sample tables, with varied values so branches do not settle.
std::vector<MemoryFieldSource> sample_rows() {
  constexpr const char* kNegocios[] = {"ALFA", "ÑANDÚ", "PINGÜINO", "Árbol", "", "PANADERÍA AÑEJA"};
  std::vector<MemoryFieldSource> rows;
  for (std::size_t i = 1; i <= kRows; ++i) {
    MemoryFieldSource row({{"NEGOCIO", {'C', 15, 0}},
                           {"CODIGO", {'C', 10, 0}},
                           {"FECHA", {'D', 8, 0}},
                           {"MONTO", {'N', 12, 2}},
                           {"ENVIADO", {'N', 1, 0}}});
    row.set("NEGOCIO", kNegocios[i % std::size(kNegocios)]);
    row.set("CODIGO", "COD" + std::to_string(7919 * i % 99991));
    row.set("FECHA",
            i % 97 == 0 ? Date{} : Date::from_ymd(2024, 1, 1) + static_cast<std::int32_t>(13 * i % 800));
    row.set("MONTO", static_cast<double>(static_cast<long>(7331 * i % 200000) - 50000) / 100);
    row.set("ENVIADO", static_cast<int>(i % 10 < 3 ? 0 : 1));
    rows.push_back(std::move(row));
  }
  return rows;
}

void run_text(benchmark::State& state, const char* text) {
  const std::vector<MemoryFieldSource> rows = sample_rows();
  const Expression expression = *Expression::compile(text, rows[0]);
  std::string out;
  std::size_t i = 0;
  for (auto _ : state) {
    expression.evaluate_text(rows[i++ % kRows], out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ConcatKey(benchmark::State& state) { run_text(state, "NEGOCIO+DTOS(FECHA)"); }
void BM_StrKey(benchmark::State& state) { run_text(state, "STR(MONTO,12,2)"); }
void BM_UpperKey(benchmark::State& state) { run_text(state, "UPPER(CODIGO)"); }

// The bytes a tag stores, through the code-page conversion.
void BM_ConcatKeyBytes(benchmark::State& state) {
  const std::vector<MemoryFieldSource> rows = sample_rows();
  const Expression expression = *Expression::compile("NEGOCIO+DTOS(FECHA)", rows[0]);
  std::string out;
  std::size_t i = 0;
  for (auto _ : state) {
    expression.key(rows[i++ % kRows], out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}

// A FOR condition.
void BM_ForCondition(benchmark::State& state) {
  const std::vector<MemoryFieldSource> rows = sample_rows();
  const Expression expression = *Expression::compile("ENVIADO = 0", rows[0]);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(expression.evaluate_logical(rows[i++ % kRows]));
  }
  state.SetItemsProcessed(state.iterations());
}

// The general path, building a Value each time.
void BM_ConcatKeyAsValue(benchmark::State& state) {
  const std::vector<MemoryFieldSource> rows = sample_rows();
  const Expression expression = *Expression::compile("NEGOCIO+DTOS(FECHA)", rows[0]);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(expression.evaluate(rows[i++ % kRows]));
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Compile(benchmark::State& state) {
  const std::vector<MemoryFieldSource> rows = sample_rows();
  for (auto _ : state) {
    benchmark::DoNotOptimize(Expression::compile("STR(ENVIADO,1)+DTOS(FECHA)+UPPER(CODIGO)", rows[0]));
  }
}

BENCHMARK(BM_ConcatKey);
BENCHMARK(BM_StrKey);
BENCHMARK(BM_UpperKey);
BENCHMARK(BM_ConcatKeyBytes);
BENCHMARK(BM_ForCondition);
BENCHMARK(BM_ConcatKeyAsValue);
BENCHMARK(BM_Compile);

}  // namespace
}  // namespace data

BENCHMARK_MAIN();
