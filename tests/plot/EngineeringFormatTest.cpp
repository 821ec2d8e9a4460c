#include "plot/EngineeringFormat.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vireon {
namespace {

TEST(EngineeringFormatTest, PrefixMantissaAndSign) {
  struct Case {
    double value;
    int digits;
    const char* text;
  };
  const Case cases[] = {
      {1234.5678, 4, "1.235k"},
      {-0.0047, 3, "-4.7m"},
      {1.5e9, 3, "1.5G"},
      {1e12, 4, "1000G"},
      {0.5, 1, "500m"},
      {1.0, 4, "1"},
      {2.2e-6, 2, "2.2u"},
      {4.7e-9, 2, "4.7n"},
      {33e-12, 2, "33p"},
      {2e-15, 3, "2f"},
      {20000.0, 5, "20k"},
      {-56.0 / 48000.0, 4, "-1.167m"},
      // The mantissa is cut to five characters, not rounded again.
      {12345678.0, 5, "12.34M"},
      {123.456, 6, "123.4"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EngFormat(c.value, c.digits), c.text) << c.value << " at " << c.digits;
  }
}

// Rounding to the digits comes first, so a value just below a prefix boundary takes the next
// prefix instead of reading "1000".
TEST(EngineeringFormatTest, RoundsBeforeChoosingThePrefix) {
  EXPECT_EQ(EngFormat(999.96, 4), "1k");
  EXPECT_EQ(EngFormat(999.94, 4), "999.9");
  EXPECT_EQ(EngFormat(0.00099999, 3), "1m");
  EXPECT_EQ(EngFormat(999999999.7, 4), "1G");
  EXPECT_EQ(EngFormat(-999.96, 4), "-1k");
}

TEST(EngineeringFormatTest, TinyAndNonFiniteValuesReadZero) {
  for (const double value :
       {0.0, -0.0, 1e-16, -1e-15, 1e-15, std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(EngFormat(value, 4), "0") << value;
  }
}

TEST(EngineeringFormatTest, GridStepRounding) {
  struct Case {
    double value;
    double round125;
    double ceil125;
    double ceil_single_digit;
    double floor_leading_digit;
  };
  const Case cases[] = {
      {0.37, 0.5, 0.5, 0.4, 0.3},       {0.14, 0.1, 0.2, 0.2, 0.1},
      {2.9, 2.0, 5.0, 3.0, 2.0},        {1500.0, 2000.0, 2000.0, 2000.0, 1000.0},
      {1.0, 1.0, 1.0, 1.0, 1.0},        {6.0, 5.0, 10.0, 6.0, 6.0},
      {95.0, 50.0, 100.0, 100.0, 90.0}, {0.0999999, 0.05, 0.1, 0.1, 0.1},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(Round125(c.value), c.round125) << c.value;
    EXPECT_DOUBLE_EQ(Ceil125(c.value), c.ceil125) << c.value;
    EXPECT_DOUBLE_EQ(CeilSingleDigit(c.value), c.ceil_single_digit) << c.value;
    EXPECT_DOUBLE_EQ(FloorLeadingDigit(c.value), c.floor_leading_digit) << c.value;
  }
  EXPECT_DOUBLE_EQ(Round125(1e-9), 1e-6) << "never below 1e-6";
}

}  // namespace
}  // namespace vireon
