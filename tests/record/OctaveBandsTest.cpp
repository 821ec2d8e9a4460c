#include "record/OctaveBands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "RecordFixtures.h"
#include "record/Averaging.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

constexpr double kFs = 48000.0;

struct Setting {
  std::int32_t n;
  double octaves;
};

// Every allowed FFT size with coarse and fine resolutions.
const std::vector<Setting> kSettings = {{256, 1.0},        {1024, 1.0 / 3},   {4096, 1.0 / 6},
                                        {16384, 1.0 / 12}, {65536, 1.0 / 24}, {65536, 1.0 / 48},
                                        {4096, 1.0 / 48},  {256, 1.0 / 3}};

bool SpansTenBins(double centre, double octaves, std::int32_t n) {
  const double width = centre * (std::pow(2.0, octaves / 2) - std::pow(2.0, -octaves / 2));
  return width >= 10 * kFs / n;
}

TEST(OctaveBandsTest, ASineReadsItsRmsInItsBand) {
  for (const Setting& s : kSettings) {
    const BandLayout layout = MakeBandLayout(0.499 * kFs, 20.0, s.octaves);
    int checked = 0;
    const std::size_t step = std::max<std::size_t>(1, layout.Centres.size() / 40);
    for (std::size_t j = 0; j < layout.Centres.size(); j += step) {
      const double f = layout.Centres[j];
      if (!SpansTenBins(f, s.octaves, s.n) || f > 0.45 * kFs) continue;
      constexpr double kAmplitude = 0.3;
      std::vector<double> x(s.n);
      for (int i = 0; i < s.n; ++i)
        x[i] = kAmplitude * std::sin(2 * std::numbers::pi * f * i / kFs + 1.0);
      TDataMeas target;
      AnalysisContext context;
      OctaveBands(target, fixtures::TimeRecord(48000, 0.0, {x}), 0.499 * kFs, 20.0, s.octaves,
                  context);
      ASSERT_EQ(target.FNumPoints, static_cast<std::int32_t>(layout.Centres.size()));
      EXPECT_NEAR(ToDb(target.FFields[1].Values[j]), ToDb(kAmplitude / std::numbers::sqrt2), 0.1)
          << "n " << s.n << " 1/" << 1 / s.octaves << " f " << f;
      ++checked;
    }
    EXPECT_GT(checked, 0) << "n " << s.n;
  }
}

TEST(OctaveBandsTest, AFlatSpectrumRisesByTheBandWidthRatio) {
  // An impulse at the window's centre has a flat power spectrum: band power grows with the
  // band's width, 10·log10(2^c) dB per band.
  for (const Setting& s : kSettings) {
    std::vector<double> x(s.n, 0.0);
    x[s.n / 2] = 1.0;
    TDataMeas target;
    AnalysisContext context;
    OctaveBands(target, fixtures::TimeRecord(48000, 0.0, {x}), 0.499 * kFs, 20.0, s.octaves,
                context);
    const std::vector<double>& f = target.FFields[0].Values;
    const std::vector<double>& level = target.FFields[1].Values;
    int checked = 0;
    for (std::size_t j = 0; j + 1 < f.size(); ++j) {
      if (!SpansTenBins(f[j], s.octaves, s.n) ||
          f[j + 1] * std::pow(2.0, s.octaves / 2) > 0.49 * kFs) {
        continue;
      }
      EXPECT_NEAR(ToDb(level[j + 1]) - ToDb(level[j]), 10 * std::log10(std::pow(2.0, s.octaves)),
                  0.05)
          << "n " << s.n << " 1/" << 1 / s.octaves << " f " << f[j];
      ++checked;
    }
    EXPECT_GT(checked, 0) << "n " << s.n;
  }
}

TEST(OctaveBandsTest, LayoutSitsOnTheThousandHertzGrid) {
  const BandLayout layout = MakeBandLayout(20000.0, 20.0, 1.0 / 3);
  EXPECT_LE(layout.Lower(0), 20.0);
  EXPECT_GT(layout.Upper(0), 20.0);
  bool has_1000 = false;
  for (double c : layout.Centres) has_1000 = has_1000 || std::abs(c - 1000.0) < 1e-9;
  EXPECT_TRUE(has_1000);
  // The last band is the first whose upper edge passes 20 kHz / 2^(c/2).
  EXPECT_GE(layout.Upper(layout.Centres.size() - 1), 20000.0 / std::pow(2.0, 1.0 / 6));
  EXPECT_LT(layout.Upper(layout.Centres.size() - 2), 20000.0 / std::pow(2.0, 1.0 / 6));
  for (std::size_t j = 1; j < layout.Centres.size(); ++j) {
    EXPECT_NEAR(layout.Lower(j), layout.Upper(j - 1), 1e-9);
  }
}

TEST(OctaveBandResponseTest, IdenticalChannelsGiveUnity) {
  std::vector<double> x(4096);
  for (int i = 0; i < 4096; ++i) x[i] = std::sin(0.001 * i * i);
  TDataMeas source = fixtures::TimeRecord(48000, 0.0, {x, x});
  source.FWindowType = 14;
  TDataMeas target;
  AnalysisContext context;
  OctaveBandResponse(target, source, 0.499 * kFs, 100.0, 1.0 / 3, context);
  ASSERT_GT(target.FNumPoints, 10);
  for (double v : target.FFields[1].Values) EXPECT_NEAR(v, 1.0, 1e-9);
  EXPECT_EQ(target.FDataType, kRtaBands);
}

}  // namespace
}  // namespace vireon
