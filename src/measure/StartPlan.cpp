#include "measure/StartPlan.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "audio/engine/StreamFormats.h"
#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/InputDesignation.h"
#include "audio/settings/PeriodTimingSettings.h"
#include "audio/settings/TimingSettings.h"
#include "common/VireonError.h"
#include "measure/AcquisitionTypes.h"
#include "measure/ChirpDeconvolution.h"
#include "measure/CodeSets.h"
#include "measure/SyncStartCheck.h"
#include "stimulus/CfgStim.h"
#include "stimulus/ChirpGenerator.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/SteppedTones.h"
#include "stimulus/StimulusPeriod.h"

namespace vireon {
namespace {

constexpr int kFallbackMlsLength = 4096;

// Start and stop in ascending order, at least 0.01 Hz apart.
void OrderChirpLimits(ChirpSettings& chirp) {
  if (chirp.start_hz > chirp.stop_hz) std::swap(chirp.start_hz, chirp.stop_hz);
  if (chirp.start_hz == chirp.stop_hz) chirp.stop_hz += 0.01;
}

InputRole RoleOf(int list_index, bool digital) {
  if (digital) return InputRole::kDigital;
  return list_index <= 1 ? InputRole::kProbe : InputRole::kMicrophoneOrLine;
}

std::uint8_t InputKindOf(int list_index) {
  return static_cast<std::uint8_t>(std::max(CalibrationSlotOf(list_index), 0));
}

// The synchronous engine plays and records on one device, at a rate usable for it.
bool CheckSynchronous(AudioInterfaceSettings& audio, Notices& notices) {
  const std::string& play = audio.DeviceName(WaveDirection::kPlay);
  const std::string& record = audio.DeviceName(WaveDirection::kRecord);
  const bool same_device = play == record || audio.MatchingRecordDevice(play) == record;
  const SyncStartResult check =
      CheckSynchronousStart(same_device, audio.Settings().RecRate,
                            SyncUsableRates(audio.DeviceCal(WaveDirection::kPlay)));
  if (check.result != kSyncStartOk) {
    notices.Notice(std::string(SyncStartNotice(check.result)));
    return false;
  }
  audio.SelectRate(check.rate, WaveDirection::kPlay);
  audio.SelectRate(check.rate, WaveDirection::kRecord);
  return true;
}

}  // namespace

std::optional<StartPlan> PlanStart(const StartPlanInputs& inputs, Notices& notices,
                                   const std::function<void(const std::string&)>& show_message) {
  AudioInterfaceSettings& audio = inputs.audio;
  if (!audio.HasDevices()) {
    notices.Notice("No usable sound hardware found!");
    return std::nullopt;
  }
  const StimulusType* type = FindStimulus(inputs.stim_code);
  if (type == nullptr) {
    notices.Notice("Error: invalid stimulus type");
    return std::nullopt;
  }
  const bool asynchronous = type->engine == EngineKind::kAsynchronous;
  if (!asynchronous && !CheckSynchronous(audio, notices)) return std::nullopt;

  StartPlan plan;
  AnalysisSetup& setup = plan.setup;
  AcquisitionSettings& acquisition = setup.acquisition;
  acquisition = inputs.acquisition;
  const TADDASettings& formats = audio.Settings();
  setup.stim_code = inputs.stim_code;
  setup.acq_type = inputs.acq_type;
  setup.generator = type->kind;
  setup.asynchronous = asynchronous;
  setup.play_rate = formats.PlayRate;
  setup.record_rate = formats.RecRate;
  setup.converter_delay = inputs.timing.adc_lpf_delay;
  setup.output1_level_db = inputs.stimulus.output1_db;
  plan.play_bits = formats.PlayBits;
  plan.record_bits = formats.RecBits;

  const std::int32_t output_latency = audio.DeviceCal(WaveDirection::kPlay).latency;
  const std::int32_t input_latency = audio.DeviceCal(WaveDirection::kRecord).latency;
  const std::int32_t pre_roll =
      asynchronous && !OneOf(inputs.stim_code, {1, 2})
          ? AsynchronousPreRoll(setup.record_rate, setup.play_rate, output_latency, input_latency)
          : 0;
  const std::int32_t play_block =
      FramesPerBlock(setup.play_rate, plan.play_bits, inputs.timing.buffer_length_s);

  StimulusSelection& selection = plan.selection;
  selection.stim_code = inputs.stim_code;
  selection.acq_type = inputs.acq_type;
  selection.play_rate = setup.play_rate;
  selection.record_rate = setup.record_rate;
  selection.play_bits = plan.play_bits;
  selection.gain1 = formats.Gain1;
  selection.gain2 = formats.Gain2;
  selection.polarity_inverted = audio.DeviceCal(WaveDirection::kPlay).inverts;
  selection.async_chirp_delay = output_latency + input_latency + play_block / 2;

  if (type->kind == GeneratorKind::kChirp) {
    OrderChirpLimits(inputs.stimulus.chirp);
    const ChirpSweepParameters sweep =
        ChirpSweepFor(inputs.stimulus.chirp, inputs.acq_type, setup.play_rate, setup.record_rate);
    const double k = OneOf(inputs.acq_type, {16, 17}) ? 2.2 : 1.2;
    const std::int32_t length = ChirpCaptureLength(setup.record_rate, setup.play_rate, sweep.length,
                                                   k, acquisition.fft_size);
    try {
      setup.chirp =
          PrepareChirpSpectra(BuildChirpArray(sweep, sweep.length), length, setup.converter_delay);
    } catch (const VireonError& error) {
      show_message(error.what());
      return std::nullopt;
    }
    setup.chirp_octaves_per_second = ChirpSweep(sweep).OctavesPerSecond();
    if (OneOf(inputs.acq_type, {3, 4, 5, 8, 13, 16, 17, 20})) acquisition.acq_size = length;
  }

  if (IsMls(type->kind)) {
    MlsLength mls = SetMLSOrder(inputs.stimulus.mls_length);
    if (!inputs.mls_store.BuildMLSTables(mls.order)) {
      notices.Notice("Couldn't Generate Permutation Table for that MLS size");
      mls = SetMLSOrder(kFallbackMlsLength);
      inputs.stimulus.mls_length = kFallbackMlsLength;
      inputs.mls_store.BuildMLSTables(mls.order);
    }
    setup.mls_order = mls.order;
    acquisition.fft_size = std::int32_t{1} << mls.order;
    acquisition.acq_size = acquisition.fft_size;
  }

  if (inputs.stim_code >= 9 && inputs.stim_code <= 11) {
    NextStep(inputs.stimulus.stepped, 0, inputs.stim_code == 11, setup.play_rate, setup.record_rate,
             plan.tones);
  } else {
    plan.tones = inputs.tones;
  }
  selection.period_length =
      StimulusRecordLength(*type, inputs.stimulus, selection, acquisition.acq_size);

  if (asynchronous) {
    plan.capture_length = pre_roll + acquisition.acq_size;
  } else {
    plan.sync.timing =
        PeriodTimingFromSettings(inputs.timing, inputs.stimulus.inter_silence_s, setup.play_rate,
                                 setup.record_rate, inputs.stimulus.invert_alternate);
    plan.sync.latency_s = inputs.timing.latency_48k_s;
    plan.sync.play_polarity_inverted = selection.polarity_inverted;
    plan.sync.record_polarity_inverted = audio.DeviceCal(WaveDirection::kRecord).inverts;
    plan.sync.capture_length = acquisition.acq_size;
    plan.capture_length = acquisition.acq_size;
  }
  plan.engine = {.play_device = audio.StreamDeviceNumber(WaveDirection::kPlay),
                 .record_device = audio.StreamDeviceNumber(WaveDirection::kRecord),
                 .block_seconds = inputs.timing.buffer_length_s,
                 .stabilizing_ms = audio.StabilizingTimeMs(),
                 .servicing_mode = 1,
                 .data_directory = inputs.data_directory};

  plan.layout = {
      .offset = pre_roll,
      .length = acquisition.acq_size,
      .two_channels = asynchronous && NeedsSecondInput(inputs.stim_code, inputs.acq_type),
      .record_rate = setup.record_rate,
      .record_bits = plan.record_bits,
      .skew = {},
      .input_kinds = {InputKindOf(formats.InSel1), InputKindOf(formats.InSel2)}};
  const bool digital_in = audio.UsesDigital(WaveDirection::kRecord);
  plan.scales = {.a = UncalibratedScale(RoleOf(formats.InSel1, digital_in)),
                 .b = UncalibratedScale(RoleOf(formats.InSel2, digital_in))};
  return plan;
}

}  // namespace vireon
