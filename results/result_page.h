#pragma once

#include <string>

#include "results/result_text.h"

namespace velmora {

// The figures of a result as one HTML page, once the host has announced its
// version.
std::string RenderResultPage(const ResultView& view);

}  // namespace velmora
