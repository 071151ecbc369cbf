// Loads the built plug-in library and drives a short contest through its plain
// entry-point names only, as the host does.

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "plugin/exports.h"
#include "testing/library_fixture.h"
#include "testing/whole_file.h"

namespace {

using velmora::testing::ReadWholeFile;

TEST_F(LibraryTest, DrivesAShortContestThroughThePlainNames) {
  auto reset = Get<decltype(ResetStats0)>("ResetStats0");
  auto add = Get<decltype(AddData0)>("AddData0");
  auto remove = Get<decltype(RemoveData0)>("RemoveData0");
  auto check = Get<decltype(CheckCall0)>("CheckCall0");
  auto result = Get<decltype(GetResult0)>("GetResult0");
  auto valid = Get<decltype(IsValidExchg0)>("IsValidExchg0");
  auto count = Get<decltype(GetExchgCount0)>("GetExchgCount0");
  auto sets = Get<decltype(GetNumberOfSets)>("GetNumberOfSets");
  auto name = Get<decltype(GetSetName)>("GetSetName");
  auto version = Get<decltype(setVersion)>("setVersion");
  ASSERT_NE(Get<decltype(SetupSet0)>("SetupSet0"), nullptr);

  COleDateTime start = COleDateTime::FromParts(2017, 6, 3, 12, 0, 0);
  COleDateTime end = COleDateTime::FromParts(2017, 6, 4, 11, 59, 0);
  const char* e = "";
  EXPECT_EQ(reset("", 0, "DL1ABC", &start, &end, e, e, e, e, e, e, e, e, e, "DL", 0, 0,
                  0, 0.0, 0.0, e, "EU", e),
            1);
  auto qso = [&](auto fn, const char* call, int minute, const char* band,
                 const char* nr) {
    COleDateTime t = COleDateTime::FromParts(2017, 6, 3, 13, minute, 0);
    return fn("DL1ABC", call, &t, nullptr, nullptr, nullptr, 0, 14025000, "CW", "599",
              "599", "001", nr, e, e, e, e, e, e, e, e, e, "F", 0, 0, 0, 0.0, 0.0, e,
              "EU", e, band, e);
  };
  EXPECT_EQ(qso(add, "F5ABC", 0, "20m", "007"), 1);
  EXPECT_EQ(qso(add, "F5ABC", 1, "20m", "008"), 1);
  EXPECT_EQ(qso(add, "F6XYZ", 2, "30m", "009"), 0);
  EXPECT_EQ(qso(add, "F6XYZ", 3, "20m", ""), 0);
  EXPECT_EQ(qso(add, nullptr, 4, nullptr, nullptr), 0);  // nulls read as empty
  EXPECT_EQ(qso(remove, "F6XYZ", 2, "30m", "009"), 1);

  char serial[10] = "x";
  EXPECT_EQ(check("F5ABC", 0, 0, "CW", e, e, e, e, e, e, e, e, e, "F", 0, 0, 0, 0.0,
                  0.0, e, e, e, e, e, "40m", nullptr, serial, nullptr),
            2);
  EXPECT_STREQ(serial, "008");
  int score = 0;
  std::string text = result(&score);
  EXPECT_EQ(score, -1);
  EXPECT_NE(text.find("Score: 3*1 = 3\r\n"), std::string::npos) << text;
  EXPECT_EQ(valid("123", e, e, e, 0, 0, 0), 1);
  EXPECT_EQ(valid(nullptr, e, e, e, 0, 0, 0), 0);
  EXPECT_EQ(count(e, e, e), 1);
  EXPECT_EQ(sets(), 1);
  EXPECT_STREQ(name(0), "Velmora Memorial(C)");
  EXPECT_STREQ(name(1), "");
  EXPECT_STREQ(name(-1), "");
  EXPECT_EQ(version(nullptr), 0u);
  EXPECT_EQ(std::string(result(&score)).rfind("<html>", 0), 0u);

  const std::string heading = "Velmora Memorial Contest HF UBN file \r\n";
  EXPECT_EQ(ReadWholeFile("err.txt"), heading);
  EXPECT_EQ(ReadWholeFile("BadQSO_StatsZEB_04_06_2017.txt"),
            heading +
                "QSO:  14025  CW  2017-06-03 1301  DL1ABC  599  001  F5ABC  599  008"
                "   DUPE !!!\r\n"
                "QSO:  14025  CW  2017-06-03 1303  DL1ABC  599  001  F6XYZ  599  "
                "   NO RX NUMBER !!!\r\n"
                "QSO:  14025  CW  2017-06-03 1304  DL1ABC  599  001    599  "
                "   WRONG BAND !!!\r\n");
  std::string ini = ReadWholeFile("Plugins/Velmora.ini");
  EXPECT_NE(ini.find("[Settings]\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Start=1\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Claimed=3\r\n"), std::string::npos);
}

}  // namespace
