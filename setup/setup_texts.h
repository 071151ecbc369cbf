#pragma once

#include <string>

namespace velmora {

// The setup window's texts that follow the operator's language; the two
// option boxes keep their template texts in both.
struct SetupTexts {
  std::string title;
  std::string view_label;
  std::string on_top_label;
};

// The texts for a contest that starts in `start_year` ("2017"); in Russian,
// as CP1251 bytes, when `russian`.
SetupTexts MakeSetupTexts(bool russian, const std::string& start_year);

}  // namespace velmora
