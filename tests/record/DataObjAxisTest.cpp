#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "RecordFixtures.h"
#include "record/DataObj.h"

namespace vireon {
namespace {

using fixtures::FrequencyRecord;
using fixtures::TimeRecord;

// Nearest point by exhaustive search; on a tie the lower index.
std::int32_t BruteForceNearest(const std::vector<double>& x, double at) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < x.size(); ++i) {
    if (std::fabs(x[i] - at) < std::fabs(x[best] - at)) best = i;
  }
  return static_cast<std::int32_t>(best);
}

TEST(IndexOfTest, MatchesExhaustiveNearestSearchOnRandomAxes) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> step(0.001, 10.0);
  std::uniform_int_distribution<int> size(3, 300);
  for (int trial = 0; trial < 50; ++trial) {
    std::vector<double> x{step(random) - 5.0};
    const int n = size(random);
    while (static_cast<int>(x.size()) < n) x.push_back(x.back() + step(random));
    TDataMeas record = FrequencyRecord(kSpectrum, x, {std::vector<double>(x.size())});
    std::uniform_real_distribution<double> probe(x.front() - 20.0, x.back() + 20.0);
    for (int p = 0; p < 200; ++p) {
      const double at = probe(random);
      ASSERT_EQ(record.IndexOf(at), BruteForceNearest(x, at)) << "trial " << trial << " x " << at;
    }
    for (const double knot : x) EXPECT_EQ(record.XAt(record.IndexOf(knot)), knot);
  }
}

TEST(IndexOfTest, EdgeCasesOfFrequencyAxes) {
  TDataMeas record = FrequencyRecord(kSpectrum, {0, 1, 2, 3}, {{0, 0, 0, 0}});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<double, std::int32_t> cases[] = {
      {0.5, 0}, {1.5, 1}, {2.5001, 3}, {-100.0, 0}, {1e300, 3}, {-1e300, 0}, {nan, 0},
  };
  for (const auto& [x, expected] : cases) EXPECT_EQ(record.IndexOf(x), expected) << x;

  TDataMeas two_points = FrequencyRecord(kSpectrum, {1, 2}, {{0, 0}});
  EXPECT_EQ(two_points.IndexOf(2.0), 0);
}

TEST(IndexOfTest, RefreshesThePointCountFromColumnZero) {
  TDataMeas record = FrequencyRecord(kSpectrum, {1, 2, 3, 4, 5}, {{0, 0, 0, 0, 0}});
  record.FNumPoints = 99;
  EXPECT_EQ(record.IndexOf(1e9), 4);
  EXPECT_EQ(record.FNumPoints, 5);
}

TEST(IndexOfTest, SampledAxesRoundToEvenAndClamp) {
  // Four samples a second from 0.5 s: positions are exact binary fractions.
  TDataMeas record = TimeRecord(4, 0.5, {std::vector<double>(10)});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::pair<double, std::int32_t> cases[] = {
      {0.5, 0}, {1.125, 2}, {1.375, 4}, {1.35, 3},   {0.4, 0}, {0.3, 0},
      {2.8, 9}, {3.0, 9},   {1e300, 9}, {-1e300, 0}, {nan, 0},
  };
  for (const auto& [x, expected] : cases) EXPECT_EQ(record.IndexOf(x), expected) << x;
}

TEST(IndexOfSideTest, StepsTowardTheRequestedSide) {
  TDataMeas record = FrequencyRecord(kSpectrum, {0, 10, 20, 30, 40}, {std::vector<double>(5)});
  struct Case {
    double x;
    bool upward;
    std::int32_t expected;
  };
  const Case cases[] = {{12, true, 2}, {12, false, 1}, {8, true, 1},   {8, false, 0},
                        {20, true, 2}, {20, false, 2}, {-5, false, 0}, {2, true, 0},
                        {45, true, 4}, {38, false, 4}};
  for (const Case& c : cases) {
    EXPECT_EQ(record.IndexOfSide(c.x, c.upward), c.expected) << c.x << " " << c.upward;
  }
}

