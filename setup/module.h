#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "display/dxcc_display.h"
#include "display/dxcc_source.h"
#include "engine/band_lists.h"
#include "engine/qso_args.h"
#include "engine/qso_log.h"
#include "engine/station.h"
#include "platform/file_system.h"
#include "platform/host_link.h"
#include "platform/settings_store.h"
#include "platform/window_system.h"
#include "results/bad_qso_file.h"
#include "results/cabrillo_form.h"
#include "setup/locked_settings_store.h"
#include "setup/settings.h"
#include "setup/setup_controller.h"

namespace velmora {

// The platform services a module is built on.
struct Platform {
  FileSystem& files;
  SettingsStore& settings;
  WindowSystem& windows;
  HostLink& host;  // used by the setup thread only
};

// All state of the plug-in, from load to unload. The host's thread runs the
// entry points one at a time; the setup thread reads the tables under mutex_.
class Module : public DxccSource {
 public:
  explicit Module(Platform platform);
  ~Module() override;
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  int AddData(const QsoArgs& qso);
  int RemoveData(const QsoArgs& qso);
  int ResetStats(const ResetArgs& args);
  int CheckCall(const CheckCallArgs& args, char* serial_out);
  const char* GetResult(int* score);
  void SetupSet();
  void SetVersion() { version_announced_ = true; }

  // Copies taken under the lock, for the setup thread and for tests.
  QsoLog LogCopy() const;
  std::vector<CInfo> QsosOfCall(std::string_view call) const override;
  void UpdateLists(const std::function<void(BandLists&)>& change) override;
  BandLists ListsCopy() const override;
  Station StationCopy() const override;

  const std::string& host_version() const { return host_version_; }
  bool russian_texts() const override { return russian_texts_; }
  bool export_flag() const { return export_flag_; }
  int claimed_score() const { return claimed_score_; }
  bool update_ready() const { return update_ready_; }
  // The status refresh has ended: the call check may post the next one.
  void SetUpdateReady() { update_ready_ = true; }
  SetupController& setup_controller() { return setup_; }
  DxccDisplay& dxcc_display() { return dxcc_; }
  const std::string& bad_qso_file_name() const { return bad_qsos_.name(); }

 private:
  bool RunHeaderFlow(const COleDateTime& start, const COleDateTime& end);
  void RunCabrilloExport();
  void RequestStatusUpdate();

  Platform platform_;
  LockedSettingsStore settings_store_;  // both threads write the settings
  Settings settings_;
  CabrilloForm header_;
  std::string cabrillo_file_base_;  // set by the header flow, not after the form

  mutable std::mutex mutex_;
  QsoLog log_;        // guarded by mutex_
  BandLists lists_;   // guarded by mutex_
  Station station_;   // guarded by mutex_

  std::string host_version_;
  BadQsoFile bad_qsos_;
  std::string result_;
  int claimed_score_ = 0;
  bool export_flag_ = false;
  bool version_announced_ = false;
  std::atomic<bool> russian_texts_{false};
  std::atomic<bool> update_ready_{true};
  SetupController setup_;  // its handlers run on the setup thread
  DxccDisplay dxcc_{*this};  // the DXCC part of the setup thread's refresh
};

}  // namespace velmora
