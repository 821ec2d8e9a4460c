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
#include "app/cli/SampledRecord.h"
#include "app/cli/SavedRecord.h"
#include "app/cli/StimulusChoice.h"
#include "audio/engine/InputFrames.h"
#include "audio/engine/StreamFormats.h"
#include "audio/settings/PeriodTimingSettings.h"
#include "audio/settings/TDeviceCal.h"
#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "config/Defaults.h"
#include "measure/AcquisitionFormats.h"
#include "record/DataObj.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/MlsTables.h"
#include "stimulus/OutputGain.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/StimulusFrames.h"
#include "stimulus/StimulusGenerator.h"
#include "stimulus/StimulusPeriod.h"
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

// The played frames as a time record, sample / full scale of the play format.
TDataMeas OutputRecord(const std::vector<std::uint8_t>& frames, int bits, int rate) {
  const auto length = static_cast<std::int32_t>(frames.size() / FrameBytes(bits));
  std::vector<std::int32_t> output1(static_cast<std::size_t>(length));
  std::vector<std::int32_t> output2(output1.size());
  for (std::int32_t i = 0; i < length; ++i) {
    const InputFrame frame = ReadInputFrame(frames, bits, i);
    output1[static_cast<std::size_t>(i)] = frame.left;
    output2[static_cast<std::size_t>(i)] = frame.right;
  }
  // The frames read on the 24-bit scale: 16-bit samples come ×256.
  const double full_scale = FullScale(bits) * (bits == 16 ? 256.0 : 1.0);
  const SampleColumn columns[] = {{"Output 1", output1}, {"Output 2", output2}};
  return SampledRecord(columns, length, full_scale, rate, bits);
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
  // Other stimuli repeat at the acquisition's record length, as the type's settings keep it.
  AcquisitionSettings acquisition = settings.acquisition;
  settings.acquisition_formats.Apply(choice.acq_type, acquisition);
  ForceAcquisitionRules(options.stim_code, choice.acq_type, acquisition);
  selection.period_length =
      StimulusRecordLength(*choice.type, settings.stimulus, selection, acquisition.acq_size);

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

  const PeriodTiming timing =
      PeriodTimingFromSettings(settings.timing, settings.stimulus.inter_silence_s, options.rate,
                               options.rate, settings.stimulus.invert_alternate);
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
