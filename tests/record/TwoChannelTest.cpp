#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "RecordFixtures.h"
#include "record/Averaging.h"
#include "record/Deconvolve.h"
#include "record/FftWindows.h"
#include "record/TransferFunction.h"
#include "record/TwoChannelSpectrum.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;

TDataMeas TwoChannels(const std::vector<double>& a, const std::vector<double>& b,
                      std::uint8_t window) {
  TDataMeas record = fixtures::TimeRecord(48000, 0.0, {a, b});
  record.FWindowType = window;
  return record;
}

TEST(TransferFunctionTest, MeasuresAKnownFirFilter) {
  // H(ω) = 0.5 + 0.3·e^(-iω) − 0.2·e^(-2iω); circular filtering makes it exact in every bin.
  const std::vector<double> h = {0.5, 0.3, -0.2};
  const std::vector<double> b = fixtures::Noise(1024, 1);
  TDataMeas target;
  AnalysisContext context;
  TransferFunction(target, TwoChannels(fixtures::CircularFilter(h, b), b, kRectangularWindow), true,
                   context);
  ASSERT_EQ(target.FNumPoints, 513);
  ASSERT_EQ(target.FNumFields, 4);
  for (int k : {1, 17, 100, 256, 400}) {
    const double w = 2 * kPi * k / 1024;
    const std::complex<double> expected =
        0.5 + 0.3 * std::polar(1.0, -w) - 0.2 * std::polar(1.0, -2 * w);
    EXPECT_NEAR(target.FFields[1].Values[k], std::abs(expected), 1e-12) << k;
    EXPECT_NEAR(target.FFields[2].Values[k], std::arg(expected) * 180 / kPi, 1e-9) << k;
    EXPECT_NEAR(target.FFields[3].Values[k], 1.0, 1e-12) << k;
  }
  EXPECT_DOUBLE_EQ(target.FFields[0].Values[256], 12000.0);
  // Magnitude on trace A, coherence on trace B, and a second pass leaves them there.
  EXPECT_EQ(target.FTraceA, 1);
  EXPECT_EQ(target.FTraceB, 3);
  TransferFunction(target, TwoChannels(fixtures::CircularFilter(h, b), b, kRectangularWindow), true,
                   context);
  EXPECT_EQ(target.FTraceA, 1);
  EXPECT_EQ(target.FTraceB, 3);
}

TEST(TransferFunctionTest, AveragesFramesEquallyFromTheSecondOn) {
  // A = B and then A = −B: the cross spectra cancel, so the averaged response falls towards
  // zero and the coherence is low. Letting the second frame replace the first would read 1.
  const std::vector<double> b = fixtures::Noise(1024, 2);
  std::vector<double> minus_b = b;
  for (double& v : minus_b) v = -v;
  TDataMeas target;
  target.FAvgTarget = 10;
  AnalysisContext context;
  TransferFunction(target, TwoChannels(b, b, kHannWindow), true, context);
  EXPECT_EQ(target.FAvgCount, 1);
  EXPECT_NEAR(target.FFields[1].Values[100], 1.0, 1e-12);
  TransferFunction(target, TwoChannels(minus_b, b, kHannWindow), true, context);
  EXPECT_EQ(target.FAvgCount, 2);
  for (int k : {10, 100, 300}) {
    EXPECT_LT(target.FFields[1].Values[k], 1e-9) << k;
    EXPECT_LT(target.FFields[3].Values[k], 1e-9) << k;
  }
}

TEST(TransferFunctionTest, UncorrelatedNoiseLowersTheCoherence) {
  TDataMeas target;
  target.FAvgTarget = 50;
  AnalysisContext context;
  const std::vector<double> h = {1.0};
  for (unsigned frame = 0; frame < 20; ++frame) {
    const std::vector<double> b = fixtures::Noise(1024, 10 + frame);
    std::vector<double> a = b;
    const std::vector<double> disturbance = fixtures::Noise(1024, 100 + frame);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] += disturbance[i];
    TransferFunction(target, TwoChannels(a, b, kHannWindow), true, context);
  }
  // Equal signal and noise power: γ = |Gab|/√(Gaa·Gbb) tends to 1/√2 from above as frames
  // accumulate (the energy weighting leaves fewer effective frames than were taken).
  double mean = 0;
  for (int k = 50; k < 450; ++k) mean += target.FFields[3].Values[k] / 400;
  EXPECT_GT(mean, 1 / std::numbers::sqrt2);
  EXPECT_LT(mean, 0.88);
}

