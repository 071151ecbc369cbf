// The engine's costs on big logs, each beside the plain-scan baseline (the
// rules written as straight scans over the log) measured in the same run.
// Run: build/bench/engine_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <algorithm>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/synthetic_log.h"
#include "results/result_text.h"
#include "testing/module_fixture.h"
#include "testing/plain_scan_engine.h"

namespace velmora {
namespace {

struct Loaded {
  explicit Loaded(std::size_t n) : log(MakeLog(n)) {
    fixture.module.ResetStats(fixture.Reset());
    for (const QsoArgs& q : log) fixture.module.AddData(q);
  }
  std::vector<QsoArgs> log;
  testing::ModuleFixture fixture;
};

struct LoadedPlain {
  explicit LoadedPlain(std::size_t n) : log(MakeLog(n)) {
    station.StationPrefix = "DL";
    station.StationContinent = "EU";
    engine.Reset(station);
    for (const QsoArgs& q : log) engine.Add(q);
  }
  std::vector<QsoArgs> log;
  Station station;
  testing::PlainScanEngine engine;
};

CheckCallArgs AskFor(const QsoArgs& q, const std::string& band) {
  CheckCallArgs a;
  a.call = q.call;
  a.mode = "CW";
  a.prefix = q.prefix;
  a.band = band;
  return a;
}

// Heap bytes in use, small blocks and mapped ones: what the log really holds,
// unlike the resident size, which keeps pages that earlier benchmarks freed.
long HeapBytes() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<long>(info.uordblks + info.hblkhd);
}

void HandOver(benchmark::State& state) {
  std::vector<QsoArgs> log = MakeLog(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    testing::ModuleFixture f;
    f.module.ResetStats(f.Reset());
    for (const QsoArgs& q : log) benchmark::DoNotOptimize(f.module.AddData(q));
  }
  state.counters["per_qso"] = benchmark::Counter(
      static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}

void HandOverPlain(benchmark::State& state) {
  std::vector<QsoArgs> log = MakeLog(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    testing::PlainScanEngine engine;
    engine.Reset(Station{});
    for (const QsoArgs& q : log) benchmark::DoNotOptimize(engine.Add(q));
  }
  state.counters["per_qso"] = benchmark::Counter(
      static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}

void CheckCall(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  std::size_t i = 0;
  char serial[10];
  for (auto _ : state) {
    const QsoArgs& q = loaded.log[i++ % loaded.log.size()];
    benchmark::DoNotOptimize(loaded.fixture.module.CheckCall(AskFor(q, "20m"), serial));
  }
}

void CheckCallPlain(benchmark::State& state) {
  LoadedPlain loaded(static_cast<std::size_t>(state.range(0)));
  std::size_t i = 0;
  for (auto _ : state) {
    const QsoArgs& q = loaded.log[i++ % loaded.log.size()];
    benchmark::DoNotOptimize(loaded.engine.Check(AskFor(q, "20m"), "Vemo"));
  }
}

void GetResultText(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(loaded.fixture.module.GetResult(nullptr));
}

void GetResultPage(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  loaded.fixture.module.SetVersion();
  for (auto _ : state) benchmark::DoNotOptimize(loaded.fixture.module.GetResult(nullptr));
}

void GetResultPlain(benchmark::State& state) {
  LoadedPlain loaded(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    ScoreSheet sheet = loaded.engine.Score(false);
    benchmark::DoNotOptimize(
        RenderResultText({sheet, loaded.station, false, loaded.engine.RejectedCount()}));
  }
}

// The result's pass over the log alone: sorting the bands, tallying, refilling
// the multiplier lists.
void ResultPass(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  QsoLog log = loaded.fixture.module.LogCopy();
  BandLists lists = loaded.fixture.module.ListsCopy();
  Station station = loaded.fixture.module.StationCopy();
  for (auto _ : state) benchmark::DoNotOptimize(ComputeScore(log, lists, station, false));
}

// What one pass over the log costs at the least: summing one field.
void BareLoop(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  QsoLog log = loaded.fixture.module.LogCopy();
  for (auto _ : state) {
    unsigned long sum = 0;
    for (const CInfo& r : log) sum += r.FreqKHz;
    benchmark::DoNotOptimize(sum);
  }
}

// Removes a QSO from the middle of the log and hands it over again.
void RemoveData(benchmark::State& state) {
  Loaded loaded(static_cast<std::size_t>(state.range(0)));
  std::size_t i = loaded.log.size() / 2;
  for (auto _ : state) {
    const QsoArgs& q = loaded.log[i++ % loaded.log.size()];
    loaded.fixture.module.RemoveData(q);
    loaded.fixture.module.AddData(q);
  }
}

void RemoveDataPlain(benchmark::State& state) {
  LoadedPlain loaded(static_cast<std::size_t>(state.range(0)));
  std::size_t i = loaded.log.size() / 2;
  for (auto _ : state) {
    const QsoArgs& q = loaded.log[i++ % loaded.log.size()];
    loaded.engine.Remove(q);
    loaded.engine.Add(q);
  }
}

void MemoryPerQso(benchmark::State& state) {
  std::size_t n = static_cast<std::size_t>(state.range(0));
  std::vector<QsoArgs> log = MakeLog(n);
  double per_qso = 0;
  for (auto _ : state) {
    long before = HeapBytes();
    auto f = std::make_unique<testing::ModuleFixture>();
    f->module.ResetStats(f->Reset());
    for (const QsoArgs& q : log) f->module.AddData(q);
    per_qso = static_cast<double>(HeapBytes() - before) /
              static_cast<double>(f->module.LogCopy().size());
  }
  state.counters["bytes_per_qso"] = per_qso;
}

BENCHMARK(HandOver)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(HandOverPlain)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckCall)->Arg(1000)->Arg(20000)->Arg(100000);
BENCHMARK(CheckCallPlain)->Arg(1000)->Arg(20000)->Arg(100000);
BENCHMARK(GetResultText)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(GetResultPage)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(GetResultPlain)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ResultPass)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BareLoop)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RemoveData)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(RemoveDataPlain)->Arg(1000)->Arg(20000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(MemoryPerQso)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
