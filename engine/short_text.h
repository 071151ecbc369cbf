#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace velmora {

// A text field of a stored QSO in 16 bytes: up to 15 bytes are kept inline
// (calls, reports, serials, prefixes all fit), longer texts on the heap. It
// keeps big logs small; everywhere else the code uses std::string.
class ShortText {
 public:
  ShortText() { SetInline({}); }
  ShortText(std::string_view text) { Set(text); }  // NOLINT: a text is a text
  ShortText(const char* text) : ShortText(std::string_view(text ? text : "")) {}
  ShortText(const std::string& text) : ShortText(std::string_view(text)) {}
  ShortText(const ShortText& other) { Set(other.view()); }
  ShortText(ShortText&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.SetInline({});
  }
  ShortText& operator=(const ShortText& other);
  ShortText& operator=(ShortText&& other) noexcept {
    if (this != &other) {
      Free();
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
      other.SetInline({});
    }
    return *this;
  }
  ShortText& operator=(std::string_view text);
  ShortText& operator=(const std::string& text) { return *this = std::string_view(text); }
  ShortText& operator=(const char* text) { return *this = std::string_view(text ? text : ""); }
  ~ShortText() { Free(); }

  const char* c_str() const { return OnHeap() ? HeapData() : bytes_; }
  std::size_t size() const {
    if (!OnHeap()) return kInline - static_cast<unsigned char>(bytes_[15]);
    std::uint32_t size;
    std::memcpy(&size, bytes_ + 8, sizeof size);
    return size;
  }
  bool empty() const { return size() == 0; }
  std::string_view view() const { return {c_str(), size()}; }
  operator std::string_view() const { return view(); }  // NOLINT: reads as a text
  std::string str() const { return std::string(view()); }

  friend bool operator==(const ShortText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const ShortText& a, const ShortText& b) { return a.view() == b.view(); }
  friend bool operator==(const ShortText& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const ShortText& a, const char* b) {
    return a.view() == std::string_view(b ? b : "");
  }
  friend std::ostream& operator<<(std::ostream& out, const ShortText& t) {
    return out << t.view();
  }

 private:
  static constexpr std::size_t kInline = 15;
  static constexpr unsigned char kHeapTag = 0xff;

  bool OnHeap() const { return static_cast<unsigned char>(bytes_[15]) == kHeapTag; }
  char* HeapData() const {
    char* data;
    std::memcpy(&data, bytes_, sizeof data);
    return data;
  }
  void SetInline(std::string_view text) {
    std::memset(bytes_, 0, sizeof bytes_);
    if (!text.empty()) std::memcpy(bytes_, text.data(), text.size());  // data() may be null
    bytes_[15] = static_cast<char>(kInline - text.size());
  }
  void Set(std::string_view text);
  void Free() {
    if (OnHeap()) delete[] HeapData();
  }

  // Inline: the text, its NUL, and in byte 15 the count of unused bytes
  // (15 - size), which is the NUL itself for a 15-byte text. On the heap: the
  // pointer, the size, and kHeapTag in byte 15.
  alignas(8) char bytes_[16];
};

static_assert(sizeof(ShortText) == 16);

}  // namespace velmora
