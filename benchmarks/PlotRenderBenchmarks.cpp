// The whole redraw of a plot as the widget and `vireon-cli plot` do it: the display list built
// from the record and painted on an image.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "plot/render/PlotImage.h"
#include "record/DataTypes.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

// A response of `points` bins from 0 to 24 kHz with two noisy magnitudes (columns 1 and 3) and
// a delayed, wrapped phase (column 2), on a log axis 20 Hz .. 20 kHz.
TDataMeas LongResponse(std::int32_t points) {
  TDataMeas record;
  record.FDataType = kFrequencyResponse;
  record.FNumFields = 4;
  record.FNumPoints = points;
  record.FSampleRate = 48000;
  record.AllocColumns();
  std::mt19937_64 random(7);
  std::normal_distribution<double> gauss;
  for (std::int32_t i = 0; i < points; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const double f = 24000.0 * i / (points - 1);
    record.FFields[0].Values[k] = f;
    record.FFields[1].Values[k] = 1.0 + 0.1 * gauss(random);
    record.FFields[2].Values[k] = WrapAngle(180.0, -360.0 * f * 0.001);
    record.FFields[3].Values[k] = 0.5 + 0.05 * gauss(random);
  }
  for (const int magnitude : {1, 3}) {
    record.FFields[static_cast<std::size_t>(magnitude)].ShowAsDb = 1;
    record.FFields[static_cast<std::size_t>(magnitude)].PerDiv = 5;
    record.FFields[static_cast<std::size_t>(magnitude)].RefDiv = 9;
  }
  record.FFields[2].Units = "\xB0";
  record.FFields[2].WrapPhase = 1;
  record.FFields[2].PerDiv = 36;
  record.FFields[2].RefDiv = 5;
  record.FLogX = 1;
  record.FViewStart = 20;
  record.FViewStop = 20000;
  record.FNumDivisions = 10;
  record.FEndX = 24000;
  record.FTraceA = 1;
  return record;
}

void Redraw(benchmark::State& state, TDataMeas record, int width, int height) {
  for (auto _ : state) {
    const QImage image = RenderPlotImage(record, PlotView{}, PlotOptions{}, width, height);
    benchmark::DoNotOptimize(image.constBits());
  }
}

// The target case: a plot 1000 pixels wide with two curves of 10^6 points each.
void BM_RedrawTwoMagnitudes1M(benchmark::State& state) {
  TDataMeas record = LongResponse(1000000);
  record.FTraceB = 3;
  Redraw(state, std::move(record), 1010, 420);
}
BENCHMARK(BM_RedrawTwoMagnitudes1M)->Unit(benchmark::kMillisecond);

// The same with the phase as trace B: each phase point carries its delay slope and wrap.
void BM_RedrawMagnitudeAndPhase1M(benchmark::State& state) {
  TDataMeas record = LongResponse(1000000);
  record.FTraceB = 2;
  Redraw(state, std::move(record), 1010, 420);
}
BENCHMARK(BM_RedrawMagnitudeAndPhase1M)->Unit(benchmark::kMillisecond);

// What `vireon-cli plot` draws for a 65536-point response at its default size.
void BM_Picture65536Points(benchmark::State& state) {
  TDataMeas record = LongResponse(65536);
  record.FTraceB = 2;
  Redraw(state, std::move(record), 703, 328);
}
BENCHMARK(BM_Picture65536Points)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vireon