TEST(XAtTest, ClampsTheIndexAndUsesTheSampling) {
  TDataMeas frequency = FrequencyRecord(kSpectrum, {5, 6, 7}, {{0, 0, 0}});
  EXPECT_EQ(frequency.XAt(-5), 5.0);
  EXPECT_EQ(frequency.XAt(1), 6.0);
  EXPECT_EQ(frequency.XAt(1000), 7.0);
  TDataMeas time = TimeRecord(48000, 0.25, {std::vector<double>(100)});
  EXPECT_DOUBLE_EQ(time.XAt(3), 0.25 + 3.0 / 48000.0);
  EXPECT_DOUBLE_EQ(time.XAt(-5), 0.25);
  EXPECT_DOUBLE_EQ(time.XAt(500), 0.25 + 99.0 / 48000.0);
  EXPECT_EQ(TDataMeas().XAt(0), 0.0);
}

TEST(AxisSignatureTest, KeysTheFrequencyAxisAndMarksTimeAxes) {
  EXPECT_EQ(TimeRecord(1000, 0.0, {{1, 2, 3}}).AxisSignature(), -1.0);
  for (const std::uint8_t type : {kEnergyTimeCurve, kPowerCepstrum, kStepResponse}) {
    TDataMeas record = FrequencyRecord(type, {1, 2, 3}, {{0, 0, 0}});
    EXPECT_EQ(record.AxisSignature(), -1.0);
  }
  TDataMeas a = FrequencyRecord(kSpectrum, {1, 2, 3}, {{0, 0, 0}});
  TDataMeas b = FrequencyRecord(kFrequencyResponse, {1, 2, 3}, {{5, 5, 5}});
  TDataMeas c = FrequencyRecord(kSpectrum, {1, 2, 4}, {{0, 0, 0}});
  EXPECT_EQ(a.AxisSignature(), b.AxisSignature());
  EXPECT_NE(a.AxisSignature(), c.AxisSignature());
  // A zero x adds π; x = 1 adds nothing.
  TDataMeas zero = FrequencyRecord(kSpectrum, {-1, 0, 1}, {{0, 0, 0}});
  EXPECT_DOUBLE_EQ(zero.AxisSignature(), std::numbers::pi);

  a.FAxisSignature = 0.0;
  EXPECT_EQ(a.CachedAxisSignature(), a.AxisSignature());
  a.FAxisSignature = 7.0;
  EXPECT_EQ(a.CachedAxisSignature(), 7.0);
}

TEST(SameAxisTest, ComparesXValuesAndRefreshesSignaturesOnMismatch) {
  TDataMeas a = FrequencyRecord(kSpectrum, {1, 2, 3}, {{0, 0, 0}});
  TDataMeas b = FrequencyRecord(kSpectrum, {1, 2, 3}, {{9, 9, 9}});
  a.FAxisSignature = 11.0;
  b.FAxisSignature = 12.0;
  EXPECT_TRUE(a.SameAxis(b));
  EXPECT_EQ(a.FAxisSignature, 11.0);

  TDataMeas c = FrequencyRecord(kSpectrum, {1, 2, 3.5}, {{0, 0, 0}});
  c.FAxisSignature = 13.0;
  EXPECT_FALSE(a.SameAxis(c));
  EXPECT_EQ(a.FAxisSignature, a.AxisSignature());
  EXPECT_EQ(c.FAxisSignature, c.AxisSignature());

  TDataMeas shorter = FrequencyRecord(kSpectrum, {1, 2}, {{0, 0}});
  EXPECT_FALSE(a.SameAxis(shorter));
}

TEST(SameAxisTest, SampledRecordsCompareTheirSampling) {
  TDataMeas a = TimeRecord(48000, 0.0, {{1, 2, 3, 4}});
  TDataMeas same = TimeRecord(48000, 0.0, {{9, 9, 9, 9}});
  TDataMeas other_rate = TimeRecord(44100, 0.0, {{1, 2, 3, 4}});
  TDataMeas other_start = TimeRecord(48000, 0.5, {{1, 2, 3, 4}});
  TDataMeas frequency = FrequencyRecord(kSpectrum, {1, 2, 3, 4}, {{0, 0, 0, 0}});
  EXPECT_TRUE(a.SameAxis(same));
  EXPECT_FALSE(a.SameAxis(other_rate));
  EXPECT_FALSE(a.SameAxis(other_start));
  EXPECT_FALSE(a.SameAxis(frequency));
}

