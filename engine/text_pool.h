#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmora {

// Distinct texts numbered in the order they first came, so that records can
// carry a small id and a pass over the log compares integers.
class TextPool {
 public:
  std::uint32_t Intern(std::string_view text);
  std::optional<std::uint32_t> Find(std::string_view text) const;
  const std::string& Text(std::uint32_t id) const { return texts_[id]; }
  std::size_t size() const { return texts_.size(); }
  void Clear();

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const {
      return std::hash<std::string_view>{}(s);
    }
  };
  std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> ids_;
  std::vector<std::string> texts_;
};

}  // namespace velmora
