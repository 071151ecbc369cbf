#include "engine/short_text.h"

#include <utility>

namespace velmora {

char* ShortText::HeapData() const {
  char* data;
  std::memcpy(&data, bytes_, sizeof data);
  return data;
}

std::size_t ShortText::size() const {
  if (!OnHeap()) return kInline - static_cast<unsigned char>(bytes_[15]);
  std::uint32_t size;
  std::memcpy(&size, bytes_ + 8, sizeof size);
  return size;
}

void ShortText::SetInline(std::string_view text) {
  std::memset(bytes_, 0, sizeof bytes_);
  if (!text.empty()) std::memcpy(bytes_, text.data(), text.size());  // data() may be null
  bytes_[15] = static_cast<char>(kInline - text.size());
}

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

void ShortText::Free() {
  if (OnHeap()) delete[] HeapData();
}

ShortText::ShortText(ShortText&& other) noexcept {
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  other.SetInline({});
}

ShortText& ShortText::operator=(const ShortText& other) {
  if (this != &other) *this = other.view();
  return *this;
}

ShortText& ShortText::operator=(ShortText&& other) noexcept {
  if (this != &other) {
    Free();
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.SetInline({});
  }
  return *this;
}

ShortText& ShortText::operator=(std::string_view text) {
  // `text` may point into this very object: build the new value aside first.
  ShortText fresh(text);
  return *this = std::move(fresh);
}

}  // namespace velmora
