#include "readers/argument_reader.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::readers {
namespace {

// The message a reader's value throws for the flag at args[0], or "" when none.
template <typename Read>
std::string MessageOf(std::vector<std::string> args, Read read) {
  ArgumentReader reader(args);
  reader.Next();
  try {
    read(reader);
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "";
}

TEST(ArgumentReaderTest, BadValuesNameTheFlagAndWhatItWants) {
  auto number = [](ArgumentReader& r) { r.NumberValue(1, 1440, "minutes"); };
  EXPECT_EQ(MessageOf({"--break-minutes"}, number), "--break-minutes needs a value");
  EXPECT_EQ(MessageOf({"--break-minutes", "0"}, number),
            "--break-minutes wants minutes from 1 to 1440, not '0'");
  EXPECT_EQ(MessageOf({"--break-minutes", "30m"}, number),
            "--break-minutes wants minutes from 1 to 1440, not '30m'");
  EXPECT_EQ(MessageOf({"--break-minutes", "1440"}, number), "");
  auto time = [](ArgumentReader& r) { r.DateTimeValue(); };
  EXPECT_EQ(MessageOf({"--start", "2026-02-30 12:00"}, time),
            "--start wants 'YYYY-MM-DD HH:MM', not '2026-02-30 12:00'");
  EXPECT_EQ(MessageOf({"--start", "2026-02-28T12:00"}, time), "");
}

TEST(ArgumentReaderTest, AValueIsTakenWhateverItLooksLike) {
  std::vector<std::string> args = {"--call", "-j", "log.cbr"};
  ArgumentReader reader(args);
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Value(), "-j");
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.arg(), "log.cbr");
  EXPECT_FALSE(reader.IsUnknownFlag());
  EXPECT_FALSE(reader.Next());
}

}  // namespace
}  // namespace velmora::readers
