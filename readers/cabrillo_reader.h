#pragma once

#include <string>
#include <string_view>

#include "readers/log_qso.h"

// Reads a Cabrillo log whose QSO lines carry an RST and a serial each way:
//   QSO: freq mo date time own-call rst nr call rst nr [further columns]
// Lines that cannot be used land in `skipped`; a text with neither a
// START-OF-LOG: nor a QSO: line throws LogReadError.
ParsedLog ReadCabrillo(std::string_view text, const std::string& file_name);
