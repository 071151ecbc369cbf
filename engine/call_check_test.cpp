#include "engine/call_check.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/qso_validation.h"
#include "testing/module_fixture.h"

namespace velmora {
namespace {

using testing::At;
using testing::Qso;

class CallCheckTest : public ::testing::Test {
 protected:
  void Store(const QsoArgs& q) { log.Append(MakeRecord(q)); }
  CheckCallArgs Ask(std::string call, std::string prefix, std::string band = "20m") {
    CheckCallArgs a;
    a.call = std::move(call);
    a.prefix = std::move(prefix);
    a.mode = "CW";
    a.band = std::move(band);
    return a;
  }
  QsoLog log;
};

TEST_F(CallCheckTest, EmptyLogGivesNewMultiplier) {
  EXPECT_EQ(CheckCall(log, Ask("F5ABC", "F"), "Vemo").code, kNewMult);
}

TEST_F(CallCheckTest, DupeKnownAndNewMultiplier) {
  Store(Qso("F5ABC", "F", "EU", At(12, 0)));
  EXPECT_EQ(CheckCall(log, Ask("F5ABC", "F"), "Vemo").code, kCallDupe);
  EXPECT_EQ(CheckCall(log, Ask("F6XYZ", "F"), "Vemo").code, kKnownMult);
  EXPECT_EQ(CheckCall(log, Ask("F6XYZ", "F", "40m"), "Vemo").code, kNewMult);
  EXPECT_EQ(CheckCall(log, Ask("f5abc", "F"), "Vemo").code, kKnownMult);
}

TEST_F(CallCheckTest, RemembersTheSerialOfTheLatestEarlierQsoOnOtherBands) {
  QsoArgs q = Qso("OK1XX", "OK", "EU", At(12, 0), "40m");
  q.nr_rcvd = "007";
  Store(q);
  q.band = "80m";
  q.nr_rcvd = "019";
  Store(q);
  CallCheckResult r = CheckCall(log, Ask("OK1XX", "OK"), "Vemo");
  EXPECT_EQ(r.code, kNewMult);
  EXPECT_EQ(r.remembered_serial, "019");

  // On the band already worked: a dupe, with the serial stored before it.
  EXPECT_EQ(CheckCall(log, Ask("OK1XX", "OK", "40m"), "Vemo").remembered_serial, "");
  r = CheckCall(log, Ask("OK1XX", "OK", "80m"), "Vemo");
  EXPECT_EQ(r.code, kCallDupe);
  EXPECT_EQ(r.remembered_serial, "007");
}

TEST_F(CallCheckTest, ItalianPrefixesAreStoredFoldedButAskedUnchanged) {
  Store(Qso("IT9AAA", "IT9", "EU", At(12, 0)));
  EXPECT_EQ(CheckCall(log, Ask("I2XX", "I"), "Vemo").code, kKnownMult);
  EXPECT_EQ(CheckCall(log, Ask("IT9BBB", "IT9"), "Vemo").code, kNewMult);
}

TEST_F(CallCheckTest, UnworkableCallsDependOnTheHostVersion) {
  CheckCallArgs two_bands = Ask("F5ABC", "F");
  two_bands.band2 = "40m";
  EXPECT_EQ(CheckCall(log, two_bands, "Vemo").code, kUnworkable);
  EXPECT_EQ(CheckCall(log, two_bands, "2.19").code, kKnownMult);
  EXPECT_EQ(CheckCall(log, two_bands, "2.20").code, kKnownMult);
  EXPECT_FALSE(CheckCall(log, two_bands, "2.20").workable);
  two_bands.band2 = "20M";
  EXPECT_EQ(CheckCall(log, two_bands, "Vemo").code, kNewMult);
  EXPECT_EQ(CheckCall(log, Ask("F5ABC", "F", "30m"), "2.18").code, kUnworkable);
  EXPECT_EQ(CheckCall(log, Ask("F5ABC", "F", ""), "2.18").code, kUnworkable);
  CheckCallArgs ssb = Ask("F5ABC", "F");
  ssb.mode = "SSB";
  EXPECT_EQ(CheckCall(log, ssb, "Vemo").code, kUnworkable);
}

TEST_F(CallCheckTest, CapitalBandIsComparedAsTheContestSpelling) {
  Store(Qso("F5ABC", "F", "EU", At(12, 0), "20M"));
  EXPECT_EQ(CheckCall(log, Ask("F5ABC", "F", "20m"), "Vemo").code, kCallDupe);
  EXPECT_EQ(CheckCall(log, Ask("F5ABC", "F", "20M"), "Vemo").code, kCallDupe);
}

TEST(CopySerialTest, WritesAtMostNineCharactersAndTheNul) {
  char buffer[12];
  std::memset(buffer, '#', sizeof buffer);
  CopySerial("12345678901", buffer);
  EXPECT_STREQ(buffer, "123456789");
  EXPECT_EQ(buffer[10], '#');
  CopySerial("", buffer);
  EXPECT_STREQ(buffer, "");
  CopySerial("1", nullptr);
}

}  // namespace
}  // namespace velmora
