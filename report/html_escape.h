#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The text with &, <, >, " and ' written as character references, so that a
// text from a log can stand in an element or an attribute value.
std::string HtmlEscape(std::string_view text);

}  // namespace velmora
