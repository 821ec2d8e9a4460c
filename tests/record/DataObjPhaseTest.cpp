#include <gtest/gtest.h>

#include <cmath>

#include "RecordFixtures.h"
#include "record/DataObj.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

using fixtures::FrequencyRecord;
using fixtures::MakePhaseColumn;
using fixtures::TimeRecord;

void ExpectValuesNear(const DataArray& actual, const DataArray& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-12) << i;
}

// Phase of a pure delay on an FFT grid, wrapped as a measurement delivers it.
class PureDelayTest : public ::testing::Test {
 protected:
  static constexpr double kDelay = 0.005;
  static constexpr int kPoints = 1025;

  PureDelayTest() {
    std::vector<double> f(kPoints);
    std::vector<double> phase(kPoints);
    for (int i = 0; i < kPoints; ++i) {
      f[i] = 20000.0 * i / (kPoints - 1);  // 19.53 Hz steps: 35° of phase per step
      phase[i] = WrapAngle(180.0, -360.0 * f[i] * kDelay);
    }
    record = FrequencyRecord(kFrequencyResponse, f, {std::vector<double>(kPoints, 1.0), phase});
    MakePhaseColumn(record, 2);
  }

  double Ramp(int i) const { return -360.0 * record.FFields[0].Values[i] * kDelay; }

  TDataMeas record;
};

TEST_F(PureDelayTest, UnwrapRestoresTheContinuousPhaseRamp) {
  const double untouched_first = record.FFields[2].Values[0];
  record.UnwrapPhase(2, false, 0.0);
  EXPECT_EQ(record.FFields[2].Unwrapped, 1);
  EXPECT_EQ(record.FFields[2].Values[0], untouched_first);
  for (int i = 1; i < kPoints; ++i) {
    ASSERT_NEAR(record.FFields[2].Values[i], Ramp(i), 1e-9) << i;
  }
}

TEST_F(PureDelayTest, UnwrapFromAStartFrequencyKeepsTheLowerPoints) {
  const DataArray before = record.FFields[2].Values;
  record.UnwrapPhase(2, false, 5000.0);
  const int first = 256;  // the first bin at or above 5 kHz
  for (int i = 0; i < first; ++i) EXPECT_EQ(record.FFields[2].Values[i], before[i]);
  // From the first bin on: its wrapped value continued by the ramp.
  const double offset = before[first] - Ramp(first);
  for (int i = first; i < kPoints; ++i) {
    ASSERT_NEAR(record.FFields[2].Values[i], Ramp(i) + offset, 1e-9) << i;
  }
}

TEST_F(PureDelayTest, UnwrappedColumnStaysUntilADelayIsRemoved) {
  record.FFields[2].Unwrapped = 1;
  const DataArray wrapped = record.FFields[2].Values;
  record.UnwrapPhase(2, false, 0.0);
  EXPECT_EQ(record.FFields[2].Values, wrapped);

  // Removing half the delay leaves a wrapped ramp of the other half, which unwraps again.
  record.RemoveDelay(-kDelay / 2);
  EXPECT_EQ(record.FFields[2].Unwrapped, 0);
  record.UnwrapPhase(2, false, 0.0);
  EXPECT_EQ(record.FFields[2].Unwrapped, 1);
  for (int i = 1; i < kPoints; ++i) {
    ASSERT_NEAR(record.FFields[2].Values[i], Ramp(i) / 2, 1e-9) << i;
  }
}

TEST_F(PureDelayTest, UnwrapLeavesOtherRecordsAlone) {
  const DataArray before = record.FFields[2].Values;
  record.UnwrapPhase(1, false, 0.0);  // not a phase column
  EXPECT_EQ(record.FFields[1].Unwrapped, 0);

  record.FDataType = kEnergyTimeCurve;
  record.UnwrapPhase(2, false, 0.0);
  EXPECT_EQ(record.FFields[2].Values, before);
  record.UnwrapPhase(2, true, 0.0);  // forced
  EXPECT_EQ(record.FFields[2].Unwrapped, 1);

  record.FDataType = kFrequencyResponse;
  record.FFields[2].Unwrapped = 0;
  record.FFields[2].Values = before;
  record.UnwrapPhase(2, false, 19950.0);  // fewer than 5 points remain
  EXPECT_EQ(record.FFields[2].Values, before);
  EXPECT_EQ(record.FFields[2].Unwrapped, 0);
}

TEST(UnwrapPhaseTest, ZeroFrequencyStepStopsWithoutMarkingTheColumn) {
  TDataMeas record = FrequencyRecord(kFrequencyResponse, {1, 2, 3, 3, 4, 5, 6},
                                     {std::vector<double>(7), {0, 170, -20, -40, 150, 0, 0}});
  MakePhaseColumn(record, 2);
  record.UnwrapPhase(2, false, 0.0);
  EXPECT_EQ(record.FFields[2].Unwrapped, 0);
  EXPECT_EQ(record.FFields[2].Values[5], 0.0);
}

