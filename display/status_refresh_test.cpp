#include "display/status_refresh.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>

#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;
using ::testing::Optional;

constexpr double k20m = 14'025'000;
const CallRow kNoQsoRow = {"   -", "   -", "   -", "   -"};

CInfo Record(std::string call, std::string band, COleDateTime time, std::string nr) {
  CInfo qso;
  qso.Call = std::move(call);
  qso.Band = std::move(band);
  qso.Mode = "CW";
  qso.NrRcvd = std::move(nr);
  qso.Time = time;
  return qso;
}

int TickedCount(const PageStates& states) {
  int ticked = 0;
  for (const auto& page : states) ticked += std::accumulate(page.begin(), page.end(), 0);
  return ticked;
}

class StatusRefreshTest : public ::testing::Test {
 protected:
  StatusRefreshTest() {
    in.start_year = "2017";
    in.band_index = 3;
  }
  // The first `count` keys of the EU page, each ticking one box.
  static std::vector<std::string> EuKeys(std::size_t count) {
    std::vector<std::string> keys;
    for (const EntityBox& box : ContinentPages()[kEuPage].boxes.first(count))
      keys.emplace_back(box.Key());
    return keys;
  }
  RefreshInput in;
};

TEST_F(StatusRefreshTest, ShortCallChangesOnlyTheCurrentCall) {
  for (const char* call : {"D", "DL"}) {
    in.call = call;
    in.frequency_hz = 7'025'000;
    RefreshView view = ComputeRefresh(in);
    EXPECT_EQ(view.current_call, call);
    EXPECT_EQ(view.band_index, 3);
    EXPECT_FALSE(view.call_rows || view.info_title || view.multiplier_title ||
                 view.page_states || view.repaint_info_button);
  }
}

TEST_F(StatusRefreshTest, EmptyCallShowsTheBandsMultipliersInBothWindows) {
  in.band_index = -1;
  in.frequency_hz = k20m;
  in.band_mults[3] = EuKeys(45);
  in.band_mults[2] = {"OK", "9A"};  // another band: not ticked
  RefreshView view = ComputeRefresh(in);
  EXPECT_EQ(view.band_index, 3);
  EXPECT_THAT(view.multiplier_title, Optional(std::string("ZEB-2017 DXCC worked on 20m 45 of 338")));
  EXPECT_EQ(view.info_title, view.multiplier_title);
  ASSERT_TRUE(view.page_states);
  EXPECT_EQ(TickedCount(*view.page_states), 45);
  EXPECT_EQ((*view.page_states)[kEuPage][44], 1);
  EXPECT_EQ((*view.page_states)[kEuPage][45], 0);
  EXPECT_FALSE(view.call_rows);
  EXPECT_TRUE(view.repaint_info_button);
}

TEST_F(StatusRefreshTest, CallFillsTheRowsOfItsLastQsoPerBand) {
  in.call = "OK1AB";
  in.frequency_hz = 7'001'000;
  in.band_mults[2] = {"OK"};
  in.call_qsos.push_back(Record("OK1AB", "40m", At(12, 5), "003"));
  in.call_qsos.push_back(Record("OK1AB", "20m", At(12, 30), "011"));
  in.call_qsos.push_back(Record("OK1AB", "40m", At(13, 7), "024"));
  in.call_qsos.push_back(Record("OK1ABC", "40m", At(13, 9), "025"));  // other calls do not count
  in.call_qsos.push_back(Record("ok1ab", "80m", At(13, 10), "026"));
  in.call_qsos.push_back(Record("OK1AB", "40M", At(13, 11), "027"));  // band compared exactly
  RefreshView view = ComputeRefresh(in);
  ASSERT_TRUE(view.call_rows);
  const CallRows& rows = *view.call_rows;
  EXPECT_EQ(rows[2], (CallRow{"CW", "13:07", "024", "   -"}));
  EXPECT_EQ(rows[3], (CallRow{"CW", "12:30", "011", "   -"}));
  for (std::size_t band : {0u, 1u, 4u, 5u}) EXPECT_EQ(rows[band], kNoQsoRow);
  EXPECT_THAT(view.info_title, Optional(std::string("ZEB-2017 Worked with OK1AB ")));
  EXPECT_THAT(view.multiplier_title, Optional(std::string("ZEB-2017 DXCC worked on 40m 1 of 338")));
  EXPECT_EQ(view.band_index, 2);
  EXPECT_TRUE(view.repaint_info_button);
}

