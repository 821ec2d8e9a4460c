#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "audio/devices/simulated/IirDesign.h"
#include "audio/devices/simulated/StageFilter.h"

namespace vireon {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

// |H| at f of the filter, from a long impulse response and a naive long-double DFT.
long double MeasuredMagnitude(std::vector<FilterStage> stages, int rate, double hz) {
  StageFilter filter(stages, rate);
  std::complex<long double> sum = 0;
  for (int n = 0; n < 1 << 14; ++n) {
    const long double h = filter.Process(n == 0 ? 1.0 : 0.0);
    sum += h * std::polar(1.0L, -2 * kPi * hz * n / rate);
  }
  return std::abs(sum);
}

// The closed-form Butterworth magnitude seen through the bilinear transform's frequency warp.
long double ButterworthMagnitude(ButterworthKind kind, int order, double cutoff, int rate,
                                 double hz) {
  const long double ratio = std::tan(kPi * hz / rate) / std::tan(kPi * cutoff / rate);
  const long double r = kind == ButterworthKind::kLowpass ? ratio : 1 / ratio;
  return 1 / std::sqrt(1 + std::pow(r, 2.0L * order));
}

TEST(ButterworthTest, EveryOrderFollowsTheClosedFormAndIsDown3dBAtTheCutoff) {
  constexpr int kRate = 48000;
  for (const ButterworthKind kind : {ButterworthKind::kLowpass, ButterworthKind::kHighpass}) {
    for (int order = 1; order <= 8; ++order) {
      SCOPED_TRACE(testing::Message()
                   << "order " << order << " highpass " << (kind == ButterworthKind::kHighpass));
      const double cutoff = kind == ButterworthKind::kLowpass ? 3000.0 : 700.0;
      const std::vector<FilterStage> stages = {ButterworthStage{kind, order, cutoff}};
      EXPECT_NEAR(20 * std::log10(MeasuredMagnitude(stages, kRate, cutoff)), -3.0103, 1e-4);
      for (const double hz : {50.0, 350.0, 1400.0, 6000.0, 15000.0}) {
        const long double expected = ButterworthMagnitude(kind, order, cutoff, kRate, hz);
        EXPECT_NEAR(MeasuredMagnitude(stages, kRate, hz), expected, 1e-9 + 1e-7 * expected)
            << hz << " Hz";
      }
    }
  }
}

// The textbook half-band designs: at a cutoff of a quarter of the rate the second order has
// b = (1, 2, 1) / (2 + sqrt 2), a = (1, 0, (2 - sqrt 2) / (2 + sqrt 2)).
TEST(ButterworthTest, HalfBandDesignsMatchThePublishedCoefficients) {
  const std::vector<BiquadStage> second =
      ButterworthSections({ButterworthKind::kLowpass, 2, 12000.0}, 48000);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_NEAR(second[0].b0, 0.29289321881345254, 1e-15);
  EXPECT_NEAR(second[0].b1, 0.5857864376269051, 1e-15);
  EXPECT_NEAR(second[0].b2, 0.29289321881345254, 1e-15);
  EXPECT_NEAR(second[0].a1, 0.0, 1e-15);
  EXPECT_NEAR(second[0].a2, 0.17157287525381, 1e-14);
  const std::vector<BiquadStage> first =
      ButterworthSections({ButterworthKind::kHighpass, 1, 12000.0}, 48000);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_NEAR(first[0].b0, 0.5, 1e-15);
  EXPECT_NEAR(first[0].b1, -0.5, 1e-15);
  EXPECT_NEAR(first[0].a1, 0.0, 1e-15);
}

TEST(ButterworthTest, OddOrdersEndInOneFirstOrderSection) {
  EXPECT_EQ(ButterworthSections({ButterworthKind::kLowpass, 7, 1000.0}, 48000).size(), 4u);
  EXPECT_EQ(ButterworthSections({ButterworthKind::kLowpass, 8, 1000.0}, 48000).size(), 4u);
}

TEST(ButterworthTest, ACutoffAtOrAboveHalfTheRateIsBypassed) {
  EXPECT_TRUE(ButterworthSections({ButterworthKind::kLowpass, 2, 22050.0}, 44100).empty());
  EXPECT_TRUE(ButterworthSections({ButterworthKind::kHighpass, 2, 30000.0}, 44100).empty());
  EXPECT_FALSE(ButterworthSections({ButterworthKind::kLowpass, 2, 22000.0}, 44100).empty());
}

TEST(PeakingFilterTest, GainAtTheCentreIsTheStatedLevelAndUnityFarAway) {
  for (const double db : {-12.0, -3.0, 3.0, 9.5}) {
    const std::vector<FilterStage> stages = {PeakStage{2500.0, db, 2.0}};
    EXPECT_NEAR(20 * std::log10(MeasuredMagnitude(stages, 48000, 2500.0)), db, 1e-6);
    EXPECT_NEAR(20 * std::log10(MeasuredMagnitude(stages, 48000, 20.0)), 0.0, 0.01);
  }
  EXPECT_FALSE(PeakingBiquad({30000.0, 6.0, 1.0}, 48000).has_value());
}

TEST(StageFilterTest, StagesRunInOrderIncludingRawBiquadsAndFirTaps) {
  // A pure delay by FIR, then a one-pole smoother: y[n] = 0.5 x[n-2] + 0.5 y[n-1].
  const std::vector<FilterStage> stages = {FirStage{{0.0, 0.0, 1.0}},
                                           BiquadStage{0.5, 0.0, 0.0, -0.5, 0.0}};
  StageFilter filter(stages, 48000);
  const std::vector<double> expected = {0, 0, 0.5, 0.25, 0.125, 0.0625};
  for (std::size_t n = 0; n < expected.size(); ++n) {
    EXPECT_DOUBLE_EQ(filter.Process(n == 0 ? 1.0 : 0.0), expected[n]) << n;
  }
}

TEST(StageFilterTest, FirConvolvesLongerInputsWithItsTaps) {
  const std::vector<double> taps = {0.5, -0.25, 0.125, 1.0};
  const std::vector<FilterStage> stages = {FirStage{taps}};
  StageFilter filter(stages, 48000);
  const std::vector<double> x = {1, 2, -3, 4, 0.5, -1, 7, 2};
  for (std::size_t n = 0; n < x.size(); ++n) {
    double expected = 0.0;
    for (std::size_t k = 0; k < taps.size() && k <= n; ++k) expected += taps[k] * x[n - k];
    EXPECT_DOUBLE_EQ(filter.Process(x[n]), expected) << n;
  }
}

}  // namespace
}  // namespace vireon
