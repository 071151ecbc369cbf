// The robot's judgement of one upload (velmora::robot::JudgeUpload): the
// reader, the header checks and the plug-in's score of every QSO, for the
// sample log and for a 5 000-QSO log made from it. The robot answers each
// upload after one such judgement; it must stay well under 50 ms for 5 000.
// Run: build/bench/robot_bench

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/text_format.h"
#include "robot/upload_judgement.h"

namespace velmora::robot {
namespace {

std::string ReadWhole(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

const CountryFile& Cty() {
  static const CountryFile cty =
      CountryFile::Parse(ReadWhole("/usr/share/hamradio-files/cty.dat"), "cty.dat");
  return cty;
}

const RobotConfig& Config() {
  static const RobotConfig config = [] {
    RobotConfig c;
    c.categories = DefaultCategories();
    return c;
  }();
  return config;
}

const std::string& Sample() {
  static const std::string sample = ReadWhole(VELMORA_SAMPLE);
  return sample;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// The sample's header and `n` QSOs: its QSO lines over and over, each pass
// with other calls (a letter more), serials running on and times spread over
// the 48 hours of the sample's weekend.
std::string BigLog(int n) {
  std::istringstream in(Sample());
  std::string header;
  std::vector<std::vector<std::string>> qsos;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("QSO:", 0) == 0) qsos.push_back(Words(line));
    else if (line.rfind("END-OF-LOG", 0) != 0) header += line + "\n";
  }
  std::string log = header;
  for (int i = 0; i < n; ++i) {
    std::vector<std::string> q = qsos[static_cast<std::size_t>(i) % qsos.size()];
    const int pass = i / static_cast<int>(qsos.size());
    if (q.size() == 11) {
      const int minute = i * 2880 / n;
      q[3] = StrFormat("2017-06-%02d", 3 + minute / 1440);
      q[4] = StrFormat("%02d%02d", minute / 60 % 24, minute % 60);
      q[7] = std::to_string(i + 1);
      if (pass > 0) q[8] += static_cast<char>('A' + (pass - 1) % 26);
    }
    std::string line;
    for (const std::string& w : q) line += (line.empty() ? "" : " ") + w;
    log += line + "\n";
  }
  return log + "END-OF-LOG:\n";
}

void Judge(benchmark::State& state, const std::string& log) {
  Cty();
  Judgement j;
  for (auto _ : state) {
    j = JudgeUpload(log, Config(), Cty());
    benchmark::DoNotOptimize(j.score);
  }
  state.counters["qso_lines"] = j.qso_lines;
  state.counters["qsos"] = j.qsos;
  state.counters["warnings"] = static_cast<double>(j.warnings.size());
  state.counters["refused"] = j.Refused();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.size()));
}

void JudgeSample(benchmark::State& state) { Judge(state, Sample()); }

void JudgeBigLog(benchmark::State& state) {
  static const std::string log = BigLog(static_cast<int>(state.range(0)));
  Judge(state, log);
}

BENCHMARK(JudgeSample)->Unit(benchmark::kMillisecond);
BENCHMARK(JudgeBigLog)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::robot

BENCHMARK_MAIN();
