#pragma once

#include <string>

#include "platform/window_system.h"
#include "results/cabrillo_form.h"
#include "setup/settings.h"

namespace velmora {

// The header flow of a Cabrillo export. Loads `header` from the settings keys
// and the fixed values, lets the operator edit it in the header form, and on
// OK stores the keys and leaves SoapBox and OffTime in their file form (each
// typed line after the first continues with its own "SOAPBOX: " or
// "OFFTIME: " key). Returns false when the form was cancelled: nothing is
// stored and `header` keeps the loaded values.
bool RunCabrilloHeaderFlow(Settings& settings, WindowSystem& windows,
                           const std::string& station_call, CabrilloForm& header);

// Line breaks of the multi-line fields in the settings file: "<CR>" and "<LF>".
std::string LineBreaksFromSettings(const std::string& stored);
std::string LineBreaksToSettings(const std::string& text);

}  // namespace velmora
