#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace vireon {
namespace {

TEST(NumberText, DoublesReadBackBitExact) {
  std::mt19937_64 generator(7);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int i = 0; i < 2000; ++i) {
    double value = 0;
    const std::uint64_t pattern = bits(generator);
    std::memcpy(&value, &pattern, sizeof value);
    if (!std::isfinite(value)) continue;
    const auto parsed = ParseDouble(FormatDouble(value));
    ASSERT_TRUE(parsed.has_value()) << FormatDouble(value);
    EXPECT_EQ(std::memcmp(&*parsed, &value, sizeof value), 0) << FormatDouble(value);
  }
}

TEST(NumberText, FormatsShortestAndNonFinite) {
  EXPECT_EQ(FormatDouble(0.1), "0.1");
  EXPECT_EQ(FormatDouble(48000.0), "48000");
  EXPECT_EQ(FormatDouble(-2.5e-300), "-2.5e-300");
  EXPECT_EQ(FormatDouble(std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(FormatDouble(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(FormatInt(-2147483648LL), "-2147483648");
}

TEST(NumberText, ParsesIndependentlyOfLocaleAndRejectsJunk) {
  struct Case {
    const char* text;
    std::optional<double> expected;
  };
  const Case cases[] = {
      {"1.5", 1.5}, {"1,5", 1.5}, {"  -3e2 \r", -300.0}, {"+7", 7.0}, {"", {}},
      {"abc", {}},  {"1.5x", {}}, {"1.2.3", {}},         {"--1", {}}, {" ", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseDouble(c.text), c.expected) << '"' << c.text << '"';
  }
  EXPECT_EQ(ParseInt(" 42 "), 42);
  EXPECT_EQ(ParseInt("-7"), -7);
  EXPECT_EQ(ParseInt("4.2"), std::nullopt);
  EXPECT_EQ(ParseInt("99999999999999999999"), std::nullopt);
}

}  // namespace
}  // namespace vireon
