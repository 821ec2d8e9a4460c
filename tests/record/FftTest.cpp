#include "record/FASTtransforms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

#include "RecordFixtures.h"

namespace vireon {
namespace {

struct LongSpectrum {
  std::vector<long double> re, im;
};

// The textbook DFT in long double, each angle reduced exactly (k·j mod N) into a table.
LongSpectrum NaiveDft(const std::vector<double>& re, const std::vector<double>& im, int sign) {
  const std::size_t n = re.size();
  LongSpectrum out{std::vector<long double>(n), std::vector<long double>(n)};
  const long double step = 2.0L * std::numbers::pi_v<long double> / static_cast<long double>(n);
  std::vector<long double> cosines(n), sines(n);
  for (std::size_t m = 0; m < n; ++m) {
    cosines[m] = std::cos(step * static_cast<long double>(m));
    sines[m] = sign * std::sin(step * static_cast<long double>(m));
  }
  for (std::size_t k = 0; k < n; ++k) {
    long double sr = 0, si = 0;
    for (std::size_t j = 0; j < n; ++j) {
      const long double c = cosines[(k * j) % n], s = sines[(k * j) % n];
      sr += re[j] * c - im[j] * s;
      si += re[j] * s + im[j] * c;
    }
    out.re[k] = sr;
    out.im[k] = si;
  }
  return out;
}

// Squared error against the naive DFT relative to the spectrum's energy.
double RelativeError(const std::vector<double>& re, const std::vector<double>& im,
                     const LongSpectrum& truth) {
  long double error = 0, energy = 0;
  for (std::size_t k = 0; k < re.size(); ++k) {
    const long double dr = re[k] - truth.re[k], di = im[k] - truth.im[k];
    error += dr * dr + di * di;
    energy += truth.re[k] * truth.re[k] + truth.im[k] * truth.im[k];
  }
  return static_cast<double>(std::sqrt(error / energy));
}

TEST(FftTest, ForwardAndInverseMatchTheLongDoubleDftAtEverySize) {
  for (int log2n = 0; log2n <= 12; ++log2n) {
    const std::size_t n = std::size_t{1} << log2n;
    const std::vector<double> re0 = fixtures::Noise(n, 1 + log2n),
                              im0 = fixtures::Noise(n, 100 + log2n);
    std::vector<double> re = re0, im = im0;
    ComplexFFT(re, im);
    EXPECT_LT(RelativeError(re, im, NaiveDft(re0, im0, -1)), 1e-13) << "n = " << n;

    re = re0;
    im = im0;
    InverseComplexFFT(re, im);
    LongSpectrum inverse = NaiveDft(re0, im0, +1);
    for (std::size_t k = 0; k < n; ++k) {
      inverse.re[k] /= n;
      inverse.im[k] /= n;
    }
    EXPECT_LT(RelativeError(re, im, inverse), 1e-13) << "n = " << n;
  }
}

TEST(FftTest, LargeTransformsStayAccurateAgainstSampledDftBins) {
  // Beyond the sizes a full naive DFT allows, check a spread of bins one by one.
  for (int log2n : {14, 17}) {
    const std::size_t n = std::size_t{1} << log2n;
    const std::vector<double> re0 = fixtures::Noise(n, 7), im0 = fixtures::Noise(n, 8);
    std::vector<double> re = re0, im = im0;
    ComplexFFT(re, im);
    const long double step = 2.0L * std::numbers::pi_v<long double> / static_cast<long double>(n);
    long double error = 0, energy = 0;
    for (std::size_t k :
         {std::size_t{0}, std::size_t{1}, n / 3, n / 2, n - 1, std::size_t{12345}}) {
      long double sr = 0, si = 0;
      for (std::size_t j = 0; j < n; ++j) {
        const long double angle = -step * static_cast<long double>((k * j) % n);
        sr += re0[j] * std::cos(angle) - im0[j] * std::sin(angle);
        si += re0[j] * std::sin(angle) + im0[j] * std::cos(angle);
      }
      error += (re[k] - sr) * (re[k] - sr) + (im[k] - si) * (im[k] - si);
      energy += static_cast<long double>(n) * 2;  // expected |X_k|² of unit white noise
    }
    EXPECT_LT(std::sqrt(static_cast<double>(error / energy)), 1e-12) << "n = " << n;
  }
}

TEST(FftTest, RealTransformsFollowTheSignAndScalingConventions) {
  // A unit impulse is flat; a cosine of one cycle lands in bins 1 and 7 with N/2 each.
  DataArray impulse = {1, 0, 0, 0, 0, 0, 0, 0};
  DataArray im;
  ForwardFFT(impulse, im);
  for (std::size_t k = 0; k < 8; ++k) {
    EXPECT_NEAR(impulse[k], 1.0, 1e-15);
    EXPECT_NEAR(im[k], 0.0, 1e-15);
  }
  InverseFFT(impulse, im);
  for (std::size_t k = 0; k < 8; ++k) EXPECT_NEAR(impulse[k], k == 0 ? 1.0 : 0.0, 1e-15);

  DataArray sine(8);
  for (std::size_t j = 0; j < 8; ++j) sine[j] = std::sin(2 * std::numbers::pi * j / 8.0);
  ForwardFFT(sine, im);
  // sin = (e^{iθ} - e^{-iθ})/2i: bin 1 gets -i·N/2 under the e^(-i...) kernel.
  EXPECT_NEAR(im[1], -4.0, 1e-14);
  EXPECT_NEAR(im[7], 4.0, 1e-14);
  EXPECT_NEAR(sine[1], 0.0, 1e-14);
}

TEST(FftTest, ThreadsTransformingAtOnceGetTheSameResults) {
  // Both threads reach sizes whose tables are not built yet; results must match a later,
  // single-threaded run bit for bit.
  const std::vector<double> signal = fixtures::Noise(1 << 15, 9);
  const auto run = [&](std::size_t n) {
    std::vector<double> re(signal.begin(), signal.begin() + static_cast<std::ptrdiff_t>(n));
    std::vector<double> im(n, 0.0);
    ComplexFFT(re, im);
    return re;
  };
  std::vector<std::vector<double>> results(6);
  std::thread other([&] {
    for (int k = 0; k < 3; ++k) results[k] = run(std::size_t{1} << (15 - k));
  });
  for (int k = 0; k < 3; ++k) results[3 + k] = run(std::size_t{1} << (15 - k));
  other.join();
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(results[k], results[3 + k]);
    EXPECT_EQ(results[k], run(std::size_t{1} << (15 - k)));
  }
}

TEST(FftTest, VectorAndBaselineStagesAreBitIdentical) {
  for (int log2n : {1, 2, 3, 5, 10, 13, 17}) {
    const std::size_t n = std::size_t{1} << log2n;
    std::vector<double> re = fixtures::Noise(n, 20), im = fixtures::Noise(n, 21);
    std::vector<double> re_base = re, im_base = im;
    ComplexFFT(re, im);
    ComplexFFTBaselineStages(re_base, im_base);
    EXPECT_EQ(re, re_base) << n;
    EXPECT_EQ(im, im_base) << n;
  }
}

TEST(FftTest, RejectsLengthsThatAreNotAPowerOfTwo) {
  std::vector<double> re = {1, 2, 3}, im = {0, 0, 0};
  ComplexFFT(re, im);
  EXPECT_EQ(re, (std::vector<double>{1, 2, 3}));
  std::vector<double> short_im = {0, 0};
  std::vector<double> re4 = {1, 2, 3, 4};
  ComplexFFT(re4, short_im);
  EXPECT_EQ(re4, (std::vector<double>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace vireon