TEST_F(StatusRefreshTest, FrequencyOutsideTheBandsKeepsBandTitlesAndBoxes) {
  in.frequency_hz = 29'100'000;
  in.band_mults[3] = {"DL"};
  RefreshView view = ComputeRefresh(in);
  EXPECT_EQ(view.band_index, 3);
  EXPECT_FALSE(view.info_title || view.multiplier_title || view.page_states ||
               view.repaint_info_button);

  in.call = "OK1AB";  // the call view still changes
  view = ComputeRefresh(in);
  EXPECT_TRUE(view.call_rows);
  EXPECT_TRUE(view.info_title);
  EXPECT_FALSE(view.multiplier_title || view.page_states || view.repaint_info_button);
}

TEST(BandIndexForFrequencyTest, WholeMegahertzPicksTheBand) {
  EXPECT_EQ(BandIndexForFrequency(1'830'000), 0);
  EXPECT_EQ(BandIndexForFrequency(3'999'999.9), 1);
  EXPECT_EQ(BandIndexForFrequency(28'999'999), 5);
  for (double outside : {29e6, 2e6, 4e6, 0.0, -1.5e6})
    EXPECT_EQ(BandIndexForFrequency(outside), -1) << outside;
}

TEST_F(StatusRefreshTest, EmptyListClearsEveryBox) {
  in.frequency_hz = k20m;
  RefreshView view = ComputeRefresh(in);
  ASSERT_TRUE(view.page_states);
  EXPECT_EQ(*view.page_states, ClearedPageStates());
  EXPECT_THAT(view.multiplier_title, Optional(std::string("ZEB-2017 DXCC worked on 20m 0 of 338")));
}

TEST_F(StatusRefreshTest, RussianTitlesInWindows1251) {
  in.russian_texts = true;
  in.frequency_hz = 21'050'000;
  in.band_mults[4] = {"DL", "F"};
  RefreshView view = ComputeRefresh(in);
  EXPECT_THAT(view.multiplier_title,
              Optional(std::string("ZEB-2017 DXCC \xf1\xf0\xe0\xe1\xee\xf2\xe0\xed\xee "
                                   "\xed\xe0 15m 2 \xe8\xe7 338")));
  in.call = "UA3AB";
  view = ComputeRefresh(in);
  EXPECT_THAT(view.info_title,
              Optional(std::string("ZEB-2017 \xd0\xe0\xe1\xee\xf2\xe0\xeb \xf1 UA3AB ")));
}

class RefreshFromModuleTest : public testing::ModuleFixture, public ::testing::Test {};

TEST_F(RefreshFromModuleTest, WorksFromTheModulesTablesAndStoresTheCallRows) {
  module.ResetStats(Reset());
  module.AddData(Qso("OK1AB", "OK", "EU", At(12, 10), "40m"));
  module.AddData(Qso("W1AW", "K", "NA", At(12, 20), "40m"));
  int score = 0;
  module.GetResult(&score);  // counts the multipliers per band
  RefreshView view = ComputeRefresh(TakeRefreshInput(module, "", 7'010'000, -1));
  EXPECT_THAT(view.info_title, Optional(std::string("ZEB-2017 DXCC worked on 40m 2 of 338")));
  EXPECT_EQ(view.page_states->at(kNaPage)[static_cast<std::size_t>(BoxesForKey("K")[0].box)], 1);

  view = ComputeRefresh(TakeRefreshInput(module, "OK1AB", 7'010'000, 2));
  BandLists lists = module.ListsCopy();
  StoreCallRows(*view.call_rows, lists);
  EXPECT_EQ(lists.BandRows[2], (std::vector<std::string>{"40m", "CW", "12:10", "042", "   -"}));
  EXPECT_EQ(lists.BandRows[0], (std::vector<std::string>{"160m", "   -", "   -", "   -", "   -"}));
}

}  // namespace
}  // namespace velmora
