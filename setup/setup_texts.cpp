#include "setup/setup_texts.h"

#include "engine/text_format.h"

namespace velmora {

SetupTexts MakeSetupTexts(bool russian, const std::string& start_year) {
  if (russian) {
    return {StrFormat("\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE8 ZEB-%s", start_year.c_str()),
            "\xCE\xF2\xEE\xE1\xF0\xE0\xE6\xE0\xF2\xFC",
            "\xCF\xEE\xE2\xE5\xF0\xF5 \xEE\xEA\xEE\xED"};
  }
  return {StrFormat("Setup ZEB-%s", start_year.c_str()), "View", "Window on top"};
}

}  // namespace velmora
