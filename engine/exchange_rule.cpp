#include "engine/exchange_rule.h"

namespace velmora {

bool IsValidExchange(std::string_view exchange) {
  if (!exchange.empty() && static_cast<unsigned char>(exchange[0]) >= 0x80)
    return false;
  if (exchange == "599") return false;
  if (exchange.size() != 3 && exchange.size() != 4) return false;
  for (char c : exchange)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace velmora
