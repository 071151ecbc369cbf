#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "engine/band_lists.h"
#include "engine/qso_record.h"
#include "engine/station.h"

namespace velmora {

// What the DXCC display and the status refresh read and write of the
// plug-in's tables; the module implements it. Every call takes the tables'
// lock for itself, so the setup thread calls it without holding that lock.
class DxccSource {
 public:
  virtual ~DxccSource() = default;

  virtual bool russian_texts() const = 0;
  virtual Station StationCopy() const = 0;
  // The QSOs of one call, in log order.
  virtual std::vector<CInfo> QsosOfCall(std::string_view call) const = 0;
  virtual BandLists ListsCopy() const = 0;
  // Runs `change` on the tables under the lock.
  virtual void UpdateLists(const std::function<void(BandLists&)>& change) = 0;
};

}  // namespace velmora
