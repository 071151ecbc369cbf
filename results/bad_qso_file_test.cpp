#include "results/bad_qso_file.h"

#include <gtest/gtest.h>

#include "engine/bad_qso_line.h"
#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;

constexpr char kName[] = "BadQSO_StatsZEB_04_06_2017.txt";

TEST(BadQsoLineTest, LaysOutTheQsoLikeACabrilloLineWithTheVerdict) {
  QsoArgs q = Qso("F5ABC", "F", "EU", At(14, 32), "30m");
  q.freq_hz = 10110999;
  EXPECT_EQ(BadQsoLine(q, VerdictText(Verdict::kWrongBand)),
            "QSO:  10110  CW  2017-06-03 1432  DL1ABC  599  001  F5ABC  599  042"
            "   WRONG BAND !!!\r\n");
  q.rst_sent = "";
  q.nr_rcvd = "";
  q.time = COleDateTime(0, COleDateTime::kInvalid);
  EXPECT_EQ(BadQsoLine(q, kDupeText),
            "QSO:  10110  CW  Invalid DateTime  DL1ABC    001  F5ABC  599     DUPE !!!\r\n");
}

TEST(BadQsoLineTest, ALineBreakInAValueBecomesASpace) {
  QsoArgs q = Qso("F5\r\nABC", "F", "EU", At(14, 32), "30m");
  q.nr_rcvd = "04\n2";
  EXPECT_EQ(BadQsoLine(q, kDupeText),
            "QSO:  14025  CW  2017-06-03 1432  DL1ABC  599  001  F5  ABC  599  04 2"
            "   DUPE !!!\r\n");
}

class BadQsoFileTest : public ::testing::Test {
 protected:
  BadQsoFileTest() : file(files) {}
  testing::FakeFileSystem files;
  BadQsoFile file;
};

TEST_F(BadQsoFileTest, StartsWithTheHeadingAlone) {
  files.files[kName] = "old\r\n";
  file.Start(kName);
  EXPECT_EQ(files.files[kName], "Velmora Memorial Contest HF UBN file \r\n");
  EXPECT_EQ(file.CountRejected(), 0);
}

TEST_F(BadQsoFileTest, CountsRejectedLinesButNotTheHeadingOrDupes) {
  file.Start(kName);
  file.Record(Qso("F5ABC", "F", "EU", At(12, 0), "30m"), VerdictText(Verdict::kWrongBand));
  file.Record(Qso("F5ABC", "F", "EU", At(12, 1)), kDupeText);
  file.Record(Qso("UBN1X", "F", "EU", At(12, 2)), VerdictText(Verdict::kWrongMode));
  // Lines are told apart by their words alone: a call holding "UBN" hides its
  // line from the count, one that starts the line would not.
  file.Record(Qso("AB1C", "F", "EU", At(12, 3)), VerdictText(Verdict::kWrongMode));
  EXPECT_EQ(file.CountRejected(), 2);
  // While the file holds what was written, the count does not read it.
  files.fail_read.insert(kName);
  EXPECT_EQ(file.CountRejected(), 2);
  files.fail_read.clear();

  // After a failed write the file is what counts, whatever it holds.
  files.fail_write.insert(kName);
  file.Record(Qso("AB2C", "F", "EU", At(12, 4)), VerdictText(Verdict::kWrongMode));
  EXPECT_EQ(file.CountRejected(), 2);
  files.files[kName] += "PA0XYZ 17-06-03 1205 wrong mode\r\n";
  EXPECT_EQ(file.CountRejected(), 3);
  files.fail_read.insert(kName);
  EXPECT_EQ(file.CountRejected(), 0);
}

TEST_F(BadQsoFileTest, BeforeStartLinesGoNowhere) {
  file.Record(Qso("F5ABC", "F", "EU", At(12, 0), "30m"), VerdictText(Verdict::kWrongBand));
  EXPECT_TRUE(files.files.empty());
  EXPECT_EQ(file.CountRejected(), 0);
}

TEST_F(BadQsoFileTest, DropsOnlyTheLineOfTheRemovedQso) {
  file.Start(kName);
  QsoArgs gone = Qso("DL1ABC", "DL", "EU", At(14, 32), "30m");
  QsoArgs longer_call = Qso("DL1ABCD", "DL", "EU", At(14, 32), "30m");
  QsoArgs serial_1432 = Qso("DL1ABC", "DL", "EU", At(15, 0), "30m");
  serial_1432.nr_rcvd = "1432";
  for (const QsoArgs* q : {&gone, &longer_call, &serial_1432})
    file.Record(*q, VerdictText(Verdict::kWrongBand));
  std::string before = files.files[kName];

  ASSERT_TRUE(file.DropRejectedLine("DL1ABC", "2017-06-03 1432"));
  file.Rewrite();
  EXPECT_EQ(files.files[kName],
            std::string(kUbnHeading) + BadQsoLine(longer_call, VerdictText(Verdict::kWrongBand)) +
                BadQsoLine(serial_1432, VerdictText(Verdict::kWrongBand)));
  EXPECT_FALSE(file.DropRejectedLine("DL1ABC", "2017-06-03 1432"));
  EXPECT_NE(before, files.files[kName]);
}

TEST_F(BadQsoFileTest, FailedRewriteLeavesTheEarlierFileWhole) {
  file.Start(kName);
  file.Record(Qso("F5ABC", "F", "EU", At(12, 0), "30m"), VerdictText(Verdict::kWrongBand));
  std::string before = files.files[kName];
  ASSERT_TRUE(file.DropRejectedLine("F5ABC", "2017-06-03 1200"));
  files.fail_write.insert(kName);
  file.Rewrite();
  EXPECT_EQ(files.files[kName], before);
}

TEST_F(BadQsoFileTest, AFailedAppendIsMadeGoodByTheNextLine) {
  file.Start(kName);
  QsoArgs lost = Qso("F5ABC", "F", "EU", At(12, 0), "30m");
  QsoArgs next = Qso("W1AW", "K", "NA", At(12, 1), "30m");
  files.fail_write.insert(kName);
  file.Record(lost, VerdictText(Verdict::kWrongBand));
  EXPECT_EQ(files.files[kName], kUbnHeading);
  files.fail_write.clear();
  file.Record(next, VerdictText(Verdict::kWrongBand));
  EXPECT_EQ(files.files[kName], std::string(kUbnHeading) +
                                    BadQsoLine(lost, VerdictText(Verdict::kWrongBand)) +
                                    BadQsoLine(next, VerdictText(Verdict::kWrongBand)));
}

TEST(ErrFileTest, HoldsTheHeadingAlone) {
  testing::FakeFileSystem files;
  files.files["err.txt"] = "anything\r\nelse\r\n";
  WriteErrFile(files);
  EXPECT_EQ(files.files["err.txt"], "Velmora Memorial Contest HF UBN file \r\n");
}

}  // namespace
}  // namespace velmora
