// The contest report's cost on big logs, once the plug-in holds the log.
// Run: build/bench/report_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include "bench/synthetic_log.h"
#include "report/report_page.h"

namespace velmora {
namespace {

struct Loaded {
  explicit Loaded(std::size_t n) {
    fixture.module.ResetStats(fixture.Reset());
    for (const QsoArgs& q : MakeLog(n)) fixture.module.AddData(q);
  }
  ReportInput Input() const {
    ReportInput in = ReportInputOf(fixture.module);
    in.start = COleDateTime::FromParts(2017, 6, 3, 0, 0, 0);
    in.end = COleDateTime::FromParts(2017, 6, 3, 23, 59, 0);
    return in;
  }
  testing::ModuleFixture fixture;
};

// From the plug-in's tables to the finished page: the copies, the figures
// and the rendering.
void WholeReport(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string page = RenderReportPage(BuildContestReport(loaded.Input()));
    bytes = page.size();
    benchmark::DoNotOptimize(page.data());
  }
  state.counters["page_kB"] = static_cast<double>(bytes) / 1000.0;
  state.counters["per_qso"] = benchmark::Counter(
      static_cast<double>(state.range(0)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Figures(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    ReportInput in = loaded.Input();
    state.ResumeTiming();
    benchmark::DoNotOptimize(BuildContestReport(std::move(in)));
  }
}

void Render(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  const ContestReport report = BuildContestReport(loaded.Input());
  for (auto _ : state) benchmark::DoNotOptimize(RenderReportPage(report));
}

BENCHMARK(WholeReport)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(Figures)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(Render)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
