#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "plot/FrequencyTrace.h"
#include "plot/PlotAxes.h"
#include "plot/TimeTrace.h"
#include "record/DataObj.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

constexpr std::int32_t kPoints = 1000000;
constexpr int kWidth = 1000;
constexpr int kHeight = 300;
constexpr std::int32_t kDivisions = 10;

std::vector<double> Noise(std::size_t n, unsigned seed) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> gauss;
  std::vector<double> v(n);
  for (double& x : v) x = gauss(random);
  return v;
}

// A measured response of 10^6 FFT bins (0 .. 24 kHz): magnitude in dB and wrapped phase.
TDataMeas FrequencyRecord() {
  TDataMeas record;
  record.FDataType = kFrequencyResponse;
  record.FNumFields = 3;
  record.FNumPoints = kPoints;
  record.FSampleRate = 48000;
  record.AllocColumns();
  const std::vector<double> noise = Noise(kPoints, 1);
  for (std::int32_t i = 0; i < kPoints; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const double f = 24000.0 * i / (kPoints - 1);
    record.FFields[0].Values[k] = f;
    record.FFields[1].Values[k] = 1.0 + 0.1 * noise[k];
    record.FFields[2].Values[k] = WrapAngle(180.0, -360.0 * f * 0.001 + noise[k]);
  }
  record.FFields[1].ShowAsDb = 1;
  record.FFields[1].PerDiv = 5;
  record.FFields[1].RefDiv = 9;
  record.FFields[2].Units = "\xB0";
  record.FFields[2].WrapPhase = 1;
  record.FFields[2].PerDiv = 36;
  record.FFields[2].RefDiv = 5;
  record.FLogX = 1;
  record.FViewStart = 20;
  record.FViewStop = 20000;
  record.FNumDivisions = kDivisions;
  record.FEndX = 24000;
  return record;
}

TDataMeas TimeRecord() {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FNumFields = 1;
  record.FNumPoints = kPoints;
  record.FSampleRate = 48000;
  record.AllocColumns();
  record.FFields[0].Values = Noise(kPoints, 2);
  record.FWinStart = 1000;
  record.FWinEnd = 600000;
  record.FViewStart = 0;
  record.FViewStop = (kPoints - 1) / 48000.0;
  record.FNumDivisions = kDivisions;
  return record;
}

void BM_FrequencyTraceDbLogAxis(benchmark::State& state) {
  const TDataMeas record = FrequencyRecord();
  const HorizontalAxis axis = HorizontalAxis::ForRecord(record, kWidth);
  const VerticalScale scale = VerticalScale::ForCurve(record.FFields[1], kDivisions, kHeight);
  for (auto _ : state) {
    std::vector<DisplayItem> items;
    benchmark::DoNotOptimize(AddFrequencyTrace(record, 1, axis, scale, {}, {}, items));
    benchmark::DoNotOptimize(items.data());
  }
}
BENCHMARK(BM_FrequencyTraceDbLogAxis)->Unit(benchmark::kMillisecond);

void BM_FrequencyTracePhaseLogAxis(benchmark::State& state) {
  TDataMeas record = FrequencyRecord();
  record.FDisplayDelay = 0.001;
  const HorizontalAxis axis = HorizontalAxis::ForRecord(record, kWidth);
  const VerticalScale scale = VerticalScale::ForCurve(record.FFields[2], kDivisions, kHeight);
  for (auto _ : state) {
    std::vector<DisplayItem> items;
    benchmark::DoNotOptimize(AddFrequencyTrace(record, 2, axis, scale, {}, {}, items));
    benchmark::DoNotOptimize(items.data());
  }
}
BENCHMARK(BM_FrequencyTracePhaseLogAxis)->Unit(benchmark::kMillisecond);

void BM_TimeTraceWithWindow(benchmark::State& state) {
  const TDataMeas record = TimeRecord();
  const HorizontalAxis axis = HorizontalAxis::ForRecord(record, kWidth);
  const VerticalScale scale = TimeTraceScale(record.FFields[0], kDivisions, kHeight);
  for (auto _ : state) {
    std::vector<DisplayItem> items;
    benchmark::DoNotOptimize(
        AddTimeTrace(record, 0, TimeTraceRole::TraceA, axis, scale, {}, {}, items));
    benchmark::DoNotOptimize(items.data());
  }
}
BENCHMARK(BM_TimeTraceWithWindow)->Unit(benchmark::kMillisecond);

// The redraw budget's curve work: a 10^6-point dB response on a log axis and a 10^6-sample
// time record, each into a graph of 1000 × 300 pixels.
void BM_TwoMillionPointCurves(benchmark::State& state) {
  const TDataMeas frequency = FrequencyRecord();
  const TDataMeas time = TimeRecord();
  const HorizontalAxis log_axis = HorizontalAxis::ForRecord(frequency, kWidth);
  const HorizontalAxis time_axis = HorizontalAxis::ForRecord(time, kWidth);
  const VerticalScale db = VerticalScale::ForCurve(frequency.FFields[1], kDivisions, kHeight);
  const VerticalScale linear = TimeTraceScale(time.FFields[0], kDivisions, kHeight);
  for (auto _ : state) {
    std::vector<DisplayItem> items;
    AddFrequencyTrace(frequency, 1, log_axis, db, {}, {}, items);
    AddTimeTrace(time, 0, TimeTraceRole::TraceA, time_axis, linear, {}, {}, items);
    benchmark::DoNotOptimize(items.data());
  }
}
BENCHMARK(BM_TwoMillionPointCurves)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vireon
