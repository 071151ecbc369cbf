#include "check/contest.h"

#include <array>

namespace velmora::check {

namespace {

constexpr std::array<const char*, kVerdictCount> kVerdictNames = {
    "ok",   "bad-exchange", "busted-call", "nil",     "unique",
    "unverified", "dupe",   "rejected",    "outside", "wrong-band", "own-call",
};

constexpr std::uint64_t kTextBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kEmptyCode = std::uint64_t{1} << 62;

}  // namespace

const char* VerdictName(Verdict verdict) {
  return kVerdictNames[static_cast<std::size_t>(verdict)];
}

std::optional<Verdict> VerdictFromName(std::string_view name) {
  for (std::size_t i = 0; i < kVerdictNames.size(); ++i)
    if (name == kVerdictNames[i]) return static_cast<Verdict>(i);
  return std::nullopt;
}

std::uint32_t NameTable::Intern(std::string_view text) {
  if (auto it = ids_.find(text); it != ids_.end()) return it->second;
  auto id = static_cast<std::uint32_t>(texts_.size());
  texts_.emplace_back(text);
  ids_.emplace(texts_.back(), id);
  return id;
}

std::optional<std::uint32_t> NameTable::Find(std::string_view text) const {
  if (auto it = ids_.find(text); it != ids_.end()) return it->second;
  return std::nullopt;
}

std::optional<std::uint64_t> SerialCode(std::string_view serial) {
  if (serial.empty()) return kEmptyCode;
  bool digits = serial.size() <= 18;
  for (char c : serial) digits = digits && c >= '0' && c <= '9';
  if (!digits) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : serial) value = value * 10 + static_cast<std::uint64_t>(c - '0');
  return value;
}

std::uint64_t TextSerialCode(std::uint32_t text_id) { return kTextBit | text_id; }

std::string SerialText(const Contest& contest, std::uint64_t code) {
  if (code == kEmptyCode) return "";
  if (code & kTextBit) {
    const std::uint64_t id = code & ~kTextBit;
    return id < contest.texts.size() ? contest.texts.Text(static_cast<std::uint32_t>(id)) : "?";
  }
  return std::to_string(code);
}

}  // namespace velmora::check
