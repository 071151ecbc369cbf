#include "display/status_refresh.h"

#include <cmath>

#include "engine/contest_rules.h"
#include "engine/text_format.h"

namespace velmora {
namespace {

// A band row's text where the call has no QSO on that band.
constexpr char kNoQso[] = "   -";

CallRows CallViewRows(const std::vector<CInfo>& qsos, const std::string& call) {
  CallRows rows;
  for (CallRow& row : rows) row.fill(kNoQso);
  const auto& labels = ContestBands().Items();
  for (const CInfo& qso : qsos) {
    if (qso.Call != call) continue;
    for (std::size_t band = 0; band < labels.size(); ++band) {
      // A later QSO overwrites an earlier one on the same band.
      if (qso.Band == labels[band])
        rows[band] = {qso.Mode.str(), qso.Time.Format("%H:%M"), qso.NrRcvd.str(), kNoQso};
    }
  }
  return rows;
}

std::string WorkedWithTitle(const RefreshInput& in) {
  if (in.russian_texts)  // "Worked with" in Windows-1251
    return StrFormat("ZEB-%s \xd0\xe0\xe1\xee\xf2\xe0\xeb \xf1 %s ",
                     in.start_year.c_str(), in.call.c_str());
  return StrFormat("ZEB-%s Worked with %s ", in.start_year.c_str(), in.call.c_str());
}

std::string BandTitle(const RefreshInput& in, int band, int worked) {
  const std::string& label = ContestBands().Items()[static_cast<std::size_t>(band)];
  if (in.russian_texts)  // "DXCC worked on ... of 338" in Windows-1251
    return StrFormat("ZEB-%s DXCC \xf1\xf0\xe0\xe1\xee\xf2\xe0\xed\xee \xed\xe0 %s %d "
                     "\xe8\xe7 338",
                     in.start_year.c_str(), label.c_str(), worked);
  return StrFormat("ZEB-%s DXCC worked on %s %d of 338", in.start_year.c_str(),
                   label.c_str(), worked);
}

}  // namespace

int BandIndexForFrequency(double frequency_hz) {
  constexpr double kWholeMhz[kBandCount] = {1, 3, 7, 14, 21, 28};
  if (!std::isfinite(frequency_hz)) return -1;
  const double mhz = std::trunc(frequency_hz / 1'000'000.0);
  for (int band = 0; band < kBandCount; ++band)
    if (mhz == kWholeMhz[band]) return band;
  return -1;
}

RefreshView ComputeRefresh(const RefreshInput& in) {
  RefreshView view;
  view.current_call = in.call;
  view.band_index = in.band_index;
  if (in.call.size() == 1 || in.call.size() == 2) return view;

  if (!in.call.empty()) {
    view.call_rows = CallViewRows(in.call_qsos, in.call);
    view.info_title = WorkedWithTitle(in);
  }

  const int band = BandIndexForFrequency(in.frequency_hz);
  if (band < 0) return view;
  view.band_index = band;
  const auto& worked = in.band_mults[static_cast<std::size_t>(band)];
  const std::string title = BandTitle(in, band, static_cast<int>(worked.size()));
  if (in.call.empty()) view.info_title = title;
  view.multiplier_title = title;
  view.page_states = ClearedPageStates();
  TickWorked(worked, *view.page_states);
  view.repaint_info_button = true;
  return view;
}

RefreshInput TakeRefreshInput(const DxccSource& module, std::string call,
                              double frequency_hz, int band_index) {
  RefreshInput in;
  in.call = std::move(call);
  in.frequency_hz = frequency_hz;
  in.band_index = band_index;
  in.russian_texts = module.russian_texts();
  in.start_year = module.StationCopy().StartYear;
  in.call_qsos = module.QsosOfCall(in.call);
  in.band_mults = module.ListsCopy().BandMults;
  return in;
}

void StoreCallRows(const CallRows& rows, BandLists& lists) {
  const auto& labels = ContestBands().Items();
  for (std::size_t band = 0; band < rows.size(); ++band) {
    auto& row = lists.BandRows[band];
    if (row.empty()) row.push_back(labels[band]);
    if (row.size() < 5) row.resize(5);
    for (std::size_t text = 0; text < rows[band].size(); ++text)
      row[text + 1] = rows[band][text];
  }
}

}  // namespace velmora
