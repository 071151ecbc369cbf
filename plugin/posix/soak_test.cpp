// A whole contest of 50 000 QSOs with removals, call checks and result
// requests on the host's thread, while the real setup thread runs its status
// refresh with both DXCC windows open, reading and writing the module's
// tables. Run twice: the second, identical contest gives the same result and
// leaves the resident size where the first left it. Meant for
// ThreadSanitizer (scripts/sanitizers.sh).

#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <random>

#include "plugin/posix/headless_window_system.h"
#include "testing/module_fixture.h"

namespace velmora {
namespace {

constexpr int kQsos = 50000;

// Resident bytes of this process.
std::size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// The same contest every time: calls from a pool, six bands, a QSO every
// 1.7 seconds from the start, a few on a band or in a mode that is rejected.
class Contest {
 public:
  QsoArgs Qso(int n) {
    static const char* const kBands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
    static const unsigned int kHz[] = {1830000, 3520000, 7010000, 14020000, 21020000,
                                       28020000};
    static const char* const kPrefixes[] = {"F", "DL", "K", "I", "JA", "UA", "OK", "G"};
    static const char* const kContinents[] = {"EU", "EU", "NA", "EU", "AS", "EU", "EU", "EU"};
    const int call = Pick(20000);
    const int prefix = call % 8;
    const int band = Pick(6);
    QsoArgs q = testing::Qso(kPrefixes[prefix] + std::to_string(call), kPrefixes[prefix],
                             kContinents[prefix], Time(n), kBands[band]);
    q.freq_hz = kHz[band];
    q.nr_sent = std::to_string(n + 1);
    q.nr_rcvd = std::to_string(Pick(3000));
    if (Pick(200) == 0) q.band = "30m";
    if (Pick(300) == 0) q.mode = "SSB";
    return q;
  }
  CheckCallArgs Check(const QsoArgs& q) {
    return CheckCallArgs{q.call, q.mode, q.prefix, q.band, "", false};
  }
  int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(rng_); }

 private:
  static COleDateTime Time(int n) {
    const COleDateTime start = testing::At(12, 0);
    return COleDateTime(start.Days() + n * 1.7 / 86400.0, COleDateTime::kValid);
  }
  std::mt19937 rng_{2017};
};

class SoakTest : public ::testing::Test {
 protected:
  SoakTest() {
    settings.values = {{"DXCC", "1"}, {"setup_view_dxcc_extended", "1"}};
    module.emplace(Platform{files, settings, windows, host});
  }

  // One contest from the reset; returns its result text. The operator types
  // the next call while the QSOs come in.
  std::string Run() {
    host.ClearLog();
    Contest contest;
    std::vector<QsoArgs> handed_over;
    handed_over.reserve(kQsos);
    module->ResetStats(testing::ContestReset());
    for (int n = 0; n < kQsos; ++n) {
      QsoArgs q = contest.Qso(n);
      if (n % 10 == 0) host.Serve(q.call, q.freq_hz);
      char serial[10];
      module->CheckCall(contest.Check(q), serial);
      if (module->AddData(q) == 1) handed_over.push_back(q);
      if (n % 200 == 199) {
        const std::size_t i = static_cast<std::size_t>(
            contest.Pick(static_cast<int>(handed_over.size())));
        module->RemoveData(handed_over[i]);
      }
      if (n % 5000 == 4999) module->GetResult(nullptr);
    }
    // Every refresh posted so far has run.
    EXPECT_TRUE(windows.Inspect().has_value()) << "the setup window has gone";
    return module->GetResult(nullptr);
  }

  testing::FakeFileSystem files;
  testing::FakeSettingsStore settings;
  HeadlessWindowSystem windows;
  testing::FakeHostLink host;
  std::optional<Module> module;  // goes first: it shuts the windows down
};

TEST_F(SoakTest, TwoIdenticalContestsBesideTheSetupThreadGiveOneResultAndFlatMemory) {
  // The C library's sliding threshold would move big blocks from mapped
  // memory into the heap after the first contest; pinned, what grows is the
  // plug-in's own memory. (Sanitizer allocators ignore it.)
  ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  const std::string first = Run();
  const std::size_t first_size = module->LogCopy().size();
  const int first_refreshes = windows.Inspect().value_or(HeadlessSetupState{}).status_refreshes;
  const std::size_t after_first = ResidentBytes();
  const std::string second = Run();
  const std::size_t after_second = ResidentBytes();

  EXPECT_EQ(second, first);
  EXPECT_EQ(module->LogCopy().size(), first_size);
  EXPECT_GT(first_size, kQsos * 9u / 10u);
  EXPECT_GT(first_refreshes, 100) << "the setup thread hardly refreshed";
  EXPECT_EQ(windows.setup_starts(), 1);
  // Within a few percent, and a megabyte for small heaps.
  EXPECT_LE(after_second, after_first + after_first / 20 + (1u << 20))
      << "after the first contest " << after_first << ", after the second " << after_second;
}

}  // namespace
}  // namespace velmora
