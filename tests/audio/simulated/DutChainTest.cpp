// The device under test between outputs and inputs, measured through the card's loopback.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "CardRig.h"
#include "audio/devices/simulated/BenchFile.h"

namespace vireon {
namespace {

constexpr WaveFormat k16{48000, 16};
constexpr WaveFormat k24{48000, 24};

std::vector<StereoFrame> Silence(std::size_t frames) { return std::vector<StereoFrame>(frames); }

double Rms(const std::vector<StereoFrame>& frames, int channel, double full_scale) {
  long double sum = 0;
  for (const StereoFrame& f : frames) sum += static_cast<long double>(f[channel]) * f[channel];
  return std::sqrt(sum / frames.size()) / full_scale;
}

TEST(DutChainTest, NoiseHasTheStatedRmsAndEachInputItsOwnSequence) {
  Bench bench;
  bench.inputs[0].noise_db = -40.0;
  bench.inputs[1].noise_db = -60.0;
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  const auto captured = Loopback(card, Silence(0), 96000, k24);
  EXPECT_NEAR(20 * std::log10(Rms(captured, 0, kFullScale24)), -40.0, 0.05);
  EXPECT_NEAR(20 * std::log10(Rms(captured, 1, kFullScale24)), -60.0, 0.05);
  long double mean = 0;
  long double correlation = 0;
  for (const StereoFrame& f : captured) {
    mean += f[0];
    correlation += static_cast<long double>(f[0]) * f[1];
  }
  const double n = static_cast<double>(captured.size());
  const double sigma0 = 0.01 * kFullScale24;
  const double sigma1 = 0.001 * kFullScale24;
  // Both within five standard errors of zero.
  EXPECT_LT(std::abs(mean / n), 5 * sigma0 / std::sqrt(n));
  EXPECT_LT(std::abs(correlation / (n * sigma0 * sigma1)), 5 / std::sqrt(n));
}

TEST(DutChainTest, HumIsASineOfTheStatedRmsStartingAtPhaseZero) {
  Bench bench;
  bench.inputs[1].hum = HumSettings{60.0, -20.0};
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  const auto captured = Loopback(card, Silence(0), 4800, k24);
  const long double amplitude = std::sqrt(2.0L) * 0.1L * kFullScale24;
  for (std::size_t n = 0; n < captured.size(); ++n) {
    const long double expected =
        amplitude * std::sin(2 * std::numbers::pi_v<long double> * 60 * n / 48000);
    ASSERT_NEAR(captured[n][1], expected, 0.5 + 1e-9 * amplitude) << n;
    ASSERT_EQ(captured[n][0], 0);
  }
}

// Full-scale in, 0.5 full scale out of the clip: 16383.5 counts, a tie that goes to the even
// 16384. Below it, gain 0.5 makes ties of odd samples: 1.5 -> 2, 2.5 -> 2, -1.5 -> -2.
TEST(DutChainTest, ClipLimitsAndQuantisingRoundsTiesToEven) {
  Bench bench;
  bench.inputs[0].clip = 0.5;
  bench.inputs[1].gain = 0.5;
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  const std::vector<StereoFrame> played = {{32767, 1}, {-32767, 3}, {16000, 5},  {20000, -3},
                                           {0, -5},    {-32767, 7}, {100, 32767}};
  const std::vector<StereoFrame> expected = {{16384, 0}, {-16384, 2}, {16000, 2},  {16384, -2},
                                             {0, -2},    {-16384, 4}, {100, 16384}};
  EXPECT_EQ(Loopback(card, played, played.size(), k16), expected);
}

TEST(DutChainTest, PolynomialGainSourceAndSaturation) {
  Bench bench;
  bench.inputs[0].polynomial = {0.0, 1.0, 0.5};  // y = x + x^2 / 2
  bench.inputs[0].gain = -1.0;
  bench.inputs[1].source = InputSource::kOutput1;
  bench.inputs[1].gain = 4.0;
  bench.inputs[1].clip = 8.0;  // the clip lets it through; the record format saturates
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  const std::vector<StereoFrame> played = {{16384, 999}, {-8192, 999}, {2, 999}};
  const auto captured = Loopback(card, played, played.size(), k16);
  for (std::size_t i = 0; i < played.size(); ++i) {
    const long double x = played[i][0] / 32767.0L;
    EXPECT_EQ(captured[i][0], std::lround(-(x + x * x / 2) * 32767)) << i;
    EXPECT_EQ(captured[i][1], std::clamp<long>(std::lround(4 * x * 32767), -32767, 32767)) << i;
  }
}

TEST(DutChainTest, AnInputWithoutSourceRecordsSilence) {
  Bench bench;
  bench.inputs[1].source = InputSource::kNone;
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  const std::vector<StereoFrame> played(300, StereoFrame{1000, -1000});
  for (const StereoFrame& f : Loopback(card, played, played.size(), k16)) {
    ASSERT_EQ(f, (StereoFrame{1000, 0}));
  }
}

}  // namespace
}  // namespace vireon
