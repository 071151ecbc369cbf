#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace velmora::testing {

// Every byte of a file, as the tests compare it; empty when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace velmora::testing
