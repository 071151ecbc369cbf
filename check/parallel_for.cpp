#include "check/parallel_for.h"

#include <atomic>
#include <thread>
#include <vector>

namespace velmora::check {

void ParallelFor(std::size_t count, int jobs, const std::function<void(std::size_t)>& work) {
  ParallelForWorkers(count, jobs, [&](std::size_t i, int) { work(i); });
}

void ParallelForWorkers(std::size_t count, int jobs,
                        const std::function<void(std::size_t, int)>& work) {
  std::atomic<std::size_t> next{0};
  auto run = [&](int worker) {
    for (std::size_t i = next++; i < count; i = next++) work(i, worker);
  };
  std::vector<std::thread> helpers;
  for (int j = 1; j < jobs && static_cast<std::size_t>(j) < count; ++j) helpers.emplace_back(run, j);
  run(0);
  for (std::thread& t : helpers) t.join();
}

}  // namespace velmora::check
