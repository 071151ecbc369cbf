#pragma once

#include <cstddef>
#include <functional>

namespace velmora::check {

// Runs work(0) .. work(count - 1), spread over `jobs` threads (the calling
// thread is one of them); returns when all have run. Each index runs once.
void ParallelFor(std::size_t count, int jobs, const std::function<void(std::size_t)>& work);

// The same, with the number of the thread (0 .. jobs - 1) that runs each index.
void ParallelForWorkers(std::size_t count, int jobs,
                        const std::function<void(std::size_t, int)>& work);

}  // namespace velmora::check
