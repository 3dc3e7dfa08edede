// The grid over a 100,000-row table: what a page, a scroll-bar jump, a row read on demand and the
// periodic redraw cost, and how many rows each reads.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "data/cdx_table_builder.h"
#include "data/message_box_sink.h"
#include "data/use_table.h"
#include "data/wtable_retry.h"
#include "ui/grid_model.h"

namespace {

constexpr long kRows = 100000;

class QuietSink final : public data::MessageBoxSink {
 public:
  int MESSAGE_BOX(std::string_view, std::string_view, int flags) override { return data::default_button(flags); }
};

// A program folder holding BASES/GRID.DBF with its CDX, removed at exit.
struct Site {
  Site() {
    std::string pattern = (std::filesystem::temp_directory_path() / "gridbench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    folder = pattern;
    std::filesystem::create_directories(folder / "BASES");
    auto table = data::DbfTable::create(folder / "BASES/GRID.DBF", {{"CODE", 'C', 6, 0}, {"NAME", 'C', 30, 0}});
    if (!table) std::abort();
    for (long i = 1; i <= kRows; ++i) {
      char code[8];
      std::snprintf(code, sizeof code, "%06ld", i);
      if (!(*table)->append()) std::abort();
      (void)(*table)->put("CODE", data::Value(std::string(code)));
      (void)(*table)->put("NAME", data::Value("Name " + std::to_string((i * 7919) % kRows)));
    }
    data::CdxPageCache cache;
    if (!data::cdx_create_tag(**table, cache, {"CODE", "CODE", "", false, false})) std::abort();
    if (!(*table)->close()) std::abort();
  }
  ~Site() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::filesystem::path folder;
};

Site& site() {
  static Site made;
  return made;
}

struct Grid {
  QuietSink sink;
  data::SteadyRetryClock clock;
  data::TableSession session{data::TableSettings{site().folder, "", 0, "", "MLS", "DBFCDX"}, sink, clock};
  std::unique_ptr<data::WDBTable> table = data::USE(session, {}, "GRID", "CODE");
  ui::GridModel model{*table};
  Grid() {
    model.set_page_rows(25);
    for (const char* field : {"CODE", "NAME"}) {
      ui::WBCOLUMN column;
      column.HEADING = field;
      column.BLOCK = [t = table.get(), field] { return t->FieldGet(field); };
      model.add_column(column);
    }
    model.refresh_all();
    model.go_top();
  }
};

void report_rows(benchmark::State& state, const Grid& grid) {
  state.counters["rows_read_per_op"] =
      benchmark::Counter(static_cast<double>(const_cast<Grid&>(grid).model.cursor().rows_read()),
                         benchmark::Counter::kAvgIterations);
}

void BM_PageDown(benchmark::State& state) {
  Grid grid;
  for (auto _ : state) {
    grid.model.page_down();
    if (grid.model.HITBOTTOM) grid.model.go_top();
  }
  report_rows(state, grid);
}
BENCHMARK(BM_PageDown);

void BM_ScrollBarJump(benchmark::State& state) {
  Grid grid;
  std::mt19937 random(7);
  std::uniform_int_distribution<long> position(1, kRows);
  for (auto _ : state) grid.model.go_to_position(position(random));
  report_rows(state, grid);
}
BENCHMARK(BM_ScrollBarJump);

// A view scrolled to a random place reads the rows it shows, one after the other.
void BM_RowsOnDemand(benchmark::State& state) {
  Grid grid;
  std::mt19937 random(11);
  std::uniform_int_distribution<long> position(0, kRows - 30);
  for (auto _ : state) {
    const long top = position(random);
    for (long i = top; i < top + 25; ++i) benchmark::DoNotOptimize(grid.model.row(i));
  }
  report_rows(state, grid);
}
BENCHMARK(BM_RowsOnDemand);

// The minute's redraw of the active dialog: row count, current row and the shown rows again.
void BM_RefreshAll(benchmark::State& state) {
  Grid grid;
  grid.model.go_to_position(kRows / 2);
  for (auto _ : state) grid.model.refresh_all();
  report_rows(state, grid);
}
BENCHMARK(BM_RefreshAll);

}  // namespace

BENCHMARK_MAIN();
