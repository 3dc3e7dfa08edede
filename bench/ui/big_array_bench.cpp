// The item store of combo boxes and list boxes: filling a list of many items, inserting at the
// front (the ripple through every full chunk) and reading by position.
#include <benchmark/benchmark.h>

#include "ui/big_array.h"

namespace {

void BM_BigArrayAppend(benchmark::State& state) {
  const auto count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    ui::BIG_ARRAY array;
    for (int n = 0; n < count; ++n) array.BAADD(data::Value(n));
    benchmark::DoNotOptimize(array.BLEN());
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BigArrayAppend)->Arg(1'000)->Arg(100'000);

void BM_BigArrayInsertAtFront(benchmark::State& state) {
  ui::BIG_ARRAY array;
  for (int n = 0; n < state.range(0); ++n) array.BAADD(data::Value(n));
  for (auto _ : state) {
    array.BAINS(1, data::Value(-1));
    array.BADEL(1);
  }
}
BENCHMARK(BM_BigArrayInsertAtFront)->Arg(1'000)->Arg(100'000);

void BM_BigArrayGet(benchmark::State& state) {
  ui::BIG_ARRAY array;
  for (int n = 0; n < 100'000; ++n) array.BAADD(data::Value(n));
  std::size_t position = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(array.GET(position).number());
    position = position % 100'000 + 1;
  }
}
BENCHMARK(BM_BigArrayGet);

}  // namespace

BENCHMARK_MAIN();