TEST(TransferFunctionTest, AppliesTheInputCorrectionRatio) {
  const std::vector<double> b = fixtures::Noise(256, 3);
  TDataMeas target;
  AnalysisContext context;
  context.Correction = [](std::uint8_t kind, double) -> std::optional<std::complex<double>> {
    if (kind == 0) return std::complex<double>(0, 2);  // 2 at +90°
    return std::nullopt;
  };
  TDataMeas source = TwoChannels(b, b, kHannWindow);
  source.FFields[1].InputKind = 2;
  TransferFunction(target, source, false, context);
  EXPECT_NEAR(target.FFields[1].Values[20], 2.0, 1e-12);
  EXPECT_NEAR(target.FFields[2].Values[20], 90.0, 1e-9);
  EXPECT_EQ(target.FNumFields, 3);
}

TEST(TwoChannelSpectrumTest, AveragesOppositePhasesTowardsZero) {
  // A = B gives phase difference 0, then A = −B gives 180°: the vector mean of the two frames
  // cancels (the second frame must not simply replace the first).
  std::vector<double> b(1024);
  for (int i = 0; i < 1024; ++i) b[i] = std::sin(2 * kPi * 32 * i / 1024);
  std::vector<double> minus_b = b;
  for (double& v : minus_b) v = -v;
  TDataMeas target;
  target.FAvgTarget = 10;
  AnalysisContext context;
  context.FftLength = 1024;
  context.AcquisitionWindow = kHannWindow;
  TwoChannelSpectrum(target, TwoChannels(b, b, kHannWindow), context);
  ASSERT_EQ(target.FNumPoints, 513);
  EXPECT_EQ(target.FDataType, kComplexSpectrum);
  const double single = target.FFields[1].Values[32];
  EXPECT_NEAR(target.FFields[2].Values[32], 0.0, 1e-9);
  TwoChannelSpectrum(target, TwoChannels(minus_b, b, kHannWindow), context);
  EXPECT_LT(target.FFields[1].Values[32], 1e-9 * single);
  EXPECT_NEAR(target.FFields[3].Values[32], single, 1e-9 * single);
  EXPECT_EQ(target.FAvgCount, 2);
}

struct AverageCase {
  std::uint8_t type;
  std::vector<double> results;
  double expected;
};

TEST(AverageArraysTest, EachTypeAveragesMagnitudes) {
  const std::vector<AverageCase> cases = {
      {kAverageMag, {1, 2, 3}, 2.0},
      {kAverageRms, {1, 2, 3}, std::sqrt(14.0 / 3)},
      {kAverageLog, {1, 10, 100}, 10.0},
  };
  for (const AverageCase& c : cases) {
    TDataMeas target = fixtures::FrequencyRecord(kSpectrum, {100.0}, {{0.0}});
    target.FAvgType = c.type;
    target.FAvgTarget = 10;
    AnalysisContext context;
    for (double r : c.results) {
      const TDataMeas source = fixtures::FrequencyRecord(kSpectrum, {100.0}, {{r}});
      AverageArrays(target, source, {}, true, false, context);
    }
    EXPECT_NEAR(target.FFields[1].Values[0], c.expected, 1e-12) << int(c.type);
    EXPECT_EQ(target.FAvgCount, 3);
  }
}

TEST(AverageArraysTest, WithATargetOfOneEachResultReplacesTheLast) {
  TDataMeas target = fixtures::FrequencyRecord(kSpectrum, {100.0}, {{0.0}});
  target.FAvgType = kAverageMag;
  target.FAvgTarget = 1;
  AnalysisContext context;
  for (double r : {4.0, 7.0}) {
    AverageArrays(target, fixtures::FrequencyRecord(kSpectrum, {100.0}, {{r}}), {}, true, false,
                  context);
  }
  EXPECT_EQ(target.FFields[1].Values[0], 7.0);
  EXPECT_EQ(target.FAvgCount, 1);
}

TEST(AverageArraysTest, VectorAverageOfOppositePhasesCancels) {
  // Source columns hold re/im; the target keeps re/im for the caller's polar conversion.
  TDataMeas target = fixtures::FrequencyRecord(kSpectrum, {100.0}, {{0.0}, {0.0}});
  target.FAvgType = kAverageCoh;
  target.FAvgTarget = 4;
  AnalysisContext context;
  const AverageColumns columns{1, 2, 1, 2};
  AverageArrays(target, fixtures::FrequencyRecord(kSpectrum, {100.0}, {{1.0}, {0.0}}), columns,
                true, false, context);
  // The stored pair is polar between calls: magnitude 1, phase 0.
  target.FFields[1].Values[0] = 1.0;
  target.FFields[2].Values[0] = 0.0;
  AverageArrays(target, fixtures::FrequencyRecord(kSpectrum, {100.0}, {{-1.0}, {0.0}}), columns,
                true, false, context);
  EXPECT_NEAR(std::hypot(target.FFields[1].Values[0], target.FFields[2].Values[0]), 0.0, 1e-15);
}