TEST(RemoveDelayTest, ShiftsEveryPhaseColumnAndOnlyThose) {
  TDataMeas record =
      FrequencyRecord(kFrequencyResponse, {100, 200}, {{1, 1}, {10, 20}, {1, 1}, {30, 40}});
  MakePhaseColumn(record, 2);
  MakePhaseColumn(record, 4);
  record.FFields[2].Unwrapped = 1;
  record.FFields[4].Unwrapped = 1;
  record.RemoveDelay(0.0);
  EXPECT_EQ(record.FFields[2].Unwrapped, 1);

  record.RemoveDelay(0.001);
  ExpectValuesNear(record.FFields[2].Values, {10 - 36.0, 20 - 72.0});
  ExpectValuesNear(record.FFields[4].Values, {30 - 36.0, 40 - 72.0});
  EXPECT_EQ(record.FFields[3].Values, (DataArray{1, 1}));
  EXPECT_EQ(record.FFields[2].Unwrapped, 0);
}

TEST(RemoveDelayTest, PendingDelayIsAppliedOnceAndAlwaysClearsTheFlag) {
  TDataMeas record = FrequencyRecord(kFrequencyResponse, {100, 200}, {{1, 1}, {10, 20}});
  MakePhaseColumn(record, 2);
  record.FFields[2].Unwrapped = 1;
  record.ApplyPendingDelay();
  EXPECT_EQ(record.FFields[2].Unwrapped, 0);
  EXPECT_EQ(record.FFields[2].Values, (DataArray{10, 20}));

  record.FDelayA = -0.001;
  record.ApplyPendingDelay();
  EXPECT_EQ(record.FDelayA, 0.0);
  ExpectValuesNear(record.FFields[2].Values, {46, 92});
}

TEST(PhaseWithDelayTest, AddsTheSlopeAndWrapsWhenTheColumnSaysSo) {
  TDataMeas record = FrequencyRecord(kFrequencyResponse, {100, 500}, {{1, 1}, {170, 170}});
  MakePhaseColumn(record, 2);
  const double slope = -360.0 * 0.001;
  EXPECT_DOUBLE_EQ(record.PhaseWithDelay(0, 2, false, slope), 134.0);
  EXPECT_DOUBLE_EQ(record.PhaseWithDelay(0, 2, true, slope), -46.0);
  EXPECT_DOUBLE_EQ(record.PhaseWithDelay(1, 2, false, slope), -10.0);
  EXPECT_DOUBLE_EQ(record.PhaseWithDelay(1, 2, false, -slope), 350.0);
  record.FFields[2].WrapPhase = 1;
  EXPECT_DOUBLE_EQ(record.PhaseWithDelay(1, 2, false, -slope), -10.0);
  EXPECT_EQ(record.PhaseWithDelay(2, 2, false, slope), 0.0);
  EXPECT_EQ(record.PhaseWithDelay(0, 6, false, slope), 0.0);
}

TEST(SampleProcessingTest, PeakTimeIsTheFirstLargestMagnitude) {
  TDataMeas record = TimeRecord(1000, 0.5, {{0, -3, 3, 1}, {0, 0, 0, 2}});
  record.FindPeakTime(0);
  record.FindPeakTime(1);
  EXPECT_DOUBLE_EQ(record.FPeakTime[0], 0.501);
  EXPECT_DOUBLE_EQ(record.FPeakTime[1], 0.503);
  record.FNumFields = 1;
  record.FPeakTime = {};
  record.FindPeakTime(1);
  record.FindPeakTime(2);
  EXPECT_EQ(record.FPeakTime[1], 0.0);
}

TEST(SampleProcessingTest, RemoveMeanCentresChannelA) {
  TDataMeas record = TimeRecord(1000, 0.0, {{1, 2, 3, 6}, {1, 1, 1, 1}});
  record.RemoveMean();
  EXPECT_EQ(record.FFields[0].Values, (DataArray{-2, -1, 0, 3}));
  EXPECT_EQ(record.FFields[1].Values, (DataArray{1, 1, 1, 1}));
}

TEST(SampleProcessingTest, IntegrateToStepSumsWithOffset) {
  TDataMeas two = TimeRecord(1000, 0.0, {{1, 2, 3}, {0, 1, 0}});
  two.IntegrateToStep(0.5);
  EXPECT_EQ(two.FDataType, kStepResponse);
  EXPECT_EQ(two.FFields[0].Values, (DataArray{1.5, 4, 7.5}));
  EXPECT_EQ(two.FFields[1].Values, (DataArray{0.5, 2, 2.5}));

  TDataMeas three = TimeRecord(1000, 0.0, {{1, 2}, {1, 1}, {1, 1}});
  three.IntegrateToStep(0.0);
  EXPECT_EQ(three.FFields[0].Values, (DataArray{1, 3}));
  EXPECT_EQ(three.FFields[1].Values, (DataArray{1, 1}));

  TDataMeas step = two;
  step.IntegrateToStep(0.0);  // already a step response: nothing
  EXPECT_EQ(step.FFields[0].Values, two.FFields[0].Values);
}

}  // namespace
}  // namespace vireon
