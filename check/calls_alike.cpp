#include "check/calls_alike.h"

#include <algorithm>
#include <string>
#include <vector>

namespace velmora::check {

namespace {

// The Morse code of a letter, digit or '/', else empty.
std::string_view Morse(char c) {
  static constexpr std::string_view kLetters[26] = {
      ".-",   "-...", "-.-.", "-..",  ".",   "..-.", "--.",  "....", "..",
      ".---", "-.-",  ".-..", "--",   "-.",  "---",  ".--.", "--.-", ".-.",
      "...",  "-",    "..-",  "...-", ".--", "-..-", "-.--", "--.."};
  static constexpr std::string_view kDigits[10] = {"-----", ".----", "..---", "...--",
                                                   "....-", ".....", "-....", "--...",
                                                   "---..", "----."};
  if (c >= 'A' && c <= 'Z') return kLetters[c - 'A'];
  if (c >= '0' && c <= '9') return kDigits[c - '0'];
  if (c == '/') return "-..-.";
  return {};
}

// Length of the common start and of the common end that does not overlap it.
std::size_t CommonPrefix(std::string_view a, std::string_view b) {
  std::size_t n = 0;
  while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
  return n;
}

std::size_t CommonSuffix(std::string_view a, std::string_view b, std::size_t prefix) {
  std::size_t n = 0;
  while (n + prefix < a.size() && n + prefix < b.size() &&
         a[a.size() - 1 - n] == b[b.size() - 1 - n])
    ++n;
  return n;
}

// `one` is a single character and `two` two characters whose codes together
// are its code.
bool RunTogether(std::string_view one, std::string_view two) {
  if (one.size() != 1 || two.size() != 2) return false;
  std::string_view whole = Morse(one[0]), first = Morse(two[0]), second = Morse(two[1]);
  return !whole.empty() && !first.empty() && !second.empty() &&
         whole.size() == first.size() + second.size() && whole.substr(0, first.size()) == first &&
         whole.substr(first.size()) == second;
}

}  // namespace

bool CallsAlike(std::string_view sent, std::string_view written) {
  if (sent == written || sent.empty() || written.empty()) return false;
  std::size_t prefix = CommonPrefix(sent, written);
  std::size_t suffix = CommonSuffix(sent, written, prefix);
  std::string_view a = sent.substr(prefix, sent.size() - prefix - suffix);
  std::string_view b = written.substr(prefix, written.size() - prefix - suffix);
  if (a.size() + b.size() == 1) return true;                  // one added or left out
  if (a.size() == 1 && b.size() == 1) return true;            // one changed
  if (a.size() == 2 && b.size() == 2 && a[0] == b[1] && a[1] == b[0]) return true;  // swapped
  return RunTogether(a, b) || RunTogether(b, a);
}

int CallDistance(std::string_view a, std::string_view b) {
  const std::size_t n = a.size(), m = b.size();
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
  for (std::size_t i = 0; i <= n; ++i) d[i][0] = static_cast<int>(i);
  for (std::size_t j = 0; j <= m; ++j) d[0][j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= n; ++i)
    for (std::size_t j = 1; j <= m; ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[n][m];
}

}  // namespace velmora::check
