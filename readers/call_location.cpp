#include "readers/call_location.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace {

// Call suffixes that say how a station operates, not where.
constexpr std::array<std::string_view, 8> kOperatingSuffixes = {"P", "M", "A", "B", "J",
                                                                "QRP", "QRPP", "LH"};

// Maritime and aeronautical mobiles are in no entity.
constexpr std::array<std::string_view, 2> kMobileSuffixes = {"MM", "AM"};

template <std::size_t N>
bool IsOneOf(const std::array<std::string_view, N>& list, const std::string& part) {
  return std::find(list.begin(), list.end(), part) != list.end();
}

bool IsAreaDigit(const std::string& part) {
  return part.size() == 1 && part[0] >= '0' && part[0] <= '9';
}

std::vector<std::string> NonEmptyParts(const std::string& call) {
  std::vector<std::string> parts;
  std::size_t begin = 0;
  while (begin <= call.size()) {
    std::size_t end = std::min(call.find('/', begin), call.size());
    if (end > begin) parts.push_back(call.substr(begin, end - begin));
    begin = end + 1;
  }
  return parts;
}

// The call with its call-area digit (the last digit) replaced: W1AW, 4 -> W4AW.
std::string WithAreaDigit(std::string call, char digit) {
  std::size_t at = call.find_last_of("0123456789");
  if (at != std::string::npos) call[at] = digit;
  return call;
}

bool Shorter(const std::string& a, const std::string& b) { return a.size() < b.size(); }

// The shortest part; on a tie the first, unless only a later one is listed.
const std::string& ShortestPart(const std::vector<std::string>& parts,
                                const std::function<bool(const std::string&)>& listed) {
  std::size_t length = std::min_element(parts.begin(), parts.end(), Shorter)->size();
  const std::string* first = nullptr;
  for (const std::string& part : parts) {
    if (part.size() != length) continue;
    if (first == nullptr) {
      first = &part;
      if (listed(part)) return part;
    } else if (listed(part)) {
      return part;
    }
  }
  return *first;
}

}  // namespace

std::optional<std::string> CallLocation(
    const std::string& call, const std::function<bool(const std::string&)>& listed) {
  std::vector<std::string> parts = NonEmptyParts(call);
  if (parts.empty()) return std::nullopt;
  auto later = parts.begin() + 1;
  if (std::any_of(later, parts.end(), [](auto& p) { return IsOneOf(kMobileSuffixes, p); }))
    return std::nullopt;
  parts.erase(std::remove_if(later, parts.end(),
                             [](auto& p) { return IsOneOf(kOperatingSuffixes, p); }),
              parts.end());
  if (parts.size() == 1) return parts.front();
  if (IsAreaDigit(parts.back())) {
    auto home = std::max_element(parts.begin(), parts.end() - 1, Shorter);
    return WithAreaDigit(*home, parts.back()[0]);
  }
  return ShortestPart(parts, listed);
}
