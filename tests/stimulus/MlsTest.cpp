#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "stimulus/MlsRecovery.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/MlsTables.h"

namespace vireon {
namespace {

std::vector<int> SequenceBits(MlsRegister sequence, std::int32_t count) {
  sequence.SeedMLS();
  std::vector<int> bits(static_cast<std::size_t>(count));
  for (int& bit : bits) bit = sequence.NextMLSBit();
  return bits;
}

// The register returns to its seed after exactly 2^n - 1 steps and never before, and the period
// holds 2^(n-1) ones: the signature of a maximum-length sequence.
TEST(MlsRegisterTest, EveryOrderHasTheFullPeriod) {
  for (int order = kMinMlsOrder; order <= kMaxMlsOrder; ++order) {
    MlsRegister sequence = MlsRegister::ForOrder(order);
    sequence.SeedMLS();
    const std::uint32_t stages = (std::uint32_t{1} << (order + 1)) - 2;  // bits 1..order
    std::int64_t steps = 0;
    std::int64_t ones = 0;
    do {
      ones += sequence.NextMLSBit();
      ++steps;
    } while ((sequence.State() & stages) != 2u && steps <= sequence.Period());
    EXPECT_EQ(steps, sequence.Period()) << "order " << order;
    EXPECT_EQ(ones, std::int64_t{1} << (order - 1)) << "order " << order;
  }
  MlsRegister sync = MlsRegister::SyncCode();
  const std::vector<int> bits = SequenceBits(sync, 2 * 255);
  EXPECT_TRUE(std::equal(bits.begin(), bits.begin() + 255, bits.begin() + 255));
}

// As a ±1 signal the sequence's circular autocorrelation is two-valued: N - 1 at lag 0, -1 at
// every other lag.
TEST(MlsRegisterTest, AutocorrelationIsTwoValued) {
  const MlsRegister sequence = MlsRegister::ForOrder(12);
  const std::int32_t period = sequence.Period();
  const std::vector<int> bits = SequenceBits(sequence, period);
  for (const std::int32_t lag : {0, 1, 2, 7, 100, 2048, 4094}) {
    long sum = 0;
    for (std::int32_t k = 0; k < period; ++k) {
      sum += (2 * bits[k] - 1) * (2 * bits[(k + lag) % period] - 1);
    }
    EXPECT_EQ(sum, lag == 0 ? period : -1) << "lag " << lag;
  }
}

TEST(MlsRegisterTest, OrderFromLength) {
  struct Case {
    int request, order, length;
  };
  for (const Case c : {Case{100, 12, 4096}, Case{4096, 12, 4096}, Case{-4096, 12, 4096},
                       Case{4097, 13, 4097}, Case{5000, 13, 5000}, Case{8192, 13, 8192},
                       Case{262144, 18, 262144}, Case{-300000, 19, -300000}}) {
    const MlsLength chosen = SetMLSOrder(c.request);
    EXPECT_EQ(chosen.order, c.order) << c.request;
    EXPECT_EQ(chosen.length, c.length) << c.request;
  }
}

// P_in[k] is the value of the window of the n latest bits ending at sample k, oldest bit most
// significant; computed here straight from the bits.
TEST(MlsTablesTest, InputPermutationIsTheBitWindow) {
  for (const int order : {kSyncCodeOrder, 12, 13}) {
    const MlsRegister sequence =
        order == kSyncCodeOrder ? MlsRegister::SyncCode() : MlsRegister::ForOrder(order);
    const std::int32_t period = sequence.Period();
    const std::vector<int> bits = SequenceBits(sequence, period);
    const MlsTables tables = GenerateMlsTables(sequence);
    ASSERT_EQ(tables.input_permutation.size(), static_cast<std::size_t>(period));
    for (std::int32_t k = 0; k < period; ++k) {
      std::int32_t window = 0;
      for (int j = order - 1; j >= 0; --j) window = 2 * window + bits[(k - j + period) % period];
      ASSERT_EQ(tables.input_permutation[k], window) << "order " << order << " k " << k;
    }
    std::vector<std::int32_t> sorted = tables.output_permutation;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::int32_t> one_to_period(static_cast<std::size_t>(period));
    std::iota(one_to_period.begin(), one_to_period.end(), 1);
    EXPECT_EQ(sorted, one_to_period) << "order " << order;
  }
}

// A period that is the sequence itself (a wire) recovers as (N-1)/N at 0 and -1/N elsewhere.
TEST(MlsRecoveryTest, WireGivesTheClosedForm) {
  const MlsRegister sequence = MlsRegister::ForOrder(12);
  const MlsTables tables = GenerateMlsTables(sequence);
  const std::vector<int> bits = SequenceBits(sequence, sequence.Period());
  std::vector<double> samples(bits.size() + 3);
  for (std::size_t k = 0; k < bits.size(); ++k) samples[k] = 2.0 * bits[k] - 1.0;
  ASSERT_TRUE(RecoverMLSImpulse(samples, tables, 12));
  EXPECT_DOUBLE_EQ(samples[0], 0.999755859375);
  for (std::size_t k = 1; k < samples.size(); ++k) {
    ASSERT_DOUBLE_EQ(samples[k], -0.000244140625) << k;
  }
}

// Through a known FIR filter h the recovered response is h[k] - sum(h)/N (the sequence's mean is
// -1/N per sample, not zero), for the sequence and for the sync code's order-8 tables alike.
TEST(MlsRecoveryTest, KnownFilterIsRecovered) {
  const std::vector<double> h = {0.5, -0.25, 0.125, 0.0, 0.0, -0.75, 0.3};
  for (const int order : {kSyncCodeOrder, 12, 14}) {
    const MlsRegister sequence =
        order == kSyncCodeOrder ? MlsRegister::SyncCode() : MlsRegister::ForOrder(order);
    const std::int32_t period = sequence.Period();
    const std::vector<int> bits = SequenceBits(sequence, period);
    std::vector<double> recorded(static_cast<std::size_t>(period), 0.0);
    for (std::int32_t k = 0; k < period; ++k) {
      for (std::size_t j = 0; j < h.size(); ++j) {
        recorded[k] +=
            h[j] * (2.0 * bits[(k - static_cast<std::int32_t>(j) + period) % period] - 1);
      }
    }
    ASSERT_TRUE(RecoverMLSImpulse(recorded, GenerateMlsTables(sequence), order));
    const double offset = std::accumulate(h.begin(), h.end(), 0.0) / (period + 1.0);
    for (std::int32_t k = 0; k < period; ++k) {
      const double expected = (k < static_cast<std::int32_t>(h.size()) ? h[k] : 0.0) - offset;
      ASSERT_NEAR(recorded[k], expected, 1e-12) << "order " << order << " k " << k;
    }
  }
}

TEST(MlsRecoveryTest, RefusesTablesOfAnotherOrderAndShortRecords) {
  const MlsTables tables = GenerateMlsTables(MlsRegister::ForOrder(12));
  std::vector<double> samples(8191, 1.0);
  EXPECT_FALSE(RecoverMLSImpulse(samples, tables, 13));
  EXPECT_FALSE(RecoverMLSImpulse(samples, MlsTables{}, 0));
  std::vector<double> short_record(4094, 1.0);
  EXPECT_FALSE(RecoverMLSImpulse(short_record, tables, 12));
  EXPECT_EQ(samples, std::vector<double>(8191, 1.0));
}

}  // namespace
}  // namespace vireon
