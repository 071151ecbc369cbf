#pragma once

namespace velmora::testing {

// The number of threads of this process now; -1 when it cannot be counted.
int CountProcessThreads();

}  // namespace velmora::testing
