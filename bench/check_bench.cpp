// The log check on simulated contests: reading the logs (the replay's reader,
// the country file, the plug-in's hand-over and score of every log) and the
// whole check (reading, matching, checked scores).
// Run: build/bench/check_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "check/checked_score.h"
#include "check/log_intake.h"
#include "check/matching.h"
#include "testing/contest_simulator.h"

namespace velmora::check {
namespace {

constexpr int kQsosPerStation = 100;

const CountryFile& Cty() {
  static const CountryFile cty = [] {
    std::ifstream in("/usr/share/hamradio-files/cty.dat", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return CountryFile::Parse(s.str(), "cty.dat");
  }();
  return cty;
}

const testing::SimContest& Simulated(int stations) {
  static std::map<int, testing::SimContest> made;
  auto it = made.find(stations);
  if (it == made.end()) {
    testing::SimulatorOptions options;
    options.stations = stations;
    options.qsos_per_station = kQsosPerStation;
    it = made.emplace(stations, testing::SimulateContest(options)).first;
  }
  return it->second;
}

Contest ReadAll(const testing::SimContest& sim) {
  Contest contest;
  std::mutex mutex;
  Intake intake(Cty(), contest, mutex);
  std::vector<std::string> problems;
  for (const testing::SimLog& log : sim.logs)
    if (auto e = intake.Read(log.text, log.file_name, problems)) contest.logs.push_back(std::move(*e));
  return contest;
}

std::size_t Lines(const testing::SimContest& sim) {
  std::size_t n = 0;
  for (const testing::SimLog& log : sim.logs) n += log.truth.size();
  return n;
}

void SetCounters(benchmark::State& state, const testing::SimContest& sim) {
  state.counters["logs"] = static_cast<double>(sim.logs.size());
  state.counters["per_line"] = benchmark::Counter(
      static_cast<double>(Lines(sim)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ReadLogs(benchmark::State& state) {
  const testing::SimContest& sim = Simulated(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Contest contest = ReadAll(sim);
    benchmark::DoNotOptimize(contest.logs.data());
  }
  SetCounters(state, sim);
}

void WholeCheck(benchmark::State& state) {
  const testing::SimContest& sim = Simulated(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Contest contest = ReadAll(sim);
    JudgeContest(contest, {});
    ScoreChecked(contest, {});
    benchmark::DoNotOptimize(contest.logs.data());
  }
  SetCounters(state, sim);
}

BENCHMARK(ReadLogs)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeCheck)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::check

BENCHMARK_MAIN();
