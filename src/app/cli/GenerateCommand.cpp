#include "app/cli/GenerateCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/ExitCodes.h"
#include "app/cli/PackedWav.h"
#include "app/cli/ProgramSettings.h"
#include "app/cli/SavedRecord.h"
#include "app/cli/StimulusChoice.h"
#include "audio/engine/StreamFormats.h"
#include "audio/settings/PeriodTimingSettings.h"
#include "audio/settings/TDeviceCal.h"
#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "config/Defaults.h"
#include "record/DataObj.h"
#include "record/DataTypes.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/MlsTables.h"
#include "stimulus/OutputGain.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/StimulusFrames.h"
#include "stimulus/StimulusGenerator.h"
#include "stimulus/WavStimulusLoader.h"

namespace vireon::cli {
namespace {

struct GenerateOptions {
  SettingsOptions settings;
  int stim_code = 0;
  std::optional<int> acq_type;
  int rate = 48000;
  int bits = 24;
  int periods = 1;
  std::string out;
};

std::int32_t UnpackSample(const std::vector<std::uint8_t>& bytes, std::size_t offset, int bits) {
  if (bits == 16) {
    return static_cast<std::int16_t>(bytes[offset] | (bytes[offset + 1] << 8));
  }
  const std::uint32_t raw = bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16);
  return static_cast<std::int32_t>(raw << 8) >> 8;
}

TDataMeas OutputRecord(const std::vector<std::uint8_t>& frames, int bits, int rate) {
  TDataMeas record;
  const int frame_bytes = FrameBytes(bits);
  const int sample_bytes = frame_bytes / 2;
  const double full_scale = FullScale(bits);
  record.FDataType = kTimeDomain;
  record.FSampleRate = rate;
  record.FSampleBits = bits;
  record.FNumFields = 2;
  record.FNumPoints = static_cast<std::int32_t>(frames.size() / frame_bytes);
  record.AllocColumns();
  for (std::size_t i = 0; i < static_cast<std::size_t>(record.FNumPoints); ++i) {
    for (std::size_t c = 0; c < 2; ++c) {
      record.FFields[c].Values[i] =
          UnpackSample(frames, i * frame_bytes + c * sample_bytes, bits) / full_scale;
    }
  }
  record.FFields[0].Name = "Output 1";
  record.FFields[1].Name = "Output 2";
  record.FTraceA = 0;
  record.FTraceB = 1;
  record.FXUnits = "sec";
  record.FStartTime = 0.0;
  record.FEndX = record.FNumPoints > 0 ? (record.FNumPoints - 1) / static_cast<double>(rate) : 0.0;
  return record;
}

int Generate(const GenerateOptions& options) {
  const StimulusChoice choice = ChooseStimulus(options.stim_code, options.acq_type);
  ProgramSettings settings = LoadProgramSettings(options.settings);
  StimulusSelection selection;
  selection.stim_code = options.stim_code;
  selection.acq_type = choice.acq_type;
  selection.play_rate = options.rate;
  selection.record_rate = options.rate;
  selection.play_bits = options.bits;
  selection.gain1 = OutputGain({.level_db = settings.stimulus.output1_db});
  selection.gain2 = OutputGain({.level_db = settings.stimulus.output2_db});
  // The converter latencies of uncalibrated devices and half a play block, as the engine plays
  // the asynchronous chirp's pre-delay.
  const TDeviceCal uncalibrated;
  selection.async_chirp_delay =
      2 * uncalibrated.latency +
      FramesPerBlock(options.rate, options.bits, settings.timing.buffer_length_s) / 2;
  selection.period_length = StimulusRecordLength(*choice.type, settings.stimulus, selection,
                                                 settings.stimulus.mls_length);

  StimulusGenerator generator;
  Notices notices;
  if (!generator.SelectGenerator(selection, settings.stimulus, {}, WavStimulusLoader(), notices)) {
    for (const std::string& text : notices.Texts()) std::fprintf(stderr, "%s\n", text.c_str());
    return kExitFailed;
  }
  if (IsMls(choice.type->kind)) {
    // The engine builds the recovery tables before it plays, using the cache when it can.
    MlsTableStore tables(DataDirectory(Environment::Process()));
    if (!tables.BuildMLSTables(generator.MlsOrder())) {
      throw VireonError("The MLS tables of order " + std::to_string(generator.MlsOrder()) +
                        " could not be built");
    }
  }
  generator.SetPolarity(selection.polarity_inverted);

  const PeriodTiming timing = PeriodTimingFromSettings(
      settings.timing, settings.stimulus.inter_silence_s, options.rate, options.rate, false);
  const std::vector<std::uint8_t> frames =
      GenerateStimulusFrames(generator, selection, timing, options.periods);

  if (FoldAsciiCase(std::filesystem::path(options.out).extension().string()) == ".wav") {
    SavePackedStereoWav(options.out, frames, options.bits, options.rate);
  } else {
    SaveRecordOrThrow(options.out, OutputRecord(frames, options.bits, options.rate));
  }
  return kExitSuccess;
}

}  // namespace

std::function<int()> AddGenerateCommand(CLI::App& app) {
  auto options = std::make_shared<GenerateOptions>();
  CLI::App* command = app.add_subcommand(
      "generate", "Write the stimulus frames the engine plays, as a WAV file or a time record");
  AddSettingsOptions(*command, options->settings);
  AddStimulusOptions(*command, options->stim_code, options->acq_type);
  command->add_option("--rate", options->rate, "Play rate, Hz")->check(CLI::Range(1000, 768000));
  command->add_option("--bits", options->bits, "Play resolution, 16 or 24")
      ->check(CLI::IsMember({16, 24}));
  command->add_option("--periods", options->periods, "Stimulus periods (default 1)")
      ->check(CLI::Range(1, 1000));
  command->add_option("--out", options->out, "File to write: .wav, or a record format")->required();

  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    return Generate(*options);
  };
}

}  // namespace vireon::cli
