#include "record/Conversions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "RecordFixtures.h"
#include "record/FftWindows.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(ToFrequencyResponseTest, UsesThePowerOfTwoBelowAndGivesMagnitudeAndPhaseOfTheDft) {
  std::vector<double> x = fixtures::Noise(1000, 3);
  TDataMeas record = fixtures::TimeRecord(48000, 0.0, {x});
  ToFrequencyResponse(record);
  ASSERT_EQ(record.FNumPoints, 257);
  EXPECT_EQ(record.FDataType, kFrequencyResponse);
  EXPECT_EQ(record.FFields[0].Values.back(), 24000.0);
  for (std::size_t k : {0, 1, 100, 256}) {
    std::complex<long double> sum = 0;
    for (std::size_t j = 0; j < 512; ++j) {
      sum += static_cast<long double>(x[j]) *
             std::polar(1.0L, -2.0L * std::numbers::pi_v<long double> * ((k * j) % 512) / 512);
    }
    EXPECT_NEAR(record.FFields[1].Values[k], static_cast<double>(std::abs(sum)), 1e-10);
    if (std::abs(sum) > 1e-6) {
      EXPECT_NEAR(record.FFields[2].Values[k], static_cast<double>(std::arg(sum)) * 180 / kPi,
                  1e-8);
    }
  }
}

TEST(ToTimeDomainTest, InvertsTheFrequencyResponse) {
  const std::vector<double> x = fixtures::Noise(512, 4);
  TDataMeas record = fixtures::TimeRecord(48000, 0.0, {x});
  ToFrequencyResponse(record);
  AnalysisContext context;
  ToTimeDomain(record, context);
  ASSERT_EQ(record.FNumPoints, 512);
  for (std::size_t i = 0; i < 512; ++i) EXPECT_NEAR(record.FFields[0].Values[i], x[i], 1e-12);

  // The converter delay rotates that many samples of negative time to the front.
  TDataMeas delayed = fixtures::TimeRecord(48000, 0.0, {x});
  ToFrequencyResponse(delayed);
  context.ConverterDelay = 10;
  ToTimeDomain(delayed, context);
  EXPECT_NEAR(delayed.FFields[0].Values[10], x[0], 1e-12);
  EXPECT_NEAR(delayed.FFields[0].Values[0], x[502], 1e-12);
  EXPECT_DOUBLE_EQ(delayed.FStartTime, -10.0 / 48000);
}

TEST(ToTimeDomainTest, AFlatResponseWithoutItsNyquistBinIsAClickWithNoRinging) {
  // 256 bins of magnitude 1, phase 0, on the axis fs·i/512: the missing Nyquist bin follows
  // the flat magnitude, so the result is a unit impulse.
  std::vector<double> f(256), mag(256, 1.0), phase(256, 0.0);
  for (int i = 0; i < 256; ++i) f[i] = 48000.0 * i / 512;
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, f, {mag, phase});
  record.FSampleRate = 48000;
  AnalysisContext context;
  ToTimeDomain(record, context);
  ASSERT_EQ(record.FNumPoints, 512);
  EXPECT_NEAR(record.FFields[0].Values[0], 1.0, 1e-12);
  for (int i = 1; i < 512; ++i) EXPECT_NEAR(record.FFields[0].Values[i], 0.0, 1e-12) << i;
}

TEST(ToSpectrumTest, ASineLandsInItsBinAtItsWindowedLevel) {
  // A sine centred on bin 64 under a Hann window: the DFT peak is A·n/2 times the window's
  // coherent gain 1/2, times the gain factor and the spectrum's √2.
  constexpr int kN = 1024;
  constexpr double kAmplitude = 0.25;
  std::vector<double> x(kN);
  for (int i = 0; i < kN; ++i) x[i] = kAmplitude * std::sin(2 * kPi * 64 * i / kN + 0.3);
  TDataMeas source = fixtures::TimeRecord(48000, 0.0, {x});
  source.FWindowType = kHannWindow;
  AnalysisContext context;
  context.FftLength = kN;
  TDataMeas target;
  ToSpectrum(target, source, true, context);
  ASSERT_EQ(target.FNumPoints, kN / 2 + 1);
  EXPECT_EQ(target.FDataType, kSpectrum);
  const std::vector<double>& mag = target.FFields[1].Values;
  const auto peak = std::max_element(mag.begin(), mag.end()) - mag.begin();
  EXPECT_EQ(peak, 64);
  const double expected = kAmplitude * kN / 2 * 0.5 * 2.0000645 * std::numbers::sqrt2;
  // The window is sampled over n-1 intervals, so its coherent gain is 1/2 within 1/n.
  EXPECT_NEAR(mag[64] / expected, 1.0, 2e-3);
  EXPECT_DOUBLE_EQ(target.FFields[0].Values[64], 48000.0 * 64 / kN);
}

TEST(ToSpectrumTest, FrequencyDependentWindowTakesTheSlidingPath) {
  // A decaying tone under a half Hann window with the frequency-dependent option: the
  // sliding tail window runs instead of the gate, and the bin width spans the whole FFT.
  constexpr int kN = 2048;
  std::vector<double> x(kN);
  for (int i = 0; i < kN; ++i) x[i] = std::exp(-i / 200.0) * std::sin(2 * kPi * 40 * i / kN);
  TDataMeas source = fixtures::TimeRecord(48000, 0.0, {x});
  source.FWindowType = 15;
  source.FWinStart = 0;
  source.FWinEnd = 1500;
  AnalysisContext context;
  context.FftLength = kN;
  context.FrequencyDependentWindow = true;
  TDataMeas target;
  ToSpectrum(target, source, true, context);
  ASSERT_EQ(target.FNumPoints, kN / 2 + 1);
  EXPECT_DOUBLE_EQ(target.FBinWidth[0], 48000.0 / (kN - 1));
  const std::vector<double>& mag = target.FFields[1].Values;
  for (double v : mag) ASSERT_TRUE(std::isfinite(v));
  EXPECT_NEAR(std::max_element(mag.begin(), mag.end()) - mag.begin(), 40, 2);
}

TEST(SingleFrequencyMagnitudeTest, HalfTheSampleRateAndAboveGiveZero) {
  TDataMeas record = fixtures::TimeRecord(48000, 0.0, {fixtures::Noise(64, 5)});
  EXPECT_EQ(SingleFrequencyMagnitude(record, 24000.0), 0.0);
  EXPECT_EQ(SingleFrequencyMagnitude(record, 30000.0), 0.0);
  EXPECT_GT(SingleFrequencyMagnitude(record, 1000.0), 0.0);
}

TEST(PolarTest, PolarAndRectangularAreInverse) {
  std::vector<double> re = {3, -1, 0}, im = {4, 0, -2};
  ToPolar(re, im);
  EXPECT_DOUBLE_EQ(re[0], 5.0);
  EXPECT_NEAR(im[1], 180.0, 1e-12);
  EXPECT_NEAR(im[2], -90.0, 1e-12);
  ToRectangular(re, im);
  EXPECT_NEAR(re[0], 3.0, 1e-12);
  EXPECT_NEAR(im[0], 4.0, 1e-12);
  EXPECT_NEAR(re[1], -1.0, 1e-12);
  EXPECT_NEAR(im[2], -2.0, 1e-12);
}

}  // namespace
}  // namespace vireon
