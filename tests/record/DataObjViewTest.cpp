#include <gtest/gtest.h>

#include <cmath>

#include "RecordFixtures.h"
#include "record/DataObj.h"

namespace vireon {
namespace {

using fixtures::FrequencyRecord;
using fixtures::MakePhaseColumn;
using fixtures::TimeRecord;

TEST(NormalizeViewTest, OrdersTheRangeAndWidensADegenerateOne) {
  TDataMeas record;
  record.FViewStart = 100.0;
  record.FViewStop = 10.0;
  record.NormalizeView();
  EXPECT_EQ(record.FViewStart, 10.0);
  EXPECT_EQ(record.FViewStop, 100.0);

  // A stop whose 90 % rounds to the start is set to exactly start / 0.9.
  record.FViewStart = 1.5;
  record.FViewStop = 1.6666666666666667;
  record.NormalizeView();
  EXPECT_EQ(record.FViewStop, 1.5 / 0.9);
  EXPECT_NE(record.FViewStop, 1.6666666666666667);
}

struct ViewCase {
  const char* what;
  std::uint8_t type;
  bool log_x;
  bool start_stop;
  double first;
  double second;
  double expected_start;
  double expected_stop;
};

TEST(SetViewRangeTest, StartStopAndCentreSpanEntries) {
  // Every case starts from a view of 100 .. 10000 (time types: 0.001 .. 0.01).
  const ViewCase cases[] = {
      {"log centre and octaves", kSpectrum, true, false, 2.0, 1000.0, 500.0, 2000.0},
      {"log keeps the current centre", kSpectrum, true, false, 2.0, -1.0, 500.0, 2000.0},
      {"log keeps the current span", kSpectrum, true, false, -1.0, 2000.0, 200.0, 20000.0},
      {"linear centre and span", kSpectrum, false, false, 40.0, 50.0, 30.0, 70.0},
      {"linear start never below 0", kSpectrum, false, false, 40.0, 10.0, 0.0, 30.0},
      {"linear keeps the current span", kSpectrum, false, false, -1.0, 5050.0, 100.0, 10000.0},
      {"linear keeps the current centre", kSpectrum, false, false, 100.0, -1.0, 5000.0, 5100.0},
      {"stop then start", kSpectrum, false, true, 200.0, 100.0, 100.0, 200.0},
      {"swapped entries are ordered", kSpectrum, false, true, 50.0, 300.0, 50.0, 300.0},
      {"only the stop", kSpectrum, false, true, 500.0, -1.0, 100.0, 500.0},
      {"both below the limit", kSpectrum, false, true, -1.0, -2.0, 100.0, 10000.0},
      {"time starts before zero", kTimeDomain, false, true, 0.01, -0.005, -0.005, 0.01},
      {"time below the limit", kTimeDomain, false, true, -1e6, -1e6, 0.001, 0.01},
  };
  for (const ViewCase& c : cases) {
    TDataMeas record;
    record.FDataType = c.type;
    record.FLogX = c.log_x;
    const bool time = c.type == kTimeDomain;
    record.FViewStart = time ? 0.001 : 100.0;
    record.FViewStop = time ? 0.01 : 10000.0;
    record.SetViewRange(c.start_stop, c.first, c.second);
    EXPECT_NEAR(record.FViewStart, c.expected_start, 1e-9 * c.expected_stop) << c.what;
    EXPECT_NEAR(record.FViewStop, c.expected_stop, 1e-9 * c.expected_stop) << c.what;
  }
}

TEST(SetViewRangeTest, RtaRangeStaysInsideTheBandsAndPhaseMustBeUnwrappedAgain) {
  TDataMeas record = FrequencyRecord(kRtaBands, {31.5, 63, 125, 250}, {{1, 1, 1, 1}});
  record.FFields[1].Unwrapped = 1;
  record.FViewStart = 31.5;
  record.FViewStop = 250.0;
  record.SetViewRange(true, 1000.0, 10.0);
  EXPECT_EQ(record.FViewStart, 31.5);
  EXPECT_EQ(record.FViewStop, 250.0);
  EXPECT_EQ(record.FFields[1].Unwrapped, 0);
}

TEST(SetViewRangeTest, LogSpanNeedsAPositiveStart) {
  TDataMeas record;
  record.FLogX = 1;
  record.FViewStart = 0.0;
  record.FViewStop = 1000.0;
  record.FFields[2].Unwrapped = 1;
  record.SetViewRange(false, -1.0, 100.0);
  EXPECT_EQ(record.FViewStart, 0.0);
  EXPECT_EQ(record.FViewStop, 1000.0);
  EXPECT_EQ(record.FFields[2].Unwrapped, 1);
}

TEST(ViewCenterSpanTest, GeometricOnLogAxesArithmeticOtherwise) {
  TDataMeas record;
  record.FViewStart = 100.0;
  record.FViewStop = 10000.0;
  EXPECT_EQ(record.ViewCenterSpan(true), (std::pair{100.0, 10000.0}));
  const auto [centre, span] = record.ViewCenterSpan(false);
  EXPECT_DOUBLE_EQ(centre, 5050.0);
  EXPECT_DOUBLE_EQ(span, 9900.0);
  record.FLogX = 1;
  const auto [log_centre, octaves] = record.ViewCenterSpan(false);
  EXPECT_DOUBLE_EQ(log_centre, 1000.0);
  EXPECT_DOUBLE_EQ(octaves, std::log(100.0) / std::log(2.0));

  const auto [low, high] = TDataMeas::HalfWidthFactors(2.0, 1000.0);
  EXPECT_DOUBLE_EQ(low, 500.0);
  EXPECT_DOUBLE_EQ(high, 2000.0);
  const auto [third_low, third_high] = TDataMeas::HalfWidthFactors(1.0 / 3.0, 1000.0);
  EXPECT_DOUBLE_EQ(third_high / third_low, std::cbrt(2.0));
}

TEST(ExtendRangeTest, GrowsTheDataRangeOnly) {
  TDataMeas record;
  record.FStartTime = 10.0;
  record.FEndX = 20.0;
  record.ExtendRange(25.0);
  record.ExtendRange(15.0);
  record.ExtendRange(5.0);
  EXPECT_EQ(record.FStartTime, 5.0);
  EXPECT_EQ(record.FEndX, 25.0);
}

// x = 0, 100, 200, 400, 800. The range 100 .. 800 covers points 1, 2 and 3: the point found
// for the upper limit is not part of it.
class RangeStatsTest : public ::testing::Test {
 protected:
  RangeStatsTest() {
    record = FrequencyRecord(kFrequencyResponse, {0, 100, 200, 400, 800},
                             {{9, 1, 3, 2, 6}, {0, 0, 0, 0, 0}, {50, 10, 100, 1000, 50}});
    MakePhaseColumn(record, 2);
    record.FFields[2].WrapPhase = 1;
    record.FFields[3].ShowAsDb = 1;
    record.FViewStart = 100.0;
    record.FViewStop = 800.0;
  }
  TDataMeas record;
};

TEST_F(RangeStatsTest, TrapezoidMeanOverLinearAndLogSteps) {
  const RangeStatistics linear = record.RangeStats(1, 0.0, 0.0, false, false);
  // (100·(1+3)/2 + 200·(3+2)/2) / 300
  EXPECT_NEAR(linear.Mean, 7.0 / 3.0, 1e-12);
  EXPECT_EQ(linear.Maximum, 3.0);
  EXPECT_EQ(linear.Minimum, 1.0);

  // Octave steps weigh both trapezoids alike: (2 + 2.5) / 2.
  const RangeStatistics log = record.RangeStats(1, 0.0, 0.0, false, true);
  EXPECT_NEAR(log.Mean, 2.25, 1e-12);

  // From 0 Hz the 0 Hz point is skipped, so the 9 there never counts.
  const RangeStatistics from_zero = record.RangeStats(1, 0.0, 800.0, true, true);
  EXPECT_NEAR(from_zero.Mean, 2.25, 1e-12);
  EXPECT_EQ(from_zero.Maximum, 3.0);
}

TEST_F(RangeStatsTest, LevelsInDecibelsAndPhaseWithDelay) {
  const RangeStatistics level = record.RangeStats(3, 0.0, 0.0, false, false);
  // 20, 40, 60 dB: (100·30 + 200·50) / 300
  EXPECT_NEAR(level.Mean, 13000.0 / 300.0, 1e-9);
  EXPECT_NEAR(level.Maximum, 60.0, 1e-12);

  record.FDelayA = 0.001;  // -36° per 100 Hz
  const RangeStatistics phase = record.RangeStats(2, 0.0, 0.0, false, false);
  EXPECT_NEAR(phase.Maximum, -36.0, 1e-9);
  EXPECT_NEAR(phase.Minimum, -144.0, 1e-9);
  EXPECT_NEAR(phase.Mean, (100 * (-36 - 72) / 2.0 + 200 * (-72 - 144) / 2.0) / 300.0, 1e-9);
}

TEST_F(RangeStatsTest, DegenerateRanges) {
  const RangeStatistics single = record.RangeStats(1, 200.0, 400.0, true, false);
  EXPECT_EQ(single.Mean, 3.0);  // one point: no width, the mean is its value

  const RangeStatistics empty = record.RangeStats(1, 800.0, 800.0, true, false);
  EXPECT_EQ(empty.Mean, 0.0);
  EXPECT_EQ(empty.Maximum, -1e30);
  EXPECT_EQ(empty.Minimum, 1e30);
}

TEST(RangeStatsSampledTest, SampledDataUsesSampleSpacingFromZero) {
  TDataMeas record = TimeRecord(10, 1.0, {{0, 2, 4, 6, 8, 10}});
  const RangeStatistics stats = record.RangeStats(0, 1.0, 1.4, true, true);
  // Points 0..3 with equal steps: the trapezoid mean of 0, 2, 4, 6.
  EXPECT_NEAR(stats.Mean, 3.0, 1e-12);
  EXPECT_EQ(stats.Maximum, 6.0);
}

}  // namespace
}  // namespace vireon
