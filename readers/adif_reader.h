#pragma once

#include <string>
#include <string_view>

#include "readers/log_qso.h"

// Reads an ADIF log (.adi/.adif). Records that cannot be used land in
// `skipped`; a file that is no ADIF at all throws LogReadError.
ParsedLog ReadAdif(std::string_view text, const std::string& file_name);

// An ADIF frequency in MHz ("14.025") in Hz; 0 when it is no number or does
// not fit.
unsigned int AdifFrequencyToHz(std::string_view mhz);
