#include "measure/ChirpDeconvolution.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/VireonError.h"
#include "record/Averaging.h"
#include "record/NumericHelpers.h"
#include "record/RecordFixtures.h"
#include "stimulus/ChirpGenerator.h"

namespace vireon {
namespace {

constexpr int kRate = 48000;
constexpr std::int32_t kChirpLength = 4800;  // 0.1 s
constexpr std::int32_t kDelay = 56;          // converter filter delay d

// The full-band log sweep the impulse acquisitions play: fs/L up to fs/2 - fs/L.
ChirpSweepParameters FullBandSweep(bool linear = false) {
  const double f1 = static_cast<double>(kRate) / kChirpLength;
  return {.start_hz = f1,
          .stop_hz = kRate / 2.0 - f1,
          .length = kChirpLength,
          .play_rate = kRate,
          .linear = linear};
}

std::vector<double> FullBandChirp(bool linear = false) {
  return BuildChirpArray(FullBandSweep(linear), kChirpLength);
}

struct Tap {
  std::int32_t delay;
  double gain;
};

// The signal through an FIR of sparse taps, placed `offset` samples into a record of `length`,
// summed in long double.
std::vector<double> Recording(const std::vector<double>& signal, const std::vector<Tap>& taps,
                              std::int32_t offset, std::int32_t length) {
  std::vector<long double> sum(static_cast<std::size_t>(length), 0.0L);
  for (const Tap& tap : taps) {
    for (std::size_t i = 0; i < signal.size(); ++i) {
      const std::size_t at = i + static_cast<std::size_t>(offset + tap.delay);
      if (at < sum.size()) sum[at] += static_cast<long double>(tap.gain) * signal[i];
    }
  }
  return {sum.begin(), sum.end()};
}

std::int32_t PeakIndex(const std::vector<double>& x) {
  const auto peak = std::max_element(
      x.begin(), x.end(), [](double l, double r) { return std::fabs(l) < std::fabs(r); });
  return static_cast<std::int32_t>(peak - x.begin());
}

// Σ s[i]·s[i + lag], the chirp's autocorrelation.
double Autocorrelation(const std::vector<double>& s, std::int32_t lag) {
  long double sum = 0.0L;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto j = static_cast<std::int64_t>(i) + lag;
    if (j >= 0 && j < static_cast<std::int64_t>(s.size())) {
      sum += static_cast<long double>(s[i]) * s[static_cast<std::size_t>(j)];
    }
  }
  return static_cast<double>(sum);
}

TEST(ChirpCaptureLengthTest, NextPowerOfTwoOfTheScaledStimulusOrTheFftSize) {
  struct Case {
    int record_rate, play_rate;
    std::int32_t stimulus_length;
    double k;
    std::int32_t fft_size, expected;
  };
  for (const Case& c : {Case{48000, 48000, 9600, 2.2, 4096, 32768},   // 21120
                        Case{48000, 48000, 9600, 1.2, 4096, 16384},   // 11520
                        Case{96000, 48000, 9600, 1.2, 4096, 32768},   // 23040
                        Case{48000, 48000, 1000, 1.2, 65536, 65536},  // the FFT size wins
                        Case{48000, 48000, 8192, 1.0, 256, 8192}}) {  // already a power of two
    EXPECT_EQ(ChirpCaptureLength(c.record_rate, c.play_rate, c.stimulus_length, c.k, c.fft_size),
              c.expected)
        << c.record_rate << "/" << c.play_rate << " × " << c.stimulus_length << " × " << c.k;
  }
}

TEST(SweepReferenceTest, ConstantsAt48kHzFor200ms) {
  const SweepReference ref = MakeSweepReference(0.2, kRate, kRate, 4096, false);
  EXPECT_EQ(ref.length, 9600);
  EXPECT_DOUBLE_EQ(ref.start_hz, 5.0);
  EXPECT_DOUBLE_EQ(ref.stop_hz, 23995.0);
  EXPECT_NEAR(ref.log_constant, 0.0236, 0.00005);
  EXPECT_NEAR(ref.log_constant * std::numbers::ln2, 0.0164, 0.00005);  // 2nd harmonic lead
  EXPECT_EQ(ref.capture_length, 32768);
  ASSERT_EQ(ref.spectrum.size(), 16385u);
}

TEST(SweepReferenceTest, SweepFollowsTheClosedFormPhaseAndItsSpectrumTheDft) {
  const SweepReference ref = MakeSweepReference(0.2, kRate, kRate, 4096, false);
  // φ(i) = ω0·(u^i − 1)/(u − 1), the sum of the geometric steps.
  const long double u = std::pow(23995.0L / 5.0L, 1.0L / 9600);
  const long double w0 = 2 * std::numbers::pi_v<long double> * 5.0L / kRate;
  for (std::size_t i : {0u, 1u, 2400u, 4800u, 9599u}) {
    const long double phase = w0 * (std::pow(u, static_cast<long double>(i)) - 1) / (u - 1);
    EXPECT_NEAR(ref.sweep[i], static_cast<double>(std::sin(phase)), 1e-9) << i;
  }
  const auto n = static_cast<long double>(ref.capture_length);
  for (std::size_t k : {0u, 1u, 1000u, 16384u}) {
    std::complex<long double> sum = 0;
    for (std::size_t i = 0; i < ref.sweep.size(); ++i) {
      const long double angle = -2 * std::numbers::pi_v<long double> *
                                static_cast<long double>((k * i) % ref.capture_length) / n;
      sum += std::polar<long double>(ref.sweep[i], angle);
    }
    EXPECT_NEAR(ref.spectrum[k].real(), static_cast<double>(sum.real()), 1e-8) << k;
    EXPECT_NEAR(ref.spectrum[k].imag(), static_cast<double>(sum.imag()), 1e-8) << k;
  }
  const SweepReference reversed = MakeSweepReference(0.2, kRate, kRate, 4096, true);
  for (std::size_t j : {0u, 17u, 9599u}) EXPECT_EQ(reversed.sweep[j], ref.sweep[9599 - j]);
}

void ExpectChirpArraysError(const auto& make) {
  try {
    make();
    ADD_FAILURE() << "no error";
  } catch (const VireonError& e) {
    EXPECT_STREQ(e.what(), "Error: Could not initialize Chirp Arrays.");
  }
}

TEST(ChirpSpectraTest, RefusesWhatCannotBeBuilt) {
  const std::vector<double> chirp(600, 0.5);
  ExpectChirpArraysError([&] { PrepareChirpSpectra({}, 4096, kDelay); });
  ExpectChirpArraysError([&] { PrepareChirpSpectra(chirp, 3000, kDelay); });  // not 2^n
  ExpectChirpArraysError([&] { PrepareChirpSpectra(chirp, 512, kDelay); });   // shorter
  ExpectChirpArraysError([&] { PrepareChirpSpectra(chirp, 0, kDelay); });
  ExpectChirpArraysError([&] { MakeSweepReference(0.00001, kRate, kRate, 4096, false); });
}

TEST(SynchronousChirpTest, RecoversTheTapsDSamplesInNormalisedToTheOutputLevel) {
  const std::vector<double> chirp = FullBandChirp();
  const std::int32_t n = ChirpCaptureLength(kRate, kRate, kChirpLength, 1.2, 4096);
  ASSERT_EQ(n, 8192);
  const ChirpSpectra spectra = PrepareChirpSpectra(chirp, n, kDelay);
  const double level_db = -6.0;
  const double amplitude = std::pow(10.0, level_db / 20.0);
  // A capture shorter than N, as a non-power-of-two acquisition size gives it.
  TDataMeas pass = fixtures::TimeRecord(
      kRate, 0.0, {Recording(chirp, {{10, 0.8 * amplitude}, {25, -0.3 * amplitude}}, 0, 7000)});

  DeconvolveSynchronousChirp(pass, spectra, level_db, kDelay);

  ASSERT_EQ(pass.FNumPoints, n);
  const std::vector<double>& h = pass.FFields[0].Values;
  ASSERT_EQ(h.size(), static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    const double expected = i == kDelay + 10 ? 0.8 : i == kDelay + 25 ? -0.3 : 0.0;
    ASSERT_NEAR(h[static_cast<std::size_t>(i)], expected, 1e-6) << i;
  }
  EXPECT_DOUBLE_EQ(pass.FStartTime, -56.0 / kRate);
  EXPECT_DOUBLE_EQ(pass.FDelayA, -56.0 / kRate);
  EXPECT_DOUBLE_EQ(pass.FEndX, (n - 1 - 56.0) / kRate);
}

// Channel A = gain × the chirp `delay` samples later than channel B.
TDataMeas ResyncPass(double gain, std::int32_t delay, std::int32_t length, std::uint8_t window) {
  const std::vector<double> chirp = FullBandChirp();
  TDataMeas pass = fixtures::TimeRecord(
      kRate, 0.0,
      {Recording(chirp, {{delay, gain}}, 100, length), Recording(chirp, {{0, 1.0}}, 100, length)});
  pass.FWindowType = window;
  pass.FFields[0].InputKind = 0;  // microphone 1
  pass.FFields[1].InputKind = 2;  // a line input: never corrected
  return pass;
}

struct DirectCase {
  std::string name;
  double gain;
  std::optional<std::complex<double>> mic1_correction;
  double expected_magnitude, expected_phase_offset;
};

TEST(ChirpResyncTest, WithoutWindowGivesTheRatioAndTheDelaysPhaseSlope) {
  constexpr std::int32_t kShift = 30;
  const std::int32_t n = 16384;  // the capture of 12000 samples padded to a power of two
  for (const DirectCase& c : {DirectCase{"plain", 0.5, std::nullopt, 0.5, 0.0},
                              DirectCase{"microphone 1 corrected", 0.5,
                                         std::polar(2.0, std::numbers::pi / 6), 1.0, 30.0}}) {
    SCOPED_TRACE(c.name);
    AnalysisContext context;
    if (c.mic1_correction) {
      context.Correction = [c](std::uint8_t kind, double) -> std::optional<std::complex<double>> {
        if (kind == 0) return c.mic1_correction;
        return std::nullopt;
      };
    }
    TDataMeas pass = ResyncPass(c.gain, kShift, 12000, 0);
    TDataMeas freq_rec;
    freq_rec.FAvgTarget = 1;

    EXPECT_TRUE(ChirpResyncResponse(pass, freq_rec, 0.0, kDelay, context));

    ASSERT_EQ(freq_rec.FNumPoints, n / 2);
    ASSERT_EQ(freq_rec.FNumFields, 3);
    EXPECT_EQ(freq_rec.FFields[1].Name, "Frequency Domain Mag[A]");
    EXPECT_EQ(freq_rec.FFields[2].Name, "Frequency Domain Ang[A]");
    EXPECT_EQ(freq_rec.FFields[2].Units, "\xB0");
    EXPECT_EQ(freq_rec.FTitle, "Frequency Response Data");
    EXPECT_DOUBLE_EQ(freq_rec.FStartTime, kRate / static_cast<double>(n));
    EXPECT_DOUBLE_EQ(freq_rec.FEndX, 0.499 * kRate);
    EXPECT_EQ(freq_rec.FFields[1].Values[0], 0.0);
    for (std::int32_t j = 1; j < n / 2; ++j) {
      const auto k = static_cast<std::size_t>(j);
      const double f = kRate * static_cast<double>(j) / n;
      ASSERT_DOUBLE_EQ(freq_rec.FFields[0].Values[k], f);
      ASSERT_NEAR(freq_rec.FFields[1].Values[k], c.expected_magnitude, 1e-6) << j;
      const double expected_phase = c.expected_phase_offset - 360.0 * f * kShift / kRate;
      const double phase = freq_rec.FFields[2].Values[k];
      ASSERT_NEAR(NearestTurn(expected_phase, phase), expected_phase, 1e-5) << j;
    }
  }
}

TEST(ChirpResyncTest, WithoutWindowAveragesSuccessivePassesAsComplexValues) {
  AnalysisContext context;
  TDataMeas freq_rec;
  freq_rec.FAvgType = kAverageCoh;
  freq_rec.FAvgTarget = 2;
  TDataMeas first = ResyncPass(0.5, 30, 16384, 0);
  TDataMeas second = ResyncPass(0.7, 30, 16384, 0);
  ChirpResyncResponse(first, freq_rec, 0.0, kDelay, context);
  ChirpResyncResponse(second, freq_rec, 0.0, kDelay, context);
  EXPECT_EQ(freq_rec.FAvgCount, 2);
  for (std::size_t k : {1u, 100u, 5000u}) {
    EXPECT_NEAR(freq_rec.FFields[1].Values[k], 0.6, 1e-6) << k;
  }
}

TEST(ChirpResyncTest, WithAWindowGivesTheImpulseDSamplesInWithTheHarmonicTailCut) {
  AnalysisContext context;
  const std::int32_t n = 16384;
  TDataMeas pass = ResyncPass(0.5, 30, n, 3);
  pass.FWinStart = -5;
  pass.FWinEnd = 20000;
  const ChirpSweepParameters sweep = FullBandSweep();
  const double octaves_per_second =
      std::log2(sweep.stop_hz / sweep.start_hz) / (static_cast<double>(kChirpLength) / kRate);

  TDataMeas unused;
  EXPECT_FALSE(ChirpResyncResponse(pass, unused, octaves_per_second, kDelay, context));

  const auto cut = static_cast<std::int32_t>(kRate * std::log2(5.0) / octaves_per_second + 1);
  const std::int32_t length = n - cut;
  ASSERT_EQ(pass.FNumPoints, length);
  ASSERT_EQ(pass.FFields[0].Values.size(), static_cast<std::size_t>(length));
  EXPECT_EQ(pass.FNumFields, 1);
  EXPECT_TRUE(pass.FFields[1].Values.empty());
  EXPECT_EQ(PeakIndex(pass.FFields[0].Values), kDelay + 30);
  // The top 0.1 % of the band is dropped, which barely lowers the peak.
  EXPECT_NEAR(pass.FFields[0].Values[kDelay + 30], 0.5, 0.005);
  EXPECT_DOUBLE_EQ(pass.FStartTime, -56.0 / kRate);
  EXPECT_DOUBLE_EQ(pass.FDelayA, -56.0 / kRate);
  EXPECT_DOUBLE_EQ(pass.FEndX, (length - 1 - 56.0) / kRate);
  EXPECT_DOUBLE_EQ(pass.FPeakTime[0], 30.0 / kRate);
  EXPECT_EQ(pass.FXUnits, "sec");
  EXPECT_EQ(pass.FWinStart, 0);
  EXPECT_EQ(pass.FWinEnd, length - 1);
}

TEST(ChirpResyncTest, HarmonicCutOfANarrowSweepLeavesTwoSamples) {
  // At 0.01 octaves per second the fifth harmonic lies hours away: the cut would exceed the record.
  AnalysisContext context;
  TDataMeas pass = ResyncPass(0.5, 30, 4096, 3);
  TDataMeas unused;
  ChirpResyncResponse(pass, unused, 0.01, kDelay, context);
  ASSERT_EQ(pass.FNumPoints, 2);
  ASSERT_EQ(pass.FFields[0].Values.size(), 2u);
  EXPECT_TRUE(std::isfinite(pass.FFields[0].Values[0]));
  EXPECT_DOUBLE_EQ(pass.FEndX, (1 - 56.0) / kRate);
}

TEST(AsynchronousImpulseTest, MovesTheEarlierChannelOnsetToD) {
  // A linear sweep's autocorrelation is a clean spike, so each onset is the first tap.
  const std::vector<double> chirp = FullBandChirp(true);
  const std::int32_t n = 8192;
  const ChirpSpectra spectra = PrepareChirpSpectra(chirp, n, kDelay);
  // The chirp starts at an unknown 700 samples; the device adds 20 samples of latency and an
  // echo 40 samples after its direct sound.
  TDataMeas pass = fixtures::TimeRecord(
      kRate, 0.0,
      {Recording(chirp, {{20, 0.5}, {60, 1.0}}, 700, n), Recording(chirp, {{0, 1.0}}, 700, n)});

  RecoverAsynchronousImpulse(pass, spectra, kDelay);

  const std::int32_t length = 6827;  // round(8192 / 1.2)
  ASSERT_EQ(pass.FNumPoints, length);
  const std::vector<double>& a = pass.FFields[0].Values;
  const std::vector<double>& b = pass.FFields[1].Values;
  ASSERT_EQ(a.size(), static_cast<std::size_t>(length));
  ASSERT_EQ(b.size(), static_cast<std::size_t>(length));
  EXPECT_EQ(PeakIndex(b), kDelay);
  EXPECT_NEAR(b[kDelay], Autocorrelation(chirp, 0), 1e-6);
  for (std::int32_t j : {20, 60}) {
    const double expected = 0.5 * Autocorrelation(chirp, j - 20) + Autocorrelation(chirp, j - 60);
    EXPECT_NEAR(a[static_cast<std::size_t>(kDelay + j)], expected, 1e-6) << j;
  }
  EXPECT_DOUBLE_EQ(pass.FDelayA, -56.0 / kRate);
  EXPECT_DOUBLE_EQ(pass.FStartTime, -56.0 / kRate);
  EXPECT_DOUBLE_EQ(pass.FDelayB, 56.0 / kRate);
  EXPECT_DOUBLE_EQ(pass.FEndX, (length - 1 - 56.0) / kRate);
  EXPECT_DOUBLE_EQ(pass.FPeakTime[1], 0.0);
}

TEST(AsynchronousImpulseTest, LogSweepOnsetIsTheEarliestRiseWithinFiftyMillisecondsOfThePeak) {
  // A log sweep's autocorrelation carries its low-frequency weight as a broad skirt: the onset
  // lies where that skirt first exceeds 15 % of the peak.
  const std::vector<double> chirp = FullBandChirp();
  const ChirpSpectra spectra = PrepareChirpSpectra(chirp, 8192, kDelay);
  TDataMeas pass = fixtures::TimeRecord(kRate, 0.0, {Recording(chirp, {{0, 1.0}}, 3000, 8192)});

  RecoverAsynchronousImpulse(pass, spectra, kDelay);

  const std::vector<double>& h = pass.FFields[0].Values;
  const std::int32_t peak = PeakIndex(h);
  const double threshold = 0.15 * std::fabs(h[static_cast<std::size_t>(peak)]);
  ASSERT_GE(peak, kDelay);
  ASSERT_LE(peak, kDelay + 2400);
  EXPECT_GT(std::fabs(h[kDelay]), threshold);
  for (std::int32_t i = std::max(peak - 2400, 0); i < kDelay; ++i) {
    ASSERT_LE(std::fabs(h[static_cast<std::size_t>(i)]), threshold) << i;
  }
  // The peak is the chirp's autocorrelation at lag 0.
  EXPECT_NEAR(h[static_cast<std::size_t>(peak)], Autocorrelation(chirp, 0), 1e-6);
}

TEST(AsynchronousImpulseTest, OnsetSearchStopsAtTheFirstSample) {
  // The chirp starts with the record: the onset walk-back from the peak at 0 would run 2400
  // samples before the array.
  const std::vector<double> chirp = FullBandChirp();
  const ChirpSpectra spectra = PrepareChirpSpectra(chirp, 8192, kDelay);
  TDataMeas pass = fixtures::TimeRecord(kRate, 0.0, {Recording(chirp, {{0, 1.0}}, 0, 8192)});

  RecoverAsynchronousImpulse(pass, spectra, kDelay);

  ASSERT_EQ(pass.FNumPoints, 6827);
  EXPECT_EQ(PeakIndex(pass.FFields[0].Values), kDelay);
  EXPECT_EQ(pass.FDelayB, 0.0);
}

TEST(AsynchronousImpulseTest, ShortChirpSpectraLeaveThePassAlone) {
  const std::vector<double> chirp(100, 0.5);
  const ChirpSpectra spectra = PrepareChirpSpectra(chirp, 256, kDelay);  // 129 bins
  const std::vector<double> samples = fixtures::Noise(300, 7);
  TDataMeas pass = fixtures::TimeRecord(kRate, 0.0, {samples});
  RecoverAsynchronousImpulse(pass, spectra, kDelay);
  EXPECT_EQ(pass.FNumPoints, 300);
  EXPECT_EQ(pass.FFields[0].Values, samples);
}

}  // namespace
}  // namespace vireon
