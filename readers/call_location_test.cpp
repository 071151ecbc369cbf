#include "readers/call_location.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "readers/country_file.h"
#include "testing/whole_file.h"

namespace {

// Real-world call forms and the entity (primary prefix) each is worked in;
// the same in the bundled excerpt and in the full country file.
constexpr std::pair<const char*, const char*> kPortableCalls[] = {
    {"VP2V/AA7V", "VP2V"},      // prefix first, both parts of one length
    {"AA7V/VP2V", "VP2V"},      // prefix after; only it is a listed prefix
    {"DL/OK1XX", "DL"},         // prefix before the call
    {"OK1XX/DL", "DL"},         // prefix after the call
    {"VP2E/OK1XX", "VP2E"},
    {"OK1XX/VP2E", "VP2E"},
    {"PY0F/W1ABC", "PY0F"},
    {"KH6/W1ABC", "KH6"},
    {"W1ABC/KH6", "KH6"},
    {"EA8/DL1ABC/P", "EA8"},    // prefix and operating suffix
    {"DL1ABC/EA8/P", "EA8"},
    {"GM/G4ABC", "GM"},
    {"OK1XX/P", "OK"},          // operating suffixes only
    {"G4ABC/M", "G"},
    {"DL1ABC/QRP", "DL"},
    {"OK1XX/P/QRP", "OK"},      // two suffixes
    {"W1ABC/6", "K"},           // new call area
    {"UA3ABC/9", "UA9"},
    {"UA9ABC/3", "UA"},
    {"UA9ABC/3/P", "UA"},       // new call area and a suffix
    {"DL1AB/AA7DI", "KH6"},     // tie; only the later part is an exact call
    {"W5FKX/BY1RX", "BY"},      // the whole call is an exact-call entry
    {"ta1/ok1xx", "TA1"},       // letter case does not matter
    {"OK1XX/MM", "none"},       // maritime mobile
    {"W1ABC/AM", "none"},       // aeronautical mobile
    {"OK1XX/MM/QRP", "none"},
};

std::string KeyOf(const CountryFile& file, const char* call) {
  std::optional<Entity> entity = file.Lookup(call);
  return entity ? entity->key : "none";
}

CountryFile Load(const std::string& path) {
  return CountryFile::Parse(velmora::testing::ReadWholeFile(path), path);
}

void ExpectEveryPortableCall(const CountryFile& file) {
  for (const auto& [call, key] : kPortableCalls) EXPECT_EQ(KeyOf(file, call), key) << call;
}

TEST(CallLocationTest, PortableCallsInTheBundledExcerpt) {
  ExpectEveryPortableCall(Load(VELMORA_TESTDATA "/cty_excerpt.dat"));
}

TEST(CallLocationTest, PortableCallsInTheFullCountryFile) {
  const std::string full = "/usr/share/hamradio-files/cty.dat";
  if (!std::filesystem::exists(full)) GTEST_SKIP() << full << " is not installed";
  ExpectEveryPortableCall(Load(full));
}

TEST(CallLocationTest, TiesGoToTheFirstPartUnlessOnlyALaterOneIsListed) {
  auto listed = [](const std::string& part) { return part == "VP2V" || part == "KH6"; };
  EXPECT_EQ(CallLocation("VP2V/AA7V", listed), "VP2V");
  EXPECT_EQ(CallLocation("AA7V/VP2V", listed), "VP2V");
  EXPECT_EQ(CallLocation("AB1C/DE2F", listed), "AB1C");
  EXPECT_EQ(CallLocation("W1A/KH6", listed), "KH6");
  EXPECT_EQ(CallLocation("AB1C/DE2F", [](const std::string&) { return true; }), "AB1C");
  EXPECT_EQ(CallLocation("//", listed), std::nullopt);
}

}  // namespace
