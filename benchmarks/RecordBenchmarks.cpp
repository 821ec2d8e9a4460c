#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "common/Notices.h"
#include "record/ConstrainedSpline.h"
#include "record/DataObj.h"

namespace vireon {
namespace {

// Frequencies spaced evenly in log f from 1 Hz to 24 kHz.
std::vector<double> LogFrequencies(std::size_t count) {
  std::vector<double> f(count);
  for (std::size_t i = 0; i < count; ++i) {
    f[i] = std::pow(24000.0, static_cast<double>(i) / static_cast<double>(count - 1));
  }
  return f;
}

std::vector<double> RandomProbes(double low, double high) {
  std::mt19937_64 random(1);
  std::uniform_real_distribution<double> x(low, high);
  std::vector<double> probes(4096);
  for (double& p : probes) p = x(random);
  return probes;
}

void BM_IndexOfFrequencyRecord(benchmark::State& state) {
  constexpr std::size_t kPoints = 1000000;
  TDataMeas record;
  record.FDataType = kFrequencyResponse;
  record.FNumFields = 2;
  record.FNumPoints = kPoints;
  record.AllocColumns();
  record.FFields[0].Values = LogFrequencies(kPoints);
  const std::vector<double> probes = RandomProbes(0.5, 25000.0);
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(record.IndexOf(probes[next]));
    next = (next + 1) % probes.size();
  }
}
BENCHMARK(BM_IndexOfFrequencyRecord);

void BM_IndexOfSampledRecord(benchmark::State& state) {
  constexpr std::size_t kPoints = 1000000;
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FSampleRate = 48000;
  record.FNumPoints = kPoints;
  record.AllocColumns();
  const std::vector<double> probes = RandomProbes(-0.1, kPoints / 48000.0 + 0.1);
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(record.IndexOf(probes[next]));
    next = (next + 1) % probes.size();
  }
}
BENCHMARK(BM_IndexOfSampledRecord);

// Resampling 10^5 knots onto 10^6 points must stay well under 100 ms.
void BM_InterpolateLogFreq(benchmark::State& state) {
  const std::vector<double> knots = LogFrequencies(100000);
  std::vector<double> levels(knots.size());
  for (std::size_t i = 0; i < knots.size(); ++i) levels[i] = std::sin(0.001 * i);
  const std::vector<double> targets = LogFrequencies(1000000);
  Notices notices;
  for (auto _ : state) {
    benchmark::DoNotOptimize(InterpolateLogFreq(knots, levels, targets, notices));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(targets.size()));
}
BENCHMARK(BM_InterpolateLogFreq)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vireon