TEST(CheckLinearFreqTest, RecognisesFftBinGrids) {
  std::vector<double> bins(513);
  for (std::size_t i = 0; i < bins.size(); ++i) bins[i] = 48000.0 * i / 1024.0;
  TDataMeas record = FrequencyRecord(kSpectrum, bins, {std::vector<double>(513)});
  record.FSampleRate = 48000;
  record.FLinearFreq = 0;
  EXPECT_TRUE(record.CheckLinearFreq());
  EXPECT_EQ(record.FLinearFreq, 1);

  // Without the Nyquist bin the grid is still one of a 1024-point transform.
  std::vector<double> without_nyquist(bins.begin(), bins.end() - 1);
  TDataMeas even = FrequencyRecord(kFrequencyResponse, without_nyquist, {std::vector<double>(512)});
  even.FSampleRate = 48000;
  even.FLinearFreq = 0;
  EXPECT_TRUE(even.CheckLinearFreq());

  bins[100] *= 1.001;
  TDataMeas perturbed = FrequencyRecord(kSpectrum, bins, {std::vector<double>(513)});
  perturbed.FSampleRate = 48000;
  perturbed.FLinearFreq = 0;
  EXPECT_FALSE(perturbed.CheckLinearFreq());
  EXPECT_EQ(perturbed.FLinearFreq, 0);

  // A flag already set is trusted; other types are not tested.
  perturbed.FLinearFreq = 1;
  EXPECT_TRUE(perturbed.CheckLinearFreq());
  perturbed.FDataType = kImpedance;
  perturbed.FLinearFreq = 0;
  EXPECT_FALSE(perturbed.CheckLinearFreq());
}

TEST(CheckLinearFreqTest, SampledAndTinyRecords) {
  TDataMeas time = TimeRecord(1000, 0.0, {{1, 2, 3, 4, 5}});
  time.FLinearFreq = 0;
  time.FAxisSignature = 3.0;
  EXPECT_TRUE(time.CheckLinearFreq());
  EXPECT_EQ(time.FAxisSignature, -1.0);
  EXPECT_EQ(time.FLinearFreq, 1);

  TDataMeas tiny = FrequencyRecord(kSpectrum, {0, 1, 2}, {{0, 0, 0}});
  EXPECT_FALSE(tiny.CheckLinearFreq());
  EXPECT_EQ(tiny.FLinearFreq, 1);  // not stored
}

TEST(TraceTest, TracesAndPhaseColumnsAreClampedToUsedColumns) {
  TDataMeas record = FrequencyRecord(kFrequencyResponse, {1, 2}, {{1, 1}, {0, 0}});
  record.FTraceA = 1;
  record.FTraceB = 4;
  EXPECT_EQ(record.TraceColumn(0), 1);
  EXPECT_EQ(record.TraceColumn(1), 2);
  EXPECT_EQ(record.ClampColumn(7), 2);
  EXPECT_EQ(record.ClampColumn(-1), -1);
  EXPECT_EQ(record.TraceOf(2), 1);
  EXPECT_EQ(record.TraceOf(1), 0);
  EXPECT_EQ(record.TraceOf(0), -1);
  EXPECT_EQ(record.TraceOf(-3), -1);
  record.FTraceA = 2;
  EXPECT_EQ(record.TraceOf(2), 1);  // B wins

  EXPECT_FALSE(record.HasPhaseTrace());
  record.FFields[2].Units = "\xB0";
  EXPECT_TRUE(record.IsPhase(2));
  EXPECT_TRUE(record.HasPhaseTrace());
  record.FFields[2].Units = "deg";
  EXPECT_TRUE(record.IsPhase(2));
  record.FFields[2].Units = "Deg";
  EXPECT_FALSE(record.IsPhase(2));
  record.FFields[3].Units = "deg";
  EXPECT_FALSE(record.IsPhase(3));  // not a used column
}

// A spectrum of constant level 2 with a weighting that rises from 1 at 10 Hz to 3 at 1 kHz
// and 5 at 10 kHz.
class ValueAtTest : public ::testing::Test {
 protected:
  ValueAtTest() {
    record = FrequencyRecord(kSpectrum, {5, 10, 100, 1000, 10000, 20000},
                             {{2, 2, 2, 2, 2, 2}, {2, 2, 2, 2, 2, 2}});
    record.FWeighting.emplace();
    record.FWeighting->Points = {{10, 1, 0}, {1000, 3, 0}, {10000, 5, 0}};
  }
  TDataMeas record;
};

