#include "app/cli/CaptureCommand.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/cli/DeviceChoice.h"
#include "app/cli/ExitCodes.h"
#include "app/cli/ProgramSettings.h"
#include "app/cli/SampledRecord.h"
#include "app/cli/SavedRecord.h"
#include "app/cli/SettingsOptions.h"
#include "app/cli/StimulusChoice.h"
#include "audio/devices/portaudio/AudioDevices.h"
#include "audio/engine/FastPump.h"
#include "audio/engine/PumpThread.h"
#include "audio/engine/StreamFormats.h"
#include "audio/engine/StreamingEngine.h"
#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/PeriodTimingSettings.h"
#include "audio/sync/SyncBlockRoutines.h"
#include "common/Notices.h"
#include "common/VireonError.h"
#include "config/Defaults.h"
#include "stimulus/MlsTables.h"
#include "stimulus/StimulusFrames.h"
#include "stimulus/StimulusGenerator.h"
#include "stimulus/StimulusPeriod.h"
#include "stimulus/WavStimulusLoader.h"

namespace vireon::cli {
namespace {

constexpr double kCaptureScale = 8388608.0;

struct CaptureOptions {
  SettingsOptions settings;
  int stim_code = 0;
  std::optional<int> acq_type;
  DeviceOptions devices;
  int length = 4096;
  bool json = false;
  std::string out;
};

// Frames within which one capture must be complete: the lead-in, the pipeline of blocks, the
// sync search and the round trip, the capture itself, twice over.
std::int64_t FrameBudget(const StreamLayout& layout, std::int32_t length, std::int32_t extra) {
  const std::int64_t blocks =
      8 * std::max(layout.play_frames_per_block, layout.record_frames_per_block);
  return 2 * (layout.lead_in + blocks + length + extra) + layout.play_rate;
}

struct RunResult {
  bool complete;
  bool sync_failed;
};

RunResult RunUntilCaptured(StreamingEngine& engine, const AudioDevices& devices, bool on_card,
                           int rate, std::int64_t budget_frames, int pump_priority) {
  EngineStatus& status = engine.Status();
  const auto finished = [&] {
    return status.capture_complete.load(std::memory_order_acquire) ||
           status.stop_request.load(std::memory_order_acquire) ||
           status.sync_failures.load(std::memory_order_acquire) > 0;
  };
  if (on_card) {
    FastPump pump(*devices.simulated_card, rate, [&] { engine.ServiceTick(); }, {});
    while (!finished() && pump.Steps() * pump.FramesPerStep() < budget_frames) pump.Step();
  } else {
    const PumpThread pump([&] { engine.ServiceTick(); }, pump_priority);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(budget_frames * 1000 / rate);
    while (!finished() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  return {status.capture_complete.load(std::memory_order_acquire),
          status.sync_failures.load(std::memory_order_acquire) > 0};
}

void PrintStatus(bool json, bool sync_good, bool underrun, bool overrun) {
  if (json) {
    const nlohmann::ordered_json line = {
        {"syncGood", sync_good}, {"underrun", underrun}, {"overrun", overrun}};
    std::printf("%s\n", line.dump().c_str());
  } else {
    std::printf("syncGood=%d underrun=%d overrun=%d\n", sync_good, underrun, overrun);
  }
}

int Capture(const CaptureOptions& options) {
  const StimulusChoice choice = ChooseStimulus(options.stim_code, options.acq_type);
  ProgramSettings settings = LoadProgramSettings(options.settings);
  const Environment environment = Environment::Process();
  const MeasuringDevices opened = OpenMeasuringDevices(
      options.devices, settings.soundcards, environment.Get("VIREON_NO_SIMULATED_CARD") == "1");
  const AudioDevices& devices = opened.devices;
  const DeviceChoice& names = opened.names;
  WaveDriver& driver = *devices.catalog;
  const int play_device = opened.play_device;
  const int record_device = opened.record_device;
  const bool on_card = opened.on_card;
  const WaveFormat format{options.devices.rate, options.devices.bits};
  if (driver.QueryFormat(WaveDirection::kPlay, play_device, format) != kMmNoError ||
      driver.QueryFormat(WaveDirection::kRecord, record_device, format) != kMmNoError) {
    throw VireonError("Selected sample rate or resolution is not supported by your device");
  }

  // The devices' calibration and the output gains, as the audio interface settings keep them.
  const std::string data_directory = DataDirectory(environment);
  AudioInterfaceSettings audio(driver, data_directory, {});
  audio.ListWavDevices();
  audio.SelectDAC(names.play);
  audio.SelectADC(names.record);
  audio.SetOutputLevels(OutputLevelsOf(settings.stimulus));

  const std::int32_t play_block =
      FramesPerBlock(options.devices.rate, options.devices.bits, settings.timing.buffer_length_s);
  StimulusSelection selection;
  selection.stim_code = options.stim_code;
  selection.acq_type = choice.acq_type;
  selection.play_rate = selection.record_rate = options.devices.rate;
  selection.play_bits = options.devices.bits;
  selection.gain1 = audio.Settings().Gain1;
  selection.gain2 = audio.Settings().Gain2;
  selection.polarity_inverted = audio.DeviceCal(WaveDirection::kPlay).inverts;
  selection.period_length =
      StimulusRecordLength(*choice.type, settings.stimulus, selection, options.length);
  selection.async_chirp_delay = audio.DeviceCal(WaveDirection::kPlay).latency +
                                audio.DeviceCal(WaveDirection::kRecord).latency + play_block / 2;

  StimulusGenerator generator;
  Notices notices;
  if (!generator.SelectGenerator(selection, settings.stimulus, {}, WavStimulusLoader(), notices)) {
    for (const std::string& text : notices.Texts()) std::fprintf(stderr, "%s\n", text.c_str());
    return kExitFailed;
  }
  generator.SetPolarity(selection.polarity_inverted);

  StreamingEngine engine(
      driver, [](const std::string& text) { PrintMessage(text); },
      [&devices] { return devices.DriverErrorText(); });
  engine.Configure({.play_device = play_device,
                    .record_device = record_device,
                    .block_seconds = settings.timing.buffer_length_s,
                    .stabilizing_ms = audio.StabilizingTimeMs(),
                    .servicing_mode = 1,
                    .data_directory = data_directory});
  engine.SetRecordFormat(options.devices.rate, options.devices.bits);
  engine.SetPlayFormat(options.devices.rate, options.devices.bits);
  engine.CaptureBuffers().length = options.length;

  const bool synchronous = choice.type->engine == EngineKind::kSynchronous;
  const MlsTables sync_tables = GenerateMlsTables(MlsRegister::SyncCode());
  SyncEngineSettings sync;
  std::int32_t extra_frames = selection.async_chirp_delay;
  if (synchronous) {
    sync.timing = PeriodTimingFromSettings(settings.timing, settings.stimulus.inter_silence_s,
                                           options.devices.rate, options.devices.rate, false);
    sync.latency_s = settings.timing.latency_48k_s;
    sync.play_polarity_inverted = selection.polarity_inverted;
    sync.record_polarity_inverted = audio.DeviceCal(WaveDirection::kRecord).inverts;
    sync.capture_length = options.length;
    extra_frames = static_cast<std::int32_t>(SyncCaptureSize(sync)) +
                   PeriodLeadFrames(generator, sync.timing) + sync.timing.inter_silence +
                   sync.timing.line_period;
  }
  const bool started =
      synchronous
          ? engine.StartSynchronous(MakeSyncBlockRoutines(generator, selection, sync, sync_tables))
          : engine.StartAsynchronous(generator);
  if (!started) return kExitFailed;

  const std::int64_t budget = FrameBudget(engine.Layout(), options.length, extra_frames) +
                              (on_card ? devices.simulated_card->bench().latency : 0);
  const RunResult run = RunUntilCaptured(engine, devices, on_card, options.devices.rate, budget,
                                         settings.timing.timer_thread_priority);
  const EngineStatus& status = engine.Status();
  // Read before the stop, whose own returns of the queued buffers are no xruns.
  const bool underrun = status.playback_underrun.load(std::memory_order_acquire);
  const bool overrun = status.record_overrun.load(std::memory_order_acquire);
  engine.StopStreaming();
  const bool sync_good = status.sync_good.load(std::memory_order_acquire);

  // Capture A, and capture B of the asynchronous engine, as sample / 8388608.
  const Captures& captures = engine.CaptureBuffers();
  const SampleColumn columns[] = {{"Input 1", captures.a}, {"Input 2", captures.b}};
  SaveRecordOrThrow(options.out,
                    SampledRecord(std::span(columns, synchronous ? 1 : 2), captures.length,
                                  kCaptureScale, options.devices.rate, options.devices.bits));
  PrintStatus(options.json, sync_good, underrun, overrun);
  if (run.sync_failed) std::fprintf(stderr, "The sync code did not come back on input 2\n");
  if (underrun || overrun) std::fprintf(stderr, "SpeedError!!\n");
  if (!run.complete && !run.sync_failed && !underrun && !overrun) {
    std::fprintf(stderr, "The capture did not complete in time\n");
  }
  return run.complete && !underrun && !overrun ? kExitSuccess : kExitFailed;
}

}  // namespace

std::function<int()> AddCaptureCommand(CLI::App& app) {
  auto options = std::make_shared<CaptureOptions>();
  CLI::App* command = app.add_subcommand(
      "capture", "Take one capture as the engine does and save it as a time record");
  AddSettingsOptions(*command, options->settings);
  AddStimulusOptions(*command, options->stim_code, options->acq_type);
  AddDeviceOptions(*command, options->devices);
  command->add_option("--length", options->length, "Capture length in samples (default 4096)")
      ->check(CLI::Range(16, 1 << 24));
  command->add_flag("--json", options->json, "Print the status line as a JSON object");
  command->add_option("--out", options->out, "Time record to write")->required();
  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    return Capture(*options);
  };
}

}  // namespace vireon::cli
