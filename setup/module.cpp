#include "setup/module.h"

#include "engine/bad_qso_line.h"
#include "engine/call_check.h"
#include "engine/qso_validation.h"

namespace velmora {

Module::Module(Platform platform)
    : platform_(platform),
      settings_store_(platform.settings),
      settings_(settings_store_),
      bad_qsos_(platform.files),
      setup_(*this, settings_, platform.host) {
  setup_.SetDxccRefresh(&dxcc_);
  platform_.windows.BindSetupController(&setup_);
}

// The windows close and the setup thread ends before any member goes.
Module::~Module() {
  platform_.windows.ShutdownWindows();
  platform_.windows.BindSetupController(nullptr);
}

int Module::AddData(const QsoArgs& qso) {
  Verdict verdict = ValidateQso(qso);
  if (verdict != Verdict::kAccepted) {
    bad_qsos_.Record(qso, VerdictText(verdict));
    return 0;
  }
  CInfo record = MakeRecord(qso);
  bool dupe = false;
  {
    std::lock_guard lock(mutex_);
    lists_.NoteBand(record.Band);
    dupe = log_.AppendNew(std::move(record));
  }
  if (dupe) bad_qsos_.Record(qso, kDupeText);
  return 1;
}

int Module::RemoveData(const QsoArgs& qso) {
  std::string band = ContestBands().Canonical(qso.band);
  if (band.empty()) band = qso.band;
  {
    std::lock_guard lock(mutex_);
    if (auto index = log_.FindForRemoval(qso.call, band, qso.mode, qso.time)) {
      CInfo removed = log_[*index];
      log_.RemoveAt(*index);
      if (removed.Dupe) {
        bad_qsos_.DropDupeLine(removed.Call, removed.Band, removed.Mode, removed.Time);
      } else if (auto next = log_.FindSame(removed.Call, removed.Band, removed.Mode)) {
        // The next QSO of the same call, band and mode becomes the counted one.
        log_.MarkCounted(*next);
        const CInfo& promoted = log_[*next];
        bad_qsos_.DropDupeLine(promoted.Call, promoted.Band, promoted.Mode, promoted.Time);
      }
    } else {
      bad_qsos_.DropRejectedLine(qso.call, QsoTimeText(qso.time));
    }
    if (log_.empty()) lists_.ClearWorkedAndMults();
  }
  // Every removal rewrites the file, also when no line went: the host relies
  // on it, and a file deleted or emptied meanwhile is whole again.
  bad_qsos_.Rewrite();
  update_ready_ = true;
  RequestStatusUpdate();
  return 1;
}

int Module::CheckCall(const CheckCallArgs& args, char* serial_out) {
  if (platform_.windows.SetupWindowExists() && update_ready_.exchange(false))
    platform_.windows.PostStatusUpdate();
  CallCheckResult result;
  {
    std::lock_guard lock(mutex_);
    result = velmora::CheckCall(log_, args, host_version_);
  }
  if (result.workable) CopySerial(result.remembered_serial, serial_out);
  return result.code;
}

void Module::SetupSet() {
  platform_.windows.ShowMessage("No additional setup for this plugin", "",
                                MessageIcon::kNone);
}

void Module::RequestStatusUpdate() {
  if (platform_.windows.SetupWindowExists()) platform_.windows.PostStatusUpdate();
}

std::vector<CInfo> Module::QsosOfCall(std::string_view call) const {
  std::lock_guard lock(mutex_);
  std::vector<CInfo> qsos;
  for (std::uint32_t i : log_.PositionsOf(call)) qsos.push_back(log_[i]);
  return qsos;
}

void Module::UpdateLists(const std::function<void(BandLists&)>& change) {
  std::lock_guard lock(mutex_);
  change(lists_);
}

QsoLog Module::LogCopy() const {
  std::lock_guard lock(mutex_);
  return log_;
}

BandLists Module::ListsCopy() const {
  std::lock_guard lock(mutex_);
  return lists_;
}

Station Module::StationCopy() const {
  std::lock_guard lock(mutex_);
  return station_;
}

}  // namespace velmora
