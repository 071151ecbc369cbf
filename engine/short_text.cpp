#include "engine/short_text.h"

#include <utility>

namespace velmora {

void ShortText::Set(std::string_view text) {
  if (text.size() <= kInline) {
    SetInline(text);
    return;
  }
  char* data = new char[text.size() + 1];
  std::memcpy(data, text.data(), text.size());
  data[text.size()] = '\0';
  auto size = static_cast<std::uint32_t>(text.size());
  std::memset(bytes_, 0, sizeof bytes_);
  std::memcpy(bytes_, &data, sizeof data);
  std::memcpy(bytes_ + 8, &size, sizeof size);
  bytes_[15] = static_cast<char>(kHeapTag);
}

ShortText& ShortText::operator=(const ShortText& other) {
  if (this != &other) *this = other.view();
  return *this;
}

ShortText& ShortText::operator=(std::string_view text) {
  // `text` may point into this very object: build the new value aside first.
  ShortText fresh(text);
  return *this = std::move(fresh);
}

}  // namespace velmora