TEST_F(ValueAtTest, AppliesTheWeightingInterpolatedInLogFrequency) {
  // At 100 Hz the factor lies halfway (in ln f) from 1 to 3; outside the table the nearest
  // point's factor holds. Reading in any order walks the cursors to the same points.
  const double expected[] = {2.0, 2.0, 4.0, 6.0, 10.0, 10.0};
  for (const std::int32_t i : {3, 0, 5, 2, 1, 4, 2}) {
    EXPECT_NEAR(record.ValueAt(1, i, -1), expected[i], 1e-12) << i;
  }
  record.FDisplayScale = 0.5;
  EXPECT_NEAR(record.ValueAt(1, 2, -1), 2.0, 1e-12);
}

TEST_F(ValueAtTest, SurvivesCursorsFromAFileThatPointOutsideTheTable) {
  record.FWeighting->LoIndex = 99;
  record.FWeighting->HiIndex = -4;
  EXPECT_NEAR(record.ValueAt(1, 2, -1), 4.0, 1e-12);
}

TEST_F(ValueAtTest, CoherenceAndUnweightedTypesReadRaw) {
  record.FFields[2].Name = "Coherence Function";
  EXPECT_EQ(record.ValueAt(2, 2, -1), 2.0);
  EXPECT_NEAR(record.ValueAt(1, 2, -1), 4.0, 1e-12);

  record.FDisplayScale = 3.0;
  for (const std::uint8_t type : {kImpedance, kGroupDelay}) {
    record.FDataType = type;
    EXPECT_EQ(record.ValueAt(1, 2, -1), 2.0);
  }
  record.FDataType = kEnergyTimeCurve;
  EXPECT_EQ(record.ValueAt(1, 2, -1), 6.0);  // scaled, not weighted
}

TEST_F(ValueAtTest, MaximumLevelRecordsWeighColumnOneAndScaleOnlySlices) {
  record.FDataType = kMaximumLevelCapability;
  record.FDisplayScale = 10.0;
  record.FSliceCount = 4;
  record.FSlices = {{1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1}};
  EXPECT_NEAR(record.ValueAt(1, 2, -1), 4.0, 1e-12);  // weighted, not scaled
  EXPECT_EQ(record.ValueAt(2, 2, -1), 2.0);           // column 2 is not weighted
  EXPECT_NEAR(record.ValueAt(1, 2, 0), 20.0, 1e-12);  // slices are scaled
  record.FFields[2].Name = "Coherence Function";
  EXPECT_EQ(record.ValueAt(1, 2, 2), 10.0);  // slices 2 and 3 test column 2's name
  EXPECT_NEAR(record.ValueAt(1, 2, 1), 20.0, 1e-12);
}

TEST(ValueAtSourceTest, ColumnsBeyondTheUsedOnesReadSlices) {
  TDataMeas record = FrequencyRecord(kFrequencyResponse, {1, 2}, {{3, 4}});
  EXPECT_EQ(record.ValueAt(2, 0, -1), 0.0);  // no slices
  record.FPlotKind = 2;
  record.FSliceCount = 2;
  record.FSlices = {{10, 11}, {20, 21}};
  EXPECT_EQ(record.ValueAt(3, 1, -1), 21.0);
  EXPECT_EQ(record.ValueAt(9, 1, -1), 11.0);  // beyond the slices: slice 0
  EXPECT_EQ(record.ValueAt(0, 1, 1), 11.0);   // a waterfall reads slice 0
  record.FPlotKind = 6;
  EXPECT_EQ(record.ValueAt(0, 1, 1), 21.0);
  EXPECT_EQ(record.ValueAt(0, 1, 5), 11.0);
  EXPECT_EQ(record.ValueAt(1, 7, -1), 0.0);
  EXPECT_EQ(record.ValueAt(1, -1, -1), 0.0);
  EXPECT_EQ(record.ValueAt(-2, 0, -1), 0.0);

  TDataMeas time = TimeRecord(1000, 0.0, {{0.5, 0.25}});
  time.FDisplayScale = 4.0;
  EXPECT_EQ(time.ValueAt(0, 1, -1), 0.25);
}

}  // namespace
}  // namespace vireon
