#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "ScratchFolder.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/engine/EngineBlocks.h"
#include "audio/settings/TimingSettings.h"
#include "measure/AcquisitionAnalysis.h"
#include "measure/AcquisitionSettings.h"
#include "measure/MeasurementController.h"
#include "measure/PassBuilder.h"
#include "measure/SimulatedStation.h"
#include "record/AnalysisContext.h"
#include "record/DataObj.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/MlsTables.h"
#include "stimulus/StimulusTable.h"

namespace vireon {
namespace {

constexpr int kRate = 48000;
constexpr std::int32_t kFftSize = 65536;
constexpr int kMlsOrder = 16;
constexpr int kAverages = 100;
constexpr double kFullScaleCounts = 8388608.0;
constexpr double kMlsLevel = 0.3;  // of full scale, as the generator plays it

// The records and state one running measurement analyses its passes into, prepared as the
// controller prepares them at a start.
struct RunningAnalysis {
  explicit RunningAnalysis(AnalysisSetup analysis_setup) : setup(std::move(analysis_setup)) {
    const AcquisitionSettings& acquisition = setup.acquisition;
    time_rec.FAvgType = static_cast<std::uint8_t>(acquisition.avg_type);
    time_rec.FAvgTarget = acquisition.avg_on ? acquisition.avg_target : 1;
    time_rec.FSpareInt = 1;
    time_rec.FWindowType = acquisition.window;
    PrepareFrequencyRecord(freq_rec, setup);
    context.FftLength = acquisition.fft_size;
    context.ConverterDelay = setup.converter_delay;
    context.AcquisitionType = setup.acq_type;
    context.AcquisitionWindow = acquisition.window;
    context.MeasurementRunning = true;
  }

  void Analyse(TDataMeas pass) {
    AnalysePass(std::move(pass), setup, time_rec, freq_rec, state, context);
  }

