#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The base name of the Cabrillo file for the own call: "/" and "\" become
// "_", white space is trimmed from both ends, and every character that a
// Windows file name cannot hold becomes "_"; a device name (CON, COM1, ...)
// gets "_" appended. "RDRC" when nothing is left. The result never names a
// folder, a stream or a device.
std::string CabrilloFileBase(std::string_view station_call);

}  // namespace velmora