TEST(AverageArraysTest, SoundPressureColumnsOfTheMainResultTakeTheLevelCalibration) {
  struct Case {
    const char* units;
    bool main_result;
    bool running;
    double expected;
  };
  const Case cases[] = {
      {"dBSPL", true, true, 50000.0}, {"dBSPs", true, true, 50000.0 * 2.8284271247461900975},
      {"dBSPL", false, true, 1.0},    {"dBSPL", true, false, 1.0},
      {"dBV", true, true, 1.0},
  };
  for (const Case& c : cases) {
    TDataMeas target = fixtures::FrequencyRecord(kSpectrum, {100.0}, {{0.0}});
    target.FFields[1].Units = c.units;
    AnalysisContext context;
    context.MeasurementRunning = c.running;
    AverageArrays(target, fixtures::FrequencyRecord(kSpectrum, {100.0}, {{1.0}}), {}, true,
                  c.main_result, context);
    EXPECT_DOUBLE_EQ(target.FFields[1].Values[0], c.expected) << c.units;
  }
}

TEST(AverageArraysTest, DecayFollowsItsWeights) {
  TDataMeas target = fixtures::FrequencyRecord(kSpectrum, {100.0}, {{3.0}});
  target.FAvgType = kAverageDecay;
  target.FAvgCount = 1;
  AnalysisContext context;
  context.Decay = {0.99, 0.01};
  AverageArrays(target, fixtures::FrequencyRecord(kSpectrum, {100.0}, {{4.0}}), {}, false, false,
                context);
  EXPECT_NEAR(target.FFields[1].Values[0], std::sqrt(0.99 * 9 + 0.01 * 16), 1e-12);
  context.Decay = {0.0, 1.0};
  AverageArrays(target, fixtures::FrequencyRecord(kSpectrum, {100.0}, {{4.0}}), {}, false, false,
                context);
  EXPECT_NEAR(target.FFields[1].Values[0], 4.0, 1e-12);
}

TEST(AveragePointTest, VectorAveragesOnePoint) {
  TDataMeas record = fixtures::FrequencyRecord(kSpectrum, {100.0}, {{1.0}, {0.0}});
  record.FAvgType = kAverageCoh;
  record.FAvgTarget = 4;
  record.FAvgCount = 2;
  AnalysisContext context;
  AveragePoint(record, 0, 1, 2, 90.0, 1.0, context);
  EXPECT_NEAR(record.FFields[1].Values[0], std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(record.FFields[2].Values[0], 45.0, 1e-9);
}

TEST(DeconvolveTest, RecoversTheImpulseResponseOfAKnownConvolution) {
  const std::vector<double> h = {0.9, -0.4, 0.25, 0.1};
  const std::vector<double> x = fixtures::Noise(200, 4);
  std::vector<double> y(x.size() + h.size() - 1, 0.0);
  for (std::size_t i = 0; i < x.size(); ++i) {
    for (std::size_t j = 0; j < h.size(); ++j) y[i + j] += x[i] * h[j];
  }
  TDataMeas numerator = fixtures::TimeRecord(48000, 0.0, {y});
  Deconvolve(numerator, fixtures::TimeRecord(48000, 0.0, {x}));
  ASSERT_EQ(numerator.FNumPoints, 203);
  EXPECT_EQ(numerator.FFields[0].Name, "DeConvolved Ch1");
  for (std::size_t i = 0; i < 203; ++i) {
    EXPECT_NEAR(numerator.FFields[0].Values[i], i < h.size() ? h[i] : 0.0, 1e-10) << i;
  }

  TDataMeas self = fixtures::TimeRecord(48000, 0.0, {x});
  Deconvolve(self, fixtures::TimeRecord(48000, 0.0, {x}));
  EXPECT_NEAR(self.FFields[0].Values[0], 1.0, 1e-12);
  EXPECT_NEAR(self.FFields[0].Values[7], 0.0, 1e-12);

  TDataMeas convolved = fixtures::TimeRecord(48000, 0.0, {x});
  Convolve(convolved, fixtures::TimeRecord(48000, 0.0, {h}));
  EXPECT_EQ(convolved.FFields[0].Name, "Convolved Ch1");
  EXPECT_NEAR(convolved.FFields[0].Values[50], y[50], 1e-12);
}

TEST(DeconvolveTest, ADivisorWithAZeroBinGivesZeroThereNotNan) {
  // [1, 1, 0, 0] has an exact zero at the Nyquist bin.
  TDataMeas numerator = fixtures::TimeRecord(48000, 0.0, {{1.0, 2.0, 3.0, 4.0}});
  Deconvolve(numerator, fixtures::TimeRecord(48000, 0.0, {{1.0, 1.0, 0.0, 0.0}}));
  for (double v : numerator.FFields[0].Values) EXPECT_TRUE(std::isfinite(v));
}

}  // namespace
}  // namespace vireon
