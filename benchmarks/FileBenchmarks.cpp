#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "files/FileContext.h"
#include "files/FileIO_Data.h"
#include "files/WavFile.h"
#include "files/WavFileWrite.h"

namespace vireon {
namespace {

std::filesystem::path BenchmarkFile(const std::string& name) {
  return std::filesystem::temp_directory_path() /
         ("vireon-bench-" + std::to_string(::getpid()) + "-" + name);
}

TDataMeas TwoColumnRecord(std::int32_t points) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FSampleRate = 192000;
  record.FNumFields = 2;
  record.FNumPoints = points;
  record.AllocColumns();
  for (std::int32_t i = 0; i < points; ++i) {
    record.FFields[0].Values[static_cast<std::size_t>(i)] = std::sin(0.001 * i);
    record.FFields[1].Values[static_cast<std::size_t>(i)] = 0.5 * std::cos(0.0007 * i);
  }
  return record;
}

void BM_SaveDataFile(benchmark::State& state) {
  const TDataMeas record = TwoColumnRecord(static_cast<std::int32_t>(state.range(0)));
  const auto file = BenchmarkFile("save.vr2");
  CollectedMessages messages;
  for (auto _ : state) benchmark::DoNotOptimize(SaveDataFile(file, record, false, messages));
  std::filesystem::remove(file);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveDataFile)->Arg(1 << 20)->Arg(1 << 22)->Unit(benchmark::kMillisecond);

void BM_LoadDataFile(benchmark::State& state) {
  const auto file = BenchmarkFile("load.vr2");
  CollectedMessages messages;
  SaveDataFile(file, TwoColumnRecord(static_cast<std::int32_t>(state.range(0))), false, messages);
  const FileContext context;
  for (auto _ : state) {
    TDataMeas record;
    benchmark::DoNotOptimize(LoadDataFile(file, record, false, false, context, messages));
  }
  std::filesystem::remove(file);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadDataFile)->Arg(1 << 20)->Arg(1 << 22)->Unit(benchmark::kMillisecond);

// A stereo 24-bit 192 kHz file of the given seconds.
void BM_LoadWavStereo24(benchmark::State& state) {
  const auto file = BenchmarkFile("load.wav");
  CollectedMessages messages;
  SaveWavData(file, TwoColumnRecord(static_cast<std::int32_t>(192000 * state.range(0))), 24, 1.0,
              WavChannelChoice::kColumn0, true, messages);
  const FileContext context;
  for (auto _ : state) {
    TDataMeas record;
    benchmark::DoNotOptimize(LoadWavData(file, record, context, messages));
  }
  std::filesystem::remove(file);
  state.SetItemsProcessed(state.iterations() * state.range(0) * 192000);
}
BENCHMARK(BM_LoadWavStereo24)->Arg(15)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vireon
