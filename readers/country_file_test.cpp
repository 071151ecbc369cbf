#include "readers/country_file.h"

#include <gtest/gtest.h>

#include "readers/log_qso.h"
#include "testing/whole_file.h"

namespace {

CountryFile LoadExcerpt() {
  return CountryFile::Parse(velmora::testing::ReadWholeFile(VELMORA_TESTDATA "/cty_excerpt.dat"),
                            "cty_excerpt.dat");
}

// "KEY CONT CQ ITU" of a lookup, or "none".
std::string Where(const CountryFile& file, std::string_view call) {
  std::optional<Entity> entity = file.Lookup(call);
  if (!entity) return "none";
  return entity->key + " " + entity->continent + " " + std::to_string(entity->cq) + " " +
         std::to_string(entity->itu);
}

std::string ParseError(std::string_view text) {
  try {
    CountryFile::Parse(text, "cty.dat");
  } catch (const LogReadError& error) {
    return error.what();
  }
  return "no error";
}

class CountryFileTest : public ::testing::Test {
 protected:
  CountryFile file_ = LoadExcerpt();
};

TEST_F(CountryFileTest, ReadsEveryEntityWithItsHeaderFields) {
  EXPECT_EQ(file_.EntityCount(), 19u);
  std::optional<Entity> germany = file_.Lookup("DK1ABC");
  ASSERT_TRUE(germany);
  EXPECT_EQ(germany->name, "Fed. Rep. of Germany");
  EXPECT_EQ(germany->key, "DL");
}

TEST_F(CountryFileTest, ExactCallEntriesWinOverPrefixes) {
  EXPECT_EQ(Where(file_, "GB2XYZ"), "G EU 14 27");
  EXPECT_EQ(Where(file_, "GB0QSX"), "GM EU 14 27");
  EXPECT_EQ(Where(file_, "TA2QQZ"), "TA1 EU 20 39");
  EXPECT_EQ(Where(file_, "DL0QQW/LH"), "DL EU 14 28");
  // An exact entry matches the whole call only.
  EXPECT_EQ(Where(file_, "GB0QSXA"), "G EU 14 27");
}

TEST_F(CountryFileTest, LongestMatchingPrefixWinsAndKeysDropTheStar) {
  EXPECT_EQ(Where(file_, "TA1QQQ"), "TA1 EU 20 39");
  EXPECT_EQ(Where(file_, "TA3QQQ"), "TA AS 20 39");
  EXPECT_EQ(Where(file_, "UA9QQQ"), "UA9 AS 17 30");
  EXPECT_EQ(Where(file_, "UA3QQQ"), "UA EU 16 29");
  EXPECT_EQ(Where(file_, "PY0FQ"), "PY0F SA 11 13");
  EXPECT_EQ(Where(file_, "PY2QQ"), "PY SA 11 15");
  EXPECT_EQ(Where(file_, "EA8QQ"), "EA8 AF 33 36");
}

TEST_F(CountryFileTest, AliasOverridesApplyToThatAliasOnly) {
  EXPECT_EQ(Where(file_, "W6QQ"), "K NA 3 6");
  EXPECT_EQ(Where(file_, "W0QQ"), "K NA 4 7");
  EXPECT_EQ(Where(file_, "W1QQ"), "K NA 5 8");
  EXPECT_EQ(Where(file_, "KL7QQB"), "KL NA 2 1");
  EXPECT_EQ(Where(file_, "R1QQP"), "UA AS 40 75");
  EXPECT_EQ(Where(file_, "SU9QZA"), "SU AS 34 38");
  EXPECT_EQ(Where(file_, "SU9QZB"), "SU AF 34 38");
  EXPECT_EQ(Where(file_, "UA0QQ"), "UA9 AS 19 25");
}

TEST_F(CountryFileTest, LookupIgnoresCaseAndFindsNothingForUnknownPrefixes) {
  EXPECT_EQ(Where(file_, " gb0qsx "), "GM EU 14 27");
  EXPECT_EQ(Where(file_, "XX9ABC"), "none");
  EXPECT_EQ(Where(file_, "/"), "none");
}

TEST_F(CountryFileTest, PrefixBeforeOrAfterTheCallTellsWhereItIsOperated) {
  EXPECT_EQ(Where(file_, "DL/OK1XX"), "DL EU 14 28");
  EXPECT_EQ(Where(file_, "OK1XX/DL"), "DL EU 14 28");
  EXPECT_EQ(Where(file_, "VP2E/OK1XX"), "VP2E NA 8 11");
  EXPECT_EQ(Where(file_, "OK1XX/VP2E"), "VP2E NA 8 11");
  EXPECT_EQ(Where(file_, "EA8/DL1ABC/P"), "EA8 AF 33 36");
  EXPECT_EQ(Where(file_, "PY0F/W1ABC"), "PY0F SA 11 13");
}

TEST_F(CountryFileTest, OperatingSuffixesKeepTheHomeEntity) {
  for (const char* call : {"OK1XX/P", "OK1XX/M", "OK1XX/A", "OK1XX/B", "OK1XX/QRP", "OK1XX/LH"})
    EXPECT_EQ(Where(file_, call), "OK EU 15 28") << call;
}

TEST_F(CountryFileTest, MaritimeAndAeronauticalMobilesHaveNoEntity) {
  EXPECT_EQ(Where(file_, "OK1XX/MM"), "none");
  EXPECT_EQ(Where(file_, "W1ABC/AM"), "none");
  // ... unless the country file lists that very call.
  EXPECT_EQ(Where(file_, "W1QZX/MM"), "K NA 5 8");
}

TEST_F(CountryFileTest, TrailingDigitReplacesTheCallAreaDigit) {
  EXPECT_EQ(Where(file_, "W1ABC/6"), "K NA 3 6");
  EXPECT_EQ(Where(file_, "W6ABC/0"), "K NA 4 7");
  EXPECT_EQ(Where(file_, "UA3ABC/9"), "UA9 AS 17 30");
  EXPECT_EQ(Where(file_, "UA9ABC/3"), "UA EU 16 29");
}

TEST(CountryFileParseTest, ReportsMalformedRecordsWithFileAndLine) {
  const std::string header = "Czech Republic: 15: 28: EU: 50.00: -16.00: -1.0: OK:\n";
  EXPECT_EQ(ParseError("Czech Republic: 15: 28: EU: 50.00: -16.00: OK:\n    OK;\n"),
            "cty.dat:1: entity line needs 8 fields ended by ':'");
  EXPECT_EQ(ParseError(header + "    OK,OL,\nMonaco: 14: 27: EU: 43.73: -7.40: -1.0: 3A:\n"),
            "cty.dat:1: entity is not closed by ';'");
  EXPECT_EQ(ParseError(header + "    OK,OL"), "cty.dat:1: entity is not closed by ';'");
  EXPECT_EQ(ParseError("    OK;\n"), "cty.dat:1: alias line outside an entity");
  EXPECT_EQ(ParseError("Czech Republic: 15: 28: XX: 50.00: -16.00: -1.0: OK:\n    OK;\n"),
            "cty.dat:1: bad continent \"XX\"");
  EXPECT_EQ(ParseError("Czech Republic: 15: 99: EU: 50.00: -16.00: -1.0: OK:\n    OK;\n"),
            "cty.dat:1: bad ITU zone \"99\"");
  EXPECT_EQ(ParseError(header + "    OK,\n    OL(15;\n"),
            "cty.dat:3: unclosed override in \"OL(15\"");
  EXPECT_EQ(ParseError(header + "    OK,O L;\n"), "cty.dat:2: bad alias \"O L\"");
  EXPECT_EQ(ParseError(header + "    OK{EU}x;\n"), "cty.dat:2: bad alias \"OK{EU}x\"");
  EXPECT_EQ(ParseError(""), "cty.dat:1: no entity in the country file");
}

TEST(CountryFileParseTest, AcceptsCrLfLinesBlankLinesAndNoFinalNewline) {
  CountryFile file = CountryFile::Parse(
      "Monaco:  14:  27:  EU:  43.73:  -7.40:  -1.0:  3A:\r\n    3A,\r\n\r\n    =3A2QQ(15);\r\n"
      "Israel:  20:  39:  AS:  31.32: -34.82:  -2.0:  4X:\r\n    4X,4Z;",
      "cty.dat");
  EXPECT_EQ(file.EntityCount(), 2u);
  EXPECT_EQ(Where(file, "3A2QQ"), "3A EU 15 27");
  EXPECT_EQ(Where(file, "4Z5AB"), "4X AS 20 39");
}

}  // namespace
