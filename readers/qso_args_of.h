#pragma once

#include <optional>
#include <string>

#include "engine/qso_args.h"
#include "readers/country_file.h"
#include "readers/log_qso.h"

namespace velmora::readers {

// A log's QSO as the host hands it to the plug-in: worked from `own_call`,
// with the entity the country file gave its call (none: empty prefix and
// continent).
QsoArgs QsoArgsOf(const LogQso& q, const std::string& own_call,
                  const std::optional<Entity>& entity);

}  // namespace velmora::readers
