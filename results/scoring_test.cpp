#include "results/scoring.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

CInfo Record(const char* prefix, const char* band, bool dupe, const COleDateTime& time) {
  CInfo r;
  r.Call = "X1ABC";
  r.Prefix = prefix;
  r.Continent = "EU";
  r.Band = band;
  r.Mode = "CW";
  r.Dupe = dupe ? 1 : 0;
  r.Time = time;
  return r;
}

// The per-band sums of the pass are packed and emptied in chunks: a log
// longer than a chunk must still add up.
TEST(ComputeScoreTest, SumsHoldAcrossLogsLongerThanOneChunk) {
  const COleDateTime time(42889.5, COleDateTime::kValid);
  QsoLog log;
  BandLists lists;
  constexpr int kQsos = 300000;
  for (int i = 0; i < kQsos; ++i) {
    log.Append(Record(i % 2 ? "DL" : "F", "20m", i % 3 == 0, time));
    if (i == 0) lists.NoteBand("20m");
  }
  log.Append(Record("F", "40m", false, time));
  lists.NoteBand("40m");
  // Moved-in strings: GCC 12 at -O3 cannot tell a literal assigned into a
  // default-constructed string from the string's own buffer, and reports a
  // read of uninitialised bytes.
  Station station;
  station.StationPrefix = std::string("DL");
  station.StationContinent = std::string("NA");

  ScoreSheet sheet = ComputeScore(log, lists, station, false);
  ASSERT_EQ(sheet.rows.size(), 2u);
  EXPECT_EQ(sheet.rows[0].band, "40m");
  EXPECT_EQ(sheet.rows[1].band, "20m");
  EXPECT_EQ(sheet.rows[1].qsos, kQsos);
  EXPECT_EQ(sheet.rows[1].points, kQsos / 2 * 1 + kQsos / 2 * 5);
  EXPECT_EQ(sheet.rows[1].dupes, kQsos / 3);
  EXPECT_EQ(sheet.rows[1].mults, 2);
  EXPECT_EQ(lists.BandMults[static_cast<std::size_t>(ContestBands().IndexOf("20m"))],
            (std::vector<std::string>{"F", "DL"}));
  // Every QSO has the same time: all are within the last ten minutes of the
  // last one, on 40m.
  EXPECT_EQ(sheet.ten_qsos, 1);
  EXPECT_EQ(sheet.last_points, 5);
  EXPECT_EQ(sheet.score, (kQsos / 2 * 6 + 5) * 3);
}

}  // namespace
}  // namespace velmora
