#include "results/text_replace.h"

namespace velmora {

std::string ReplaceAll(std::string text, std::string_view search,
                       std::string_view replacement) {
  if (search.empty() || search == replacement) return text;
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(search); at != std::string::npos;
       at = text.find(search, from)) {
    out.append(text, from, at - from);
    out.append(replacement);
    from = at + search.size();
  }
  out.append(text, from, std::string::npos);
  return out;
}

}  // namespace velmora
