#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "common/Notices.h"
#include "stimulus/MlsRecovery.h"
#include "stimulus/MlsTables.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/StimulusGenerator.h"
#include "stimulus/StimulusTable.h"

namespace vireon {
namespace {

constexpr int kRate = 192000;
constexpr std::int32_t kBlockFrames = 32768;

// Every stimulus filling stereo 24-bit blocks at 192 kHz; "realtime" is seconds of stimulus per
// second of work on one core.
void BM_FillStimulus(benchmark::State& state) {
  const StimulusType& type = StimulusTypes()[static_cast<std::size_t>(state.range(0))];
  state.SetLabel(std::string(type.name));
  StimulusSettings settings;
  settings.envelope = {1, 20000};
  settings.wav_file_name = "bench.wav";
  ToneLists tones = DefaultToneLists();
  const WavLoader loader = [](const std::string&) -> std::optional<WavSamples> {
    WavSamples samples;
    for (int n = 0; n < kRate; ++n) samples.channel1.push_back(std::sin(0.01 * n));
    samples.channel2 = samples.channel1;
    return samples;
  };
  StimulusSelection selection;
  selection.stim_code = type.code;
  selection.acq_type = type.code == 16 ? 22 : (type.code == 17 ? 3 : 0);
  selection.play_rate = selection.record_rate = kRate;
  selection.play_bits = 24;
  selection.period_length = 1 << 18;
  selection.wavelet_frequency_hz = 100.0;
  StimulusGenerator generator;
  Notices notices;
  if (!generator.SelectGenerator(selection, settings, tones, loader, notices)) {
    state.SkipWithError("start failed");
    return;
  }
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kBlockFrames) * FrameBytes(24));
  for (auto _ : state) {
    generator.FillStimulus(buffer, 0, kBlockFrames - 1);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.counters["realtime"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBlockFrames / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FillStimulus)->DenseRange(0, 18)->Unit(benchmark::kMicrosecond);

void BM_RecoverMlsImpulseOrder18(benchmark::State& state) {
  const MlsTables tables = GenerateMlsTables(MlsRegister::ForOrder(18));
  std::vector<double> recorded(tables.input_permutation.size());
  for (std::size_t k = 0; k < recorded.size(); ++k) recorded[k] = std::sin(0.001 * k);
  for (auto _ : state) {
    std::vector<double> samples = recorded;
    benchmark::DoNotOptimize(RecoverMLSImpulse(samples, tables, 18));
  }
}
BENCHMARK(BM_RecoverMlsImpulseOrder18)->Unit(benchmark::kMillisecond);

void BM_GenerateMlsTablesOrder18(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(GenerateMlsTables(MlsRegister::ForOrder(18)));
  }
}
BENCHMARK(BM_GenerateMlsTablesOrder18)->Unit(benchmark::kMillisecond);

// Reading and checking the order-18 cache file, as every later start does.
void BM_ReadMlsCacheOrder18(benchmark::State& state) {
  const auto folder = std::filesystem::temp_directory_path() / "vireon-mls-benchmark";
  std::filesystem::create_directories(folder);
  MlsTableStore(folder).BuildMLSTables(18);
  for (auto _ : state) {
    MlsTableStore store(folder);
    benchmark::DoNotOptimize(store.BuildMLSTables(18));
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadMlsCacheOrder18)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vireon
