#include "engine/qso_log.h"

namespace velmora {

namespace {

bool SameKey(const CInfo& r, std::string_view call, std::string_view band,
             std::string_view mode) {
  return r.Call == call && r.Band == band && r.Mode == mode;
}

}  // namespace

void QsoLog::RemoveAt(std::size_t index) {
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::optional<std::size_t> QsoLog::FindSame(std::string_view call,
                                            std::string_view band,
                                            std::string_view mode,
                                            std::size_t from) const {
  for (std::size_t i = from; i < records_.size(); ++i)
    if (SameKey(records_[i], call, band, mode)) return i;
  return std::nullopt;
}

std::optional<std::size_t> QsoLog::FindForRemoval(std::string_view call,
                                                  std::string_view band,
                                                  std::string_view mode,
                                                  const COleDateTime& time) const {
  for (std::size_t i = 0; i < records_.size(); ++i)
    if (SameKey(records_[i], call, band, mode) && records_[i].Time.SameTime(time))
      return i;
  return std::nullopt;
}

}  // namespace velmora
