#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "StimulusFixtures.h"
#include "stimulus/ChirpGenerator.h"

namespace vireon {
namespace {

constexpr long double kTwoPi = 2.0L * std::numbers::pi_v<long double>;

StimulusSettings WithChirp(const ChirpSettings& chirp) {
  StimulusSettings settings;
  settings.chirp = chirp;
  return settings;
}

// The phase of sample k in closed form: the sum of k increments growing by the factor r
// (logarithmic) or by a constant step (linear).
long double AnalyticPhase(const ChirpSweepParameters& p, std::int64_t k) {
  const long double d0 = kTwoPi * p.start_hz / p.play_rate;
  if (p.linear) {
    const long double step = kTwoPi * (p.stop_hz - p.start_hz) / (1.0L * p.length * p.play_rate);
    return k * d0 + step * k * (k - 1) / 2.0L;
  }
  const long double r = std::pow(static_cast<long double>(p.stop_hz) / p.start_hz, 1.0L / p.length);
  return d0 * std::expm1(k * std::log(r)) / (r - 1.0L);
}

TEST(ChirpTest, PhaseFollowsTheAnalyticIntegral) {
  struct Case {
    double start, stop, seconds;
    int rate;
    bool linear;
  };
  for (const Case c : {Case{20, 20000, 0.2, 48000, false}, Case{20, 20000, 0.2, 48000, true},
                       Case{10, 90000, 5.0, 192000, false}, Case{1000, 1000, 0.5, 44100, false},
                       Case{100, 5000, 2.0, 96000, true}}) {
    ChirpSettings settings{c.start, c.stop, c.seconds, c.linear};
    const ChirpSweepParameters p = ChirpSweepFor(settings, 0, c.rate, c.rate);
    const std::vector<double> chirp = BuildChirpArray(p, p.length + 10);
    double worst = 0.0;
    for (std::int64_t k = 0; k < p.length; ++k) {
      worst =
          std::max(worst, std::fabs(chirp[k] - static_cast<double>(std::sin(AnalyticPhase(p, k)))));
    }
    EXPECT_LT(worst, 1e-9) << c.start << " to " << c.stop << (c.linear ? " linear" : " log");
    for (std::int64_t k = p.length; k < p.length + 10; ++k) EXPECT_EQ(chirp[k], 0.0);
  }
}

TEST(ChirpTest, FrequencyLimits) {
  ChirpSettings equal{1000, 1000, 0.2};
  const ChirpSweepParameters same = ChirpSweepFor(equal, 0, 48000, 48000);
  EXPECT_EQ(same.length, 9600);
  EXPECT_DOUBLE_EQ(same.start_hz, 1000.0);
  EXPECT_DOUBLE_EQ(same.stop_hz, 1010.0);

  ChirpSettings reversed{15000, 0.01, 0.2};
  const ChirpSweepParameters ordered = ChirpSweepFor(reversed, 0, 48000, 48000);
  EXPECT_DOUBLE_EQ(ordered.start_hz, 0.1);
  EXPECT_DOUBLE_EQ(ordered.stop_hz, 15000.0);

  for (const int acq : {3, 8, 16, 17, 25, 26}) {
    const ChirpSweepParameters full = ChirpSweepFor(ChirpSettings{}, acq, 48000, 48000);
    EXPECT_DOUBLE_EQ(full.start_hz, 5.0) << acq;
    EXPECT_DOUBLE_EQ(full.stop_hz, 23995.0) << acq;
  }
  const ChirpSweepParameters sweep = ChirpSweepFor(ChirpSettings{}, 3, 48000, 48000);
  EXPECT_NEAR(ChirpSweep(sweep).OctavesPerSecond(), std::log2(23995.0 / 5.0) / 0.2, 1e-9);
}

// Synchronous: output 1 only at 0.99 of full scale. Asynchronous: both outputs with their own
// gains after the pre-delay, repeated every period.
TEST(ChirpTest, EngineLevelsDelayAndPeriod) {
  const ChirpSettings settings{100, 10000, 0.1};
  const ChirpSweepParameters p = ChirpSweepFor(settings, 0, 48000, 48000);
  const std::vector<double> unit = BuildChirpArray(p, p.length);

  GeneratedFrames sync;
  ASSERT_TRUE(sync.Start(Selection(17, 24, 3), WithChirp(settings)));
  const ChirpSweepParameters full = ChirpSweepFor(settings, 3, 48000, 48000);
  const std::vector<double> full_unit = BuildChirpArray(full, full.length);
  const std::vector<Frame> s = sync.Fill(full.length, 24);
  for (std::int32_t k = 0; k < full.length; ++k) {
    ASSERT_NEAR(s[k].left, 0.5 * 8388607 * 0.99 * full_unit[k], 0.5) << k;
  }

  StimulusSelection selection = Selection(0, 24, 0);
  selection.async_chirp_delay = 700;
  selection.period_length = 6000;
  GeneratedFrames async;
  ASSERT_TRUE(async.Start(selection, WithChirp(settings)));
  const std::vector<Frame> a = async.Fill(2 * 6000, 24);
  for (std::int32_t m = 0; m < 2 * 6000; ++m) {
    const std::int32_t k = m % 6000 - 700;
    const double v = k >= 0 && k < p.length ? unit[k] : 0.0;
    ASSERT_NEAR(a[m].left, 0.5 * 8388607 * v, 0.5) << m;
    ASSERT_NEAR(a[m].right, 0.25 * 8388607 * v, 0.5) << m;
  }
}

// "Freq.Resp and IMD" plays two chirps whose instantaneous frequencies keep the ratio q: the
// second is the first delayed by D samples, and the sweep rises by 1/q over D samples.
TEST(ChirpTest, IntermodulationPairKeepsTheFrequencyRatio) {
  StimulusSelection selection = Selection(0, 24, 17);
  selection.async_chirp_delay = 0;
  selection.period_length = 0;
  selection.imd_frequency_ratio = 0.9;
  const ChirpSettings settings{};
  GeneratedFrames run;
  ASSERT_TRUE(run.Start(selection, WithChirp(settings)));
  const ChirpSweepParameters p = ChirpSweepFor(settings, 17, 48000, 48000);
  const std::vector<Frame> frames = run.Fill(2 * p.length, 24);
  const std::vector<double> c = BuildChirpArray(p, p.length);
  // Find D from the output: the delay that explains output 1 as the sum of two half chirps.
  const long double per_sample =
      std::log(static_cast<long double>(p.stop_hz) / p.start_hz) / p.length;
  const auto d = static_cast<std::int32_t>(std::llround(std::log(1.0L / 0.9L) / per_sample));
  for (std::int32_t k = 0; k < 2 * p.length; ++k) {
    const double first = k < p.length ? c[k] : 0.0;
    const double second = k >= d && k - d < p.length ? c[k - d] : 0.0;
    ASSERT_NEAR(frames[k].left, 0.5 * 8388607 * 0.5 * 0.99 * (first + second), 0.5) << k;
  }
  EXPECT_NEAR(std::exp(-d * per_sample), 0.9, 0.9 * per_sample);  // D is whole samples
}

// "Freq.Resp and Harmonic Dist." plays the analysis' reference chirp (amplitude 0.99) at full gain.
TEST(ChirpTest, HarmonicDistortionPlaysTheReferenceChirp) {
  StimulusSelection selection = Selection(0, 24, 16);
  selection.async_chirp_delay = 50;
  GeneratedFrames run;
  ASSERT_TRUE(run.Start(selection));
  const ChirpSweepParameters p = ChirpSweepFor(ChirpSettings{}, 16, 48000, 48000);
  const std::vector<double> c = BuildChirpArray(p, p.length);
  const std::vector<Frame> frames = run.Fill(p.length + 100, 24);
  for (std::int32_t m = 0; m < p.length + 100; ++m) {
    const double v = m >= 50 && m - 50 < p.length ? 0.99 * c[m - 50] : 0.0;
    ASSERT_NEAR(frames[m].left, 0.5 * 8388607 * v, 0.5) << m;
    ASSERT_NEAR(frames[m].right, 0.25 * 8388607 * v, 0.5) << m;
  }
}

// "LPF on Output 2": output 2 follows output 1 until half the fade length, then fades to silence
// where the sweep's instantaneous frequency reaches the cut-off.
TEST(ChirpTest, Output2FadesOutAtTheCutoff) {
  ChirpSettings settings{20, 20000, 0.5};
  settings.output2_lowpass = true;
  settings.output2_lowpass_hz = 1000;
  StimulusSelection selection = Selection(0, 24, 8);
  selection.async_chirp_delay = 0;
  selection.period_length = 0;
  selection.gain2 = selection.gain1;
  GeneratedFrames run;
  ASSERT_TRUE(run.Start(selection, WithChirp(settings)));
  const ChirpSweepParameters p = ChirpSweepFor(settings, 8, 48000, 48000);
  const std::vector<Frame> frames = run.Fill(p.length, 24);
  const double r = std::pow(p.stop_hz / p.start_hz, 1.0 / p.length);
  const auto cutoff_index =
      static_cast<std::int32_t>(std::ceil(std::log(1000.0 / p.start_hz) / std::log(r)));
  for (std::int32_t k = 0; k < cutoff_index / 2; ++k) ASSERT_EQ(frames[k].right, frames[k].left);
  for (std::int32_t k = cutoff_index + 1; k < p.length; ++k) ASSERT_EQ(frames[k].right, 0) << k;
  const std::int32_t three_quarters = 3 * cutoff_index / 4;
  const double x = 2 * std::numbers::pi * three_quarters / cutoff_index;
  const double w =
      0.355768 - 0.487396 * std::cos(x) + 0.144232 * std::cos(2 * x) - 0.012604 * std::cos(3 * x);
  EXPECT_NEAR(frames[three_quarters].right, w * frames[three_quarters].left, 2.0);

  // Not at 16 bits, and not for linear sweeps.
  selection.play_bits = 16;
  GeneratedFrames sixteen;
  ASSERT_TRUE(sixteen.Start(selection, WithChirp(settings)));
  const std::vector<Frame> plain = sixteen.Fill(p.length, 16);
  EXPECT_EQ(plain[p.length - 10].right, plain[p.length - 10].left);
}

}  // namespace
}  // namespace vireon
