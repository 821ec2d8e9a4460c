#include "record/NumericHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace vireon {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct BinaryCase {
  double a;
  double b;
  double expected;
};

TEST(SafeDivTest, DividesSecondByFirstAndSaturatesAtTheGuard) {
  const BinaryCase cases[] = {
      {2.0, 10.0, 5.0},     {-2.0, 10.0, -5.0},  {1e-21, 5.0, 1e20}, {1e-21, -5.0, -1e20},
      {-1e-21, 5.0, -1e20}, {1e-10, 1e15, 1e20}, {0.0, 5.0, 0.0},    {-1e-10, 1e15, -1e20},
      {0.0, 0.0, 0.0},      {1e-20, 1.0, 1e20},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SafeDiv(c.a, c.b), c.expected) << c.a << " " << c.b;
  }
}

TEST(SafeLogTest, LogOfMagnitudeWithSentinels) {
  EXPECT_DOUBLE_EQ(SafeLn(std::exp(1.0)), 1.0);
  EXPECT_DOUBLE_EQ(SafeLn(-std::exp(2.0)), 2.0);
  EXPECT_DOUBLE_EQ(SafeLog10(1000.0), 3.0);
  EXPECT_DOUBLE_EQ(SafeLog10(-0.01), -2.0);
  EXPECT_EQ(SafeLn(0.0), -100000.0);
  EXPECT_EQ(SafeLog10(0.0), -100000.0);
  EXPECT_EQ(SafeLn(kInf), 100000.0);
  EXPECT_EQ(SafeLog10(-kInf), 100000.0);
  EXPECT_EQ(SafeLn(kNaN), -100000.0);
}

TEST(DecibelTest, ToDbAndFromDbFollowTheirFloorsAndLimits) {
  EXPECT_DOUBLE_EQ(ToDb(10.0), 20.0);
  EXPECT_NEAR(ToDb(0.5), -6.020599913279624, 1e-12);
  EXPECT_EQ(ToDb(1e-16), -300.0);
  EXPECT_EQ(ToDb(0.0), -300.0);
  EXPECT_EQ(ToDb(-1.0), -300.0);
  EXPECT_EQ(ToDb(kNaN), -300.0);

  EXPECT_DOUBLE_EQ(FromDb(20.0), 10.0);
  EXPECT_DOUBLE_EQ(FromDb(0.0), 1.0);
  EXPECT_DOUBLE_EQ(FromDb(-6.020599913279624), 0.5);
  EXPECT_DOUBLE_EQ(FromDb(300.0), std::pow(10.0, 12.5));
  EXPECT_DOUBLE_EQ(FromDb(-400.0), 1e-20);
  EXPECT_EQ(FromDb(-1000.0), 1e-20);
  EXPECT_EQ(FromDb(kNaN), 1e-20);
}

TEST(WrapAngleTest, ReducesIntoHalfOpenRange) {
  const BinaryCase cases[] = {
      {180, 0.0, 0.0},      {180, 190.0, -170.0}, {180, -190.0, 170.0},    {180, 180.0, 180.0},
      {180, -180.0, 180.0}, {180, 540.0, 180.0},  {180, 359.5, -0.5},      {180, 719.75, -0.25},
      {180, -0.25, -0.25},  {180, -359.5, 0.5},   {180, 36000.125, 0.125}, {90, 100.0, -80.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(WrapAngle(c.a, c.b), c.expected) << c.a << " " << c.b;
  }
  EXPECT_NEAR(WrapAngle(0.25, 0.6), 0.1, 1e-15);
}

TEST(WrapAngleTest, RandomAnglesStayCongruentAndInRange) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> angle(-1e5, 1e5);
  for (int n = 0; n < 2000; ++n) {
    const double x = angle(random);
    const double wrapped = WrapAngle(180.0, x);
    EXPECT_GT(wrapped, -180.0);
    EXPECT_LE(wrapped, 180.0);
    const long double turns = (static_cast<long double>(x) - wrapped) / 360.0L;
    EXPECT_NEAR(static_cast<double>(turns - std::round(turns)), 0.0, 1e-9) << x;
  }
}

TEST(NearestTurnTest, MovesByWholeTurnsToWithinHalfATurnOfTheReference) {
  const BinaryCase cases[] = {
      {0.0, 350.0, -10.0},   {350.0, -10.0, 350.0},   {1000.0, 10.0, 1090.0},
      {-720.0, 0.0, -720.0}, {-900.0, 170.0, -910.0}, {0.0, 100.0, 100.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(NearestTurn(c.a, c.b), c.expected) << c.a << " " << c.b;
  }
  // The number of turns is bounded.
  EXPECT_DOUBLE_EQ(NearestTurn(1e12, 0.0), 360.0 * 1e6);
}

TEST(PolarTest, ConversionsInDegrees) {
  EXPECT_NEAR(PolarRe(60.0, 2.0), 1.0, 1e-15);
  EXPECT_NEAR(PolarIm(60.0, 2.0), std::sqrt(3.0), 1e-15);
  EXPECT_DOUBLE_EQ(PhaseDeg(1.0, 1.0), 45.0);
  EXPECT_DOUBLE_EQ(PhaseDeg(-1.0, 0.0), 180.0);
  EXPECT_DOUBLE_EQ(PhaseDeg(0.0, -1.0), -90.0);
  EXPECT_EQ(PhaseDeg(kNaN, 1.0), 90.0);
  EXPECT_DOUBLE_EQ(Hypot(3e200, 4e200), 5e200);
}

TEST(PowerOfTwoTest, FloorAndCeiling) {
  const std::int64_t cases[][3] = {{-3, 1, 1},
                                   {0, 1, 1},
                                   {1, 1, 1},
                                   {5, 4, 8},
                                   {8, 8, 8},
                                   {1025, 1024, 2048},
                                   {65537, 65536, 131072}};
  for (const auto& c : cases) {
    EXPECT_EQ(Pow2Floor(c[0]), c[1]) << c[0];
    EXPECT_EQ(Pow2Ceil(c[0]), c[2]) << c[0];
  }
}

TEST(LogFreqInterpTest, LinearInLogFrequencyWithFallbacks) {
  EXPECT_NEAR(LogFreqInterp(3.0, 1000.0, 1.0, 100.0, std::sqrt(1e5)), 2.0, 1e-12);
  EXPECT_NEAR(LogFreqInterp(3.0, 1000.0, 1.0, 100.0, 1e4), 5.0, 1e-12);  // extrapolates
  EXPECT_EQ(LogFreqInterp(3.0, 1000.0, 1.0, 100.0, 0.0), 1.0);
  EXPECT_EQ(LogFreqInterp(3.0, 1000.0, 1.0, 1e-13, 10.0), 1.0);
  EXPECT_EQ(LogFreqInterp(3.0, 100.0, 1.0, 100.0, 100.0), 1.0);
  EXPECT_EQ(LogFreqInterp(3.0, 1000.0, 1.0, 100.0, kNaN), 1.0);
  EXPECT_EQ(LogFreqInterp(1e6, std::nextafter(1.0, 2.0), 1.0, 1.0, 1.0), 1.0);  // slope > 9e19
}

}  // namespace
}  // namespace vireon
