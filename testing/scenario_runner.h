#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plugin/exports.h"

namespace velmora::testing {

// The plug-in's entry points, as a host holds them after loading the library.
struct EntryPoints {
  decltype(&::AddData0) add_data = nullptr;
  decltype(&::RemoveData0) remove_data = nullptr;
  decltype(&::ResetStats0) reset_stats = nullptr;
  decltype(&::CheckCall0) check_call = nullptr;
  decltype(&::IsValidExchg0) is_valid_exchange = nullptr;
  decltype(&::GetExchgCount0) get_exchange_count = nullptr;
  decltype(&::GetNumberOfSets) get_number_of_sets = nullptr;
  decltype(&::GetSetName) get_set_name = nullptr;
  decltype(&::GetResult0) get_result = nullptr;
  decltype(&::SetupSet0) setup_set = nullptr;
  decltype(&::setVersion) set_version = nullptr;
};

// A scenario is a text file of commands, one a line, each calling one entry
// point the way the host does. Words are separated by blanks; "-" is the
// empty text and "~" a null pointer (texts and date-times). Dates are
// YYYY-MM-DD HH:MM (two words).
//
//   reset FOLDER EXPORT OWNCALL START END OWNPREFIX OWNCONTINENT
//   add    OWNCALL CALL TIME FREQHZ MODE RSTS NRS RSTR NRR PREFIX CONTINENT BAND
//   remove (as add)
//   check  CALL MODE PREFIX BAND BAND2      (shows the serial handed back)
//   valid EXCHANGE | count | sets | name INDEX | result | setup | version TEXT
//   expect OUTPUT GOLDEN   a file the run leaves in the current folder and
//                          its expected bytes (GOLDEN beside the scenario)
//
// Blank lines and lines starting with '#' are skipped. The transcript holds
// each command and what the call returned, result texts verbatim.
std::string RunScenario(std::string_view scenario, const EntryPoints& entry);

struct ExpectedFile {
  std::string output;  // relative to the folder the scenario ran in
  std::string golden;  // relative to the scenario's folder
};
std::vector<ExpectedFile> ExpectedFiles(std::string_view scenario);

// One output of a run beside its golden.
struct FileComparison {
  std::string output;
  std::string actual;    // "<missing>" when the run left no such file
  std::string expected;  // "<missing golden>" when there is none
};

// Runs the scenario file in the current folder, writes the transcript to
// "transcript.txt" there, and reads every expected output and its golden.
std::vector<FileComparison> RunScenarioFile(const std::string& path,
                                            const EntryPoints& entry);

}  // namespace velmora::testing
