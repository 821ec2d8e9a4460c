#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "measure/MlsImpulse.h"
#include "record/RecordFixtures.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/MlsTables.h"

namespace vireon {
namespace {

constexpr int kOrder = 12;
constexpr std::int32_t kRate = 48000;
constexpr std::int32_t kConverterDelay = 56;

// One period of the sequence as played: bit 1 → +1, bit 0 → -1.
std::vector<double> PlayedPeriod(MlsRegister sequence) {
  sequence.SeedMLS();
  std::vector<double> period(static_cast<std::size_t>(sequence.Period()));
  for (double& x : period) x = sequence.NextMLSBit() == 1 ? 1.0 : -1.0;
  return period;
}

// A response given by its non-zero taps (index, value).
using Taps = std::vector<std::pair<std::size_t, double>>;

// What the capture holds: the periodic response to the sequence (the circular convolution,
// summed tap by tap), one period plus the first sample of the next (the pass is 2^order long).
std::vector<double> Captured(const Taps& taps, const std::vector<double>& played) {
  const std::size_t n = played.size();
  std::vector<double> response(n + 1, 0.0);
  for (std::size_t i = 0; i <= n; ++i) {
    for (const auto& [delay, value] : taps) response[i] += value * played[(i + n - delay) % n];
  }
  return response;
}

class MlsImpulseTest : public ::testing::Test {
 protected:
  const MlsRegister sequence_ = MlsRegister::ForOrder(kOrder);
  const MlsTables tables_ = GenerateMlsTables(sequence_);
  const std::vector<double> played_ = PlayedPeriod(sequence_);
  const std::size_t period_ = played_.size();
  // The correlation with a ±1 sequence, whose mean is -1/N per sample (N = 2^order), recovers
  // h[k] - sum(h)/N rather than h itself.
  const double table_size_ = static_cast<double>(period_ + 1);
};

// A sparse response through the synchronous path comes back tap for tap, starting at -d/fs: for
// d = 56 at 48 kHz that is -1.1667 ms.
TEST_F(MlsImpulseTest, SynchronousRecoversTheResponseAndItsTimeOrigin) {
  const Taps taps = {{56, 0.8}, {57, -0.3}, {90, 0.125}, {1000, -0.05}, {4094, 0.01}};
  std::vector<double> h(period_, 0.0);
  double sum = 0.0;
  for (const auto& [index, value] : taps) {
    h[index] = value;
    sum += value;
  }
  TDataMeas pass = fixtures::TimeRecord(kRate, 0.0, {Captured(taps, played_)});

  ASSERT_TRUE(RecoverSynchronousMlsImpulse(pass, tables_, kOrder, kConverterDelay));
  const DataArray& recovered = pass.FFields[0].Values;
  for (std::size_t k = 0; k < period_; ++k) {
    ASSERT_NEAR(recovered[k], h[k] - sum / table_size_, 1e-9) << k;
  }
  EXPECT_EQ(recovered[period_], recovered[period_ - 1]);
  EXPECT_NEAR(pass.FStartTime, -1.1667e-3, 5e-8);
  EXPECT_DOUBLE_EQ(pass.FStartTime, -56.0 / 48000.0);
  EXPECT_DOUBLE_EQ(pass.FEndX, (4096.0 - 1.0) / 48000.0 - 56.0 / 48000.0);
  // One-channel data keeps the delay as channel B's.
  EXPECT_DOUBLE_EQ(pass.FDelayB, pass.FStartTime);
  EXPECT_EQ(pass.FDelayA, 0.0);

  TDataMeas two_channels =
      fixtures::TimeRecord(kRate, 0.0, {Captured(taps, played_), Captured(taps, played_)});
  ASSERT_TRUE(RecoverSynchronousMlsImpulse(two_channels, tables_, kOrder, kConverterDelay));
  EXPECT_DOUBLE_EQ(two_channels.FDelayA, -56.0 / 48000.0);
  EXPECT_EQ(two_channels.FDelayB, 0.0);
}

// Channel B is the sequence through a pure delay p (the unknown latency), channel A the same
// through p + 7 samples and a gain of 0.5. Afterwards B's peak lies on d and A's on d + 7 with
// half the height, wherever p was: before d (the shift wraps), on it, after it, at the period's
// last sample (A's delay then wraps too).
TEST_F(MlsImpulseTest, ResyncPutsTheReferencePeakOnTheConverterDelay) {
  for (const std::size_t latency :
       {std::size_t{300}, std::size_t{20}, std::size_t{56}, std::size_t{4090}, period_ - 1}) {
    const Taps reference = {{latency, 1.0}};
    const Taps measured = {{(latency + 7) % period_, 0.5}};
    TDataMeas pass = fixtures::TimeRecord(
        kRate, 0.0, {Captured(measured, played_), Captured(reference, played_)});

    ASSERT_TRUE(RecoverResyncMlsImpulses(pass, tables_, kOrder, kConverterDelay)) << latency;
    const DataArray& a = pass.FFields[0].Values;
    const DataArray& b = pass.FFields[1].Values;
    for (std::size_t k = 0; k < period_; ++k) {
      const double expected_b = (k == 56 ? 1.0 : 0.0) - 1.0 / table_size_;
      const double expected_a = (k == 63 ? 0.5 : 0.0) - 0.5 / table_size_;
      ASSERT_NEAR(b[k], expected_b, 1e-9) << "latency " << latency << " k " << k;
      ASSERT_NEAR(a[k], expected_a, 1e-9) << "latency " << latency << " k " << k;
    }
    EXPECT_EQ(a[period_], a[period_ - 1]);
    EXPECT_EQ(b[period_], b[period_ - 1]);
    EXPECT_DOUBLE_EQ(pass.FStartTime, -56.0 / 48000.0);
    EXPECT_DOUBLE_EQ(pass.FDelayA, pass.FStartTime);
    EXPECT_DOUBLE_EQ(pass.FEndX, 4095.0 / 48000.0 - 56.0 / 48000.0);
  }
}

// A pass the tables cannot serve is left as it came.
TEST_F(MlsImpulseTest, RefusedPassesAreUnchanged) {
  const std::vector<double> wire = Captured({{0, 1.0}}, played_);
  const MlsTables other_order = GenerateMlsTables(MlsRegister::ForOrder(13));
  const TDataMeas one_channel = fixtures::TimeRecord(kRate, 0.0, {wire});
  const std::vector<double> short_wire(wire.begin(), wire.end() - 2);
  const TDataMeas too_short = fixtures::TimeRecord(kRate, 0.0, {short_wire, short_wire});
  struct Case {
    const char* what;
    TDataMeas pass;
    const MlsTables& tables;
    bool resync;
  };
  const Case cases[] = {
      {"tables of another order", one_channel, other_order, false},
      {"less than one period", too_short, tables_, false},
      {"less than one period, ReSync", too_short, tables_, true},
      {"ReSync without channel B", one_channel, tables_, true},
  };
  for (const Case& c : cases) {
    TDataMeas pass = c.pass;
    const bool done = c.resync
                          ? RecoverResyncMlsImpulses(pass, c.tables, kOrder, kConverterDelay)
                          : RecoverSynchronousMlsImpulse(pass, c.tables, kOrder, kConverterDelay);
    EXPECT_FALSE(done) << c.what;
    EXPECT_EQ(pass.FFields[0].Values, c.pass.FFields[0].Values) << c.what;
    EXPECT_EQ(pass.FStartTime, 0.0) << c.what;
  }
}

}  // namespace
}  // namespace vireon