  AnalysisSetup setup;
  TDataMeas time_rec;
  TDataMeas freq_rec;
  PassState state;
  AnalysisContext context;
};

// One captured channel of `kFftSize` samples through the pass builder, as a microphone input.
TDataMeas PassOfCounts(std::vector<std::int32_t> counts) {
  Captures captures;
  captures.length = static_cast<std::int32_t>(counts.size());
  captures.a = std::move(counts);
  PassLayout layout;
  layout.length = kFftSize;
  layout.record_rate = kRate;
  PassLevels levels;
  return BuildPass(captures, captures.length, layout, ChannelScales{}, levels);
}

// A synchronous capture of the sequence through a wire at half gain: the engine's pre-roll puts
// the impulse d samples in, so the capture is the period rotated by d.
std::vector<std::int32_t> MlsCapture(std::int32_t converter_delay) {
  MlsRegister sequence = MlsRegister::ForOrder(kMlsOrder);
  sequence.SeedMLS();
  std::vector<int> bits(static_cast<std::size_t>(sequence.Period()));
  for (int& bit : bits) bit = sequence.NextMLSBit();
  const auto counts = static_cast<std::int32_t>(0.5 * kMlsLevel * kFullScaleCounts);
  const auto period = static_cast<std::int64_t>(bits.size());
  std::vector<std::int32_t> capture(kFftSize);
  for (std::int64_t i = 0; i < kFftSize; ++i) {
    const std::int64_t played = ((i - converter_delay) % period + period) % period;
    capture[static_cast<std::size_t>(i)] =
        bits[static_cast<std::size_t>(played)] ? counts : -counts;
  }
  return capture;
}

std::vector<std::int32_t> WhiteNoiseCapture() {
  std::mt19937_64 random(7);
  std::normal_distribution<double> noise(0.0, 0.1 * kFullScaleCounts);
  std::vector<std::int32_t> capture(kFftSize);
  for (std::int32_t& sample : capture) sample = static_cast<std::int32_t>(noise(random));
  return capture;
}

// Averaging and sizes as a start leaves them: the MLS order fixes both sizes, the spectra take
// the capture length from the FFT size.
AcquisitionSettings AveragedAcquisition() {
  AcquisitionSettings acquisition;
  acquisition.fft_size = kFftSize;
  acquisition.acq_size = kFftSize;
  acquisition.avg_target = kAverages;
  acquisition.avg_on = true;
  return acquisition;
}

double PeakIndex(const DataArray& values) {
  const auto peak = std::max_element(values.begin(), values.end(),
                                     [](double a, double b) { return std::abs(a) < std::abs(b); });
  return static_cast<double>(peak - values.begin());
}

AnalysisSetup SynchronousMlsSetup(const MlsTables& tables) {
  AnalysisSetup setup;
  setup.stim_code = 4;
  setup.acq_type = 8;  // Freq.Response
  setup.generator = GeneratorKind::kMlsSynchronous;
  setup.asynchronous = false;
  setup.converter_delay = TimingSettings{}.adc_lpf_delay;
  setup.acquisition = AveragedAcquisition();
  setup.mls_tables = &tables;
  setup.mls_order = kMlsOrder;
  return setup;
}

AnalysisSetup WhiteNoiseRtaSetup() {
  AnalysisSetup setup;
  setup.stim_code = 14;
  setup.acq_type = 6;  // RTA
  setup.generator = GeneratorKind::kWhiteNoise;
  setup.asynchronous = true;
  setup.converter_delay = TimingSettings{}.adc_lpf_delay;
  setup.acquisition = AveragedAcquisition();
  setup.acquisition.rta_resolution = 48;
  return setup;
}

// One pass of a synchronous MLS frequency response at 65536 points: impulse recovery, the
// coherent average of the time record and the conversion. Target: under 20 ms.
void BM_SynchronousMlsResponsePass(benchmark::State& state) {
  const MlsTables tables = GenerateMlsTables(MlsRegister::ForOrder(kMlsOrder));
  RunningAnalysis analysis(SynchronousMlsSetup(tables));
  const TDataMeas pass = PassOfCounts(MlsCapture(analysis.setup.converter_delay));
  for (auto _ : state) {
    analysis.Analyse(pass);
    benchmark::DoNotOptimize(analysis.freq_rec.FNumPoints);
  }
  state.counters["points"] = analysis.freq_rec.FNumPoints;
  // The recovered impulse of the wire must sit d samples in, or the pass took another path.
  state.counters["impulse_at"] = PeakIndex(analysis.time_rec.FFields[0].Values);
}
BENCHMARK(BM_SynchronousMlsResponsePass)->Unit(benchmark::kMillisecond);

// One pass of a 1/48-octave RTA of white noise at 65536 points, averaged in frequency.
// Target: under 20 ms.
void BM_WhiteNoiseRtaPass(benchmark::State& state) {
  RunningAnalysis analysis(WhiteNoiseRtaSetup());
  const TDataMeas pass = PassOfCounts(WhiteNoiseCapture());
  for (auto _ : state) {
    analysis.Analyse(pass);
    benchmark::DoNotOptimize(analysis.freq_rec.FNumPoints);
  }
  state.counters["bands"] = analysis.freq_rec.FNumPoints;
}
BENCHMARK(BM_WhiteNoiseRtaPass)->Unit(benchmark::kMillisecond);

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The wall time of a whole 100-average synchronous MLS frequency response (order 16) of the
// built-in bench, from the start click to the stop. Counters split it into the start (which
// builds the MLS tables, as from an empty data folder), the status ticks (the pass analysis), the
// engine's service and the rest (mostly the card simulating the bench).
void BM_SynchronousMlsMeasurement(benchmark::State& state) {
  for (auto _ : state) {
    const ScratchFolder folder("vireon-bench");
    SimulatedStation station(BuiltInBench(), folder.Path());
    station.stimulus.mls_length = kFftSize;
    double service_seconds = 0.0;
    double status_seconds = 0.0;
    station.around_service = [&](const std::function<void()>& service) {
      const Clock::time_point start = Clock::now();
      service();
      service_seconds += SecondsSince(start);
    };
    station.around_status_tick = [&](const std::function<void()>& tick) {
      const Clock::time_point start = Clock::now();
      tick();
      status_seconds += SecondsSince(start);
    };
    MeasurementController& controller = station.controller();
    bool stopped = false;
    controller.events.OnStopped = [&stopped] { stopped = true; };
    controller.SelectStimulus(4);
    controller.SelectAcquisition(8);
    controller.Acquisition().avg_on = true;
    controller.Acquisition().avg_target = kAverages;
    controller.Acquisition().auto_stop = AutoStopMode::kAvgs;

    const Clock::time_point start = Clock::now();
    controller.ClickStart();
    const double start_seconds = SecondsSince(start);
    const bool completed =
        controller.Running() && station.RunUntil([&stopped] { return stopped; }, 3600.0);
    const double wall = SecondsSince(start);
    state.SetIterationTime(wall);
    if (!completed || controller.FreqRec().FAvgCount != kAverages) {
      state.SkipWithError("the measurement did not complete its averages");
      break;
    }
    state.counters["simulated_s"] = station.ClockSeconds();
    state.counters["status_ticks_s"] = status_seconds;
    state.counters["service_s"] = service_seconds;
    state.counters["start_s"] = start_seconds;
    state.counters["card_and_rest_s"] = wall - start_seconds - status_seconds - service_seconds;
  }
}
BENCHMARK(BM_SynchronousMlsMeasurement)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vireon
