// The desktop program's status tick while a live measurement runs: the controller's tick (a
// finished pass analysed and averaged) followed by the redraw of the primary plot, both on the
// user-interface thread. Measured on the simulated card's fast clock, so only the work counts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "ScratchFolder.h"
#include "audio/devices/simulated/BenchFile.h"
#include "measure/MeasurementController.h"
#include "measure/SimulatedStation.h"
#include "plot/render/PlotImage.h"

namespace vireon {
namespace {

constexpr std::int32_t kFftSize = 65536;
constexpr int kPasses = 20;
// The primary plot window's plot at its start-up size.
constexpr int kPlotWidth = 703;
constexpr int kPlotHeight = 328;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Synchronous MLS frequency response at 48 kHz with FFT size 65536, averaged: each tick that
// finishes a pass is timed with the redraw that follows it. The reported time is the mean of
// those ticks; "max_ms" is the slowest one.
void BM_LiveResponseTickWithRedraw(benchmark::State& state) {
  for (auto _ : state) {
    const ScratchFolder folder("vireon-live-tick");
    SimulatedStation station(BuiltInBench(), folder.Path());
    station.stimulus.mls_length = kFftSize;
    MeasurementController& controller = station.controller();
    controller.SelectStimulus(4);
    controller.SelectAcquisition(8);
    controller.SetFftSize(kFftSize);
    controller.Acquisition().avg_on = true;
    controller.Acquisition().avg_target = 1000;  // not reached: the run goes on averaging

    double total_ms = 0.0;
    double slowest_ms = 0.0;
    int passes = 0;
    bool pass_analysed = false;
    controller.events.OnBeforeAcqPlot = [&pass_analysed] { pass_analysed = true; };
    station.around_status_tick = [&](const std::function<void()>& tick) {
      pass_analysed = false;
      const Clock::time_point start = Clock::now();
      tick();
      if (!pass_analysed) return;
      const QImage plot = RenderPlotImage(controller.PrimaryRecord(), PlotView{}, PlotOptions{},
                                          kPlotWidth, kPlotHeight);
      benchmark::DoNotOptimize(plot.constBits());
      const double elapsed = MillisecondsSince(start);
      total_ms += elapsed;
      slowest_ms = std::max(slowest_ms, elapsed);
      ++passes;
    };
    controller.ClickStart();
    const bool completed =
        controller.Running() && station.RunUntil([&passes] { return passes >= kPasses; }, 600.0);
    if (!completed) {
      state.SkipWithError("the measurement did not deliver its passes");
      break;
    }
    controller.ClickStop();
    state.SetIterationTime(total_ms / passes / 1000.0);
    state.counters["max_ms"] = slowest_ms;
    state.counters["passes"] = passes;
  }
}
BENCHMARK(BM_LiveResponseTickWithRedraw)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vireon
