#include "report/report_page.h"

#include <gtest/gtest.h>

#include "testing/module_fixture.h"

namespace velmora {
namespace {

// Texts from the log end up escaped, and the page reaches for nothing
// outside itself.
TEST(ReportPageTest, LogTextsAreEscapedAndThePageIsSelfContained) {
  testing::ModuleFixture f;
  ResetArgs reset = f.Reset();
  reset.own_call = "DL1<b>&";
  f.module.ResetStats(reset);
  f.module.AddData(testing::Qso("F5<i>", "F'x", "E\"U", testing::At(12, 0)));
  ReportInput in = ReportInputOf(f.module);
  QsoArgs bad = testing::Qso("<script>alert(1)</script>", "K", "NA", testing::At(12, 1), "30m");
  in.rejected.push_back({bad, Verdict::kWrongBand});
  in.unknown.push_back({"X<Y", testing::At(12, 2)});
  const std::string page = RenderReportPage(BuildContestReport(std::move(in)));

  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_EQ(page.find("<i>"), std::string::npos);
  EXPECT_NE(page.find("DL1&lt;b&gt;&amp;"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;</td><td class=t>30m"),
            std::string::npos);
  EXPECT_NE(page.find("F&#39;x"), std::string::npos);
  EXPECT_NE(page.find("E&quot;U"), std::string::npos);
  EXPECT_NE(page.find("X&lt;Y"), std::string::npos);
  EXPECT_NE(page.find("WRONG BAND</td>"), std::string::npos);
  // The only address on the page is the SVG namespace.
  std::size_t at = 0;
  while ((at = page.find("http", at)) != std::string::npos) {
    EXPECT_EQ(page.compare(at - 7, 34, "xmlns='http://www.w3.org/2000/svg'"), 0);
    ++at;
  }
  EXPECT_EQ(page.find("src="), std::string::npos);
}

}  // namespace
}  // namespace velmora
