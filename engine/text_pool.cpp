#include "engine/text_pool.h"

namespace velmora {

std::uint32_t TextPool::Intern(std::string_view text) {
  auto found = ids_.find(text);
  if (found != ids_.end()) return found->second;
  auto id = static_cast<std::uint32_t>(texts_.size());
  texts_.emplace_back(text);
  ids_.emplace(std::string(text), id);
  return id;
}

std::optional<std::uint32_t> TextPool::Find(std::string_view text) const {
  auto found = ids_.find(text);
  if (found == ids_.end()) return std::nullopt;
  return found->second;
}

void TextPool::Clear() {
  ids_.clear();
  texts_.clear();
}

}  // namespace velmora
