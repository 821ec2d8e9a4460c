#include <gtest/gtest.h>

#include <random>

#include "SyncReference.h"
#include "audio/sync/SyncCorrelation.h"
#include "audio/sync/SyncSearch.h"

namespace vireon {
namespace {

const MlsTables& SyncTables() {
  static const MlsTables tables = GenerateMlsTables(MlsRegister::SyncCode());
  return tables;
}

// c[d] = -Σ x[n]·s[n - d], circularly: the sequence delayed by d gives -255 at d.
SyncValues NaiveCorrelation(const SyncValues& x) {
  const std::vector<int> s = ReferenceSyncSequence();
  SyncValues c{};
  for (int d = 0; d < 255; ++d) {
    for (int n = 0; n < 255; ++n) c[d] -= x[n] * s[(n - d + 255) % 255];
  }
  return c;
}

TEST(SyncCorrelationTest, HadamardCorrelationEqualsTheCircularCorrelation) {
  std::mt19937 random(3);
  std::normal_distribution<double> normal;
  SyncValues x{};
  for (double& v : x) v = normal(random) * 1000.0;
  const SyncValues fast = CorrelateWithSyncSequence(x, SyncTables());
  const SyncValues naive = NaiveCorrelation(x);
  for (int d = 0; d < 255; ++d) EXPECT_NEAR(fast[d], naive[d], 1e-6) << d;

  const std::vector<int> s = ReferenceSyncSequence();
  for (const int delay : {0, 1, 77, 254}) {
    for (int n = 0; n < 255; ++n) x[n] = s[(n - delay + 255) % 255];
    const SyncValues c = CorrelateWithSyncSequence(x, SyncTables());
    for (int d = 0; d < 255; ++d) ASSERT_DOUBLE_EQ(c[d], d == delay ? -255.0 : 1.0) << d;
    EXPECT_EQ(ChipDelay(x, SyncTables(), true), delay);
    EXPECT_EQ(ChipDelay(x, SyncTables(), false), -1) << "an inverted return is expected";
  }
}

TEST(SyncCorrelationTest, PeakChoiceAndContrast) {
  SyncValues c{};
  c.fill(1.0);
  c[10] = -100.0;
  c[11] = -70.0;  // a neighbour above 0.6 of the peak: the larger index
  EXPECT_EQ(FindSyncPeak(c, true, kBitPeakContrast).index, 11);
  c[11] = 1.0;
  c[9] = -70.0;
  EXPECT_EQ(FindSyncPeak(c, true, kBitPeakContrast).index, 10);
  c[9] = -50.0;  // below 0.6
  c[11] = -50.0;
  EXPECT_EQ(FindSyncPeak(c, true, kBitPeakContrast).index, 10);
  EXPECT_TRUE(FindSyncPeak(c, true, kBitPeakContrast).clear);
  EXPECT_EQ(FindSyncPeak(c, false, kBitPeakContrast).clear, false)
      << "the positive extreme is a sidelobe";

  c.fill(0.0);
  EXPECT_FALSE(FindSyncPeak(c, true, kBitPeakContrast).clear) << "a dead input";
  c.fill(-37.0);
  EXPECT_FALSE(FindSyncPeak(c, true, kBitPeakContrast).clear) << "a constant offset";

  // Noise alone never stands out: its peak stays within about 6 RMS of the others.
  std::mt19937 random(11);
  std::normal_distribution<double> normal;
  int clear = 0;
  for (int trial = 0; trial < 5000; ++trial) {
    SyncValues x{};
    for (double& v : x) v = normal(random);
    const SyncValues correlation = CorrelateWithSyncSequence(x, SyncTables());
    clear += FindSyncPeak(correlation, trial % 2 == 0, kBitPeakContrast).clear ? 1 : 0;
  }
  EXPECT_EQ(clear, 0);
}

// A window of the preamble that begins at code sample u must put the code start at -u modulo the
// code period, wherever u falls within a bit.
TEST(SyncSearchTest, LocksToTheCodeStartAtAnyPhase) {
  const std::vector<int> s = ReferenceSyncSequence();
  for (const int h : {3, 5, 43, 63, 169}) {
    const std::int64_t period = 255LL * h;
    for (const std::int64_t u :
         {std::int64_t{0}, std::int64_t{1}, std::int64_t{h / 2}, std::int64_t{h / 2 + 1},
          17 * std::int64_t{h} + h - 1, period - 1, period / 3 + 5}) {
      for (const bool inverted : {false, true}) {
        SyncSearch search(h);
        bool full = false;
        for (std::int64_t i = 0; i < period; ++i) {
          ASSERT_FALSE(full);
          const int sample = ReferencePreamble(s, u + i, h) * 5000;
          full = search.Add(inverted ? -sample : sample);
        }
        ASSERT_TRUE(full);
        const std::optional<std::int64_t> start = search.Lock(SyncTables(), !inverted);
        ASSERT_TRUE(start) << "h " << h << " u " << u;
        EXPECT_EQ(*start, (period - u) % period) << "h " << h << " u " << u;
        EXPECT_FALSE(search.Lock(SyncTables(), inverted)) << "wrong polarity, h " << h;
      }
    }
  }
}

}  // namespace
}  // namespace vireon
