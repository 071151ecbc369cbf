#pragma once

#include <string>
#include <string_view>

#include "engine/qso_log.h"
#include "platform/file_system.h"
#include "platform/window_system.h"
#include "results/cabrillo_form.h"

namespace velmora {

// One "QSO: " line with its CR LF. Texts are padded to their column widths,
// never cut; a line break in one becomes a space.
std::string CabrilloQsoLine(const CInfo& qso, const std::string& own_call);

// The whole Cabrillo 3.0 file, CR LF throughout. `header` is the header
// record after a confirmed header flow: its SoapBox and OffTime already hold
// their file form (continuation lines carry their own keys).
std::string CabrilloFileText(const CabrilloForm& header, const QsoLog& log,
                             int claimed_score, const std::string& host_version);

// Replaces `file_base`.cbr as a whole and tells the operator in a message box
// "Output" whether it was written. A failed write leaves an earlier file as
// it was.
void WriteCabrilloFile(FileSystem& files, WindowSystem& windows,
                       const std::string& file_base, std::string_view text);

}  // namespace velmora
