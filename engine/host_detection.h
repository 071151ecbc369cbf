#pragma once

#include <string>

#include "platform/file_system.h"

namespace velmora {

// The host's version from the "Vemo=" line of the "Vemo2.ini" in its folder:
// "Vemo" when the folder has no such ini file, `previous` when the file has no
// version line or cannot be read.
std::string DetectHostVersion(FileSystem& files, const std::string& host_folder,
                              const std::string& previous);

}  // namespace velmora
