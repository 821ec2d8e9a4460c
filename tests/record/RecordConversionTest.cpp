#include "record/RecordConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "RecordFixtures.h"
#include "common/VireonError.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr std::int32_t kRate = 48000;

TDataMeas Converted(const TDataMeas& record, RecordConversion to) {
  AnalysisContext context;
  ConversionRequest request;
  request.to = to;
  request.window = 1;  // rectangular: the circular filters below then hold exactly
  return ConvertRecord(record, request, context);
}

// A (column 0) is B (column 1) through a two-tap filter h = (0.5, 0.5), circularly, so every
// bin of A is exactly H(f)·B(f) with H(f) = cos(πf/fs)·e^(-iπf/fs).
TDataMeas TwoTapMeasurement() {
  const std::vector<double> reference = fixtures::Noise(1024, 11);
  return fixtures::TimeRecord(kRate, 0.0,
                              {fixtures::CircularFilter({0.5, 0.5}, reference), reference});
}

TEST(RecordConversionTest, TransferIsMeasuredOverReference) {
  const TDataMeas result = Converted(TwoTapMeasurement(), RecordConversion::kTransfer);
  ASSERT_EQ(result.FNumPoints, 513);
  for (const int bin : {1, 100, 255, 511}) {
    const double f = result.FFields[0].Values[bin];
    EXPECT_DOUBLE_EQ(f, kRate * bin / 1024.0);
    EXPECT_NEAR(result.FFields[1].Values[bin], std::cos(kPi * f / kRate), 1e-12) << f;
    EXPECT_NEAR(result.FFields[2].Values[bin], -180.0 * f / kRate, 1e-9) << f;
    EXPECT_NEAR(result.FFields[3].Values[bin], 1.0, 1e-12) << f;
  }
}

TEST(RecordConversionTest, DeconvolutionRecoversTheFilter) {
  const TDataMeas result = Converted(TwoTapMeasurement(), RecordConversion::kDeconvolve);
  ASSERT_EQ(result.FDataType, kTimeDomain);
  EXPECT_NEAR(result.FFields[0].Values[0], 0.5, 1e-12);
  EXPECT_NEAR(result.FFields[0].Values[1], 0.5, 1e-12);
  for (int i = 2; i < 1024; ++i) EXPECT_NEAR(result.FFields[0].Values[i], 0.0, 1e-12) << i;
}

TEST(RecordConversionTest, ImpulseGoesToFrequencyAndBack) {
  std::vector<double> impulse(256, 0.0);
  impulse[10] = 0.5;
  const TDataMeas response =
      Converted(fixtures::TimeRecord(kRate, 0.0, {impulse}), RecordConversion::kFrequencyResponse);
  ASSERT_EQ(response.FDataType, kFrequencyResponse);
  ASSERT_EQ(response.FNumPoints, 129);
  for (int bin = 0; bin < 129; ++bin) {
    EXPECT_NEAR(response.FFields[1].Values[bin], 0.5, 1e-15);
    // A delay of 10 samples: the phase falls 360°·10/256 per bin (compared modulo a turn).
    const double expected = -360.0 * 10.0 * bin / 256.0;
    EXPECT_NEAR(std::remainder(response.FFields[2].Values[bin] - expected, 360.0), 0.0, 1e-9);
  }
  const TDataMeas back = Converted(response, RecordConversion::kTimeDomain);
  ASSERT_EQ(back.FDataType, kTimeDomain);
  for (int i = 0; i < 256; ++i) EXPECT_NEAR(back.FFields[0].Values[i], impulse[i], 1e-15) << i;
}

TEST(RecordConversionTest, RecordsThatDoNotSuitAreRefusedWithAMessage) {
  const TDataMeas mono = fixtures::TimeRecord(kRate, 0.0, {fixtures::Noise(256, 2)});
  for (const RecordConversion to :
       {RecordConversion::kTransfer, RecordConversion::kTwoChannelSpectrum,
        RecordConversion::kDeconvolve, RecordConversion::kTimeDomain}) {
    EXPECT_THROW(Converted(mono, to), VireonError);
  }
  const TDataMeas curve =
      fixtures::FrequencyRecord(kFrequencyResponse, {10, 20, 40}, {{1, 1, 1}, {0, 0, 0}});
  EXPECT_THROW(Converted(curve, RecordConversion::kTimeDomain), VireonError);
  EXPECT_THROW(Converted(curve, RecordConversion::kSpectrum), VireonError);
}

}  // namespace
}  // namespace vireon
