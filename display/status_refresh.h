#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "display/dxcc_source.h"
#include "display/dxcc_table.h"
#include "engine/band_lists.h"
#include "engine/qso_record.h"

namespace velmora {

// What one status refresh works from: the call and frequency the host gave
// the setup controller, the current band index the refresh starts from, and
// copies of the engine's tables taken under the module's lock.
struct RefreshInput {
  std::string call;  // the host's entry text 5, in the ANSI code page
  double frequency_hz = 0.0;
  int band_index = -1;  // the current band index before this refresh
  bool russian_texts = false;
  std::string start_year;  // the contest start as "%Y"
  std::vector<CInfo> call_qsos;  // the call's QSOs in log order; others are ignored
  std::array<std::vector<std::string>, kBandCount> band_mults;
};

// Texts 1..4 of a BandRows row: mode, time "%H:%M", received number, spare.
using CallRow = std::array<std::string, 4>;
using CallRows = std::array<CallRow, kBandCount>;

// What a refresh changes. An empty optional leaves that thing as it was.
struct RefreshView {
  std::string current_call;  // always taken, whatever else happens
  int band_index = -1;       // the current band index from now on
  std::optional<CallRows> call_rows;            // for the module's BandRows
  std::optional<std::string> info_title;        // for the DXCC info window
  std::optional<std::string> multiplier_title;  // for the multiplier window
  std::optional<PageStates> page_states;        // every box of every page
  bool repaint_info_button = false;
};

// The status refresh after the setup controller has reconciled the tool
// windows with the view options and has read the host. On the setup thread:
//
//   1. Without the module's lock, read the call (entry text 5) and the
//      frequency from the host, and send "<SP1>" when the frequency moved.
//   2. RefreshView view = ComputeRefresh(
//          TakeRefreshInput(module, call, frequency_hz, band_index));
//   3. Keep view.current_call and view.band_index: the info button draws
//      from them.
//   4. If view.call_rows is set, store them under the module's lock with
//      StoreCallRows.
//   5. Give view.info_title and view.multiplier_title to whichever of the two
//      windows exists; write view.page_states into the six pages and make
//      them push their members to their boxes, EU, AF, AS, NA, SA, OC; if
//      view.repaint_info_button, invalidate the info button without erasing.
//   6. Set the update-ready flag.
//
// A call of one or two characters changes only the current call. A frequency
// outside the six bands leaves the band, the band title, the boxes and the
// info button as they were.
RefreshView ComputeRefresh(const RefreshInput& input);

// The copies and flags a refresh needs, each table copied under the lock.
RefreshInput TakeRefreshInput(const DxccSource& module, std::string call,
                              double frequency_hz, int band_index);

// Writes texts 1..4 of every BandRows row; call it under the module's lock.
void StoreCallRows(const CallRows& rows, BandLists& lists);

// Band index 0..5 of a frequency in hertz by its whole megahertz; -1 outside
// the contest's bands.
int BandIndexForFrequency(double frequency_hz);

}  // namespace velmora
