// simulate-contest: writes a simulated contest's logs into a folder, and the
// truth of every QSO line as truth.csv beside them (log,line,verdict,correct_call).

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "testing/contest_simulator.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: simulate-contest DIR STATIONS [QSOS_PER_STATION [SEED]]\n";
    return 2;
  }
  velmora::testing::SimulatorOptions options;
  options.stations = std::atoi(argv[2]);
  if (argc > 3) options.qsos_per_station = std::atoi(argv[3]);
  if (argc > 4) options.seed = std::strtoull(argv[4], nullptr, 10);
  if (options.stations < 2 || options.qsos_per_station < 1) {
    std::cerr << "simulate-contest: STATIONS must be 2 or more, QSOS_PER_STATION 1 or more\n";
    return 2;
  }
  const std::filesystem::path dir(argv[1]);
  std::filesystem::create_directories(dir);
  velmora::testing::SimContest contest = velmora::testing::SimulateContest(options);
  std::ofstream truth(dir / "truth.csv", std::ios::binary);
  truth << "log,line,verdict,correct_call\n";
  long long lines = 0;
  for (const auto& log : contest.logs) {
    std::ofstream(dir / log.file_name, std::ios::binary) << log.text;
    for (const auto& t : log.truth)
      truth << log.call << ',' << t.line << ',' << t.verdict << ',' << t.correct_call << '\n';
    lines += static_cast<long long>(log.truth.size());
  }
  std::cout << contest.logs.size() << " logs, " << lines << " QSO lines, "
            << contest.silent.size() << " stations sent no log, in " << dir.string() << "\n";
  return truth ? 0 : 1;
}
