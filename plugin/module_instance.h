#pragma once

#include "setup/module.h"

namespace velmora {

// The one module object of the loaded library, built with the platform's
// services (defined once per platform).
Module& TheModule();

}  // namespace velmora
