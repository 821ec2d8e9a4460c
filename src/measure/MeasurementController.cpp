#include "measure/MeasurementController.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "audio/engine/StreamingEngine.h"
#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/InputDesignation.h"
#include "audio/settings/PeriodTimingSettings.h"
#include "audio/settings/TimingSettings.h"
#include "audio/sync/SyncBlockRoutines.h"
#include "common/DateTime.h"
#include "measure/AcquisitionTypes.h"
#include "measure/AnalysisWindow.h"
#include "measure/SpectrumHold.h"
#include "measure/StartPlan.h"
#include "measure/TriggerSetup.h"
#include "record/Averaging.h"
#include "stimulus/AcquisitionCompatibility.h"
#include "stimulus/CfgStim.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/SteppedTones.h"
#include "stimulus/StimulusTable.h"
#include "stimulus/WavStimulusLoader.h"

namespace vireon {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr std::string_view kNoAudioSupport = "No Audio Inteface Support (?)";
constexpr std::string_view kNeedWavFile = "Need to have a WAV file loaded...";

// "yyyy-mm-dd hh:nn:ss" of a date-time in days since 30 Dec 1899.
}  // namespace

MeasurementController::MeasurementController(MeasurementContext context, ControllerPorts ports)
    : context_(context),
      ports_(std::move(ports)),
      mls_store_(context.data_directory),
      sync_tables_(std::make_unique<MlsTables>(GenerateMlsTables(MlsRegister::SyncCode()))) {}

MeasurementController::~MeasurementController() {
  if (running_) StopAcqManual();
}

void MeasurementController::SelectStimulus(int stim_code) {
  const StimulusType* type = FindStimulus(stim_code);
  if (type == nullptr || running_) return;
  stim_code_ = stim_code;
  acquisition_.window =
      type->engine == EngineKind::kSynchronous ? extras_.window_sync : extras_.window_async;
  if (IsAcquisitionCompatible(stim_code_, acq_type_)) {
    ForceAcquisitionRules(stim_code_, acq_type_, acquisition_);
    return;
  }
  const auto remembered = last_acq_of_stimulus_.find(stim_code_);
  if (remembered != last_acq_of_stimulus_.end() &&
      IsAcquisitionCompatible(stim_code_, remembered->second)) {
    ChangeAcquisition(remembered->second);
  } else if (const std::optional<int> first = FirstCompatibleAcquisition(stim_code_)) {
    ChangeAcquisition(*first);
  }
}

bool MeasurementController::SelectAcquisition(int acq_type) {
  const int type = acq_type == kAcquisitionItemCount - 1 ? kAcqCustom : acq_type;
  if (running_ || !IsAcquisitionCompatible(stim_code_, type)) return false;
  ChangeAcquisition(type);
  last_acq_of_stimulus_[stim_code_] = type;
  return true;
}

bool MeasurementController::FindWindowEdges() {
  if (running_ || time_rec_.FNumPoints < 2) return false;
  const WindowEdgesFound found = FindAnalysisWindowEdges(time_rec_);
  pass_state_.window_edges = std::pair(found.start, found.end);
  SetAnalysisWindow(time_rec_, found.start, found.end, false);
  return true;
}

void MeasurementController::RestartAverages() {
  time_rec_.FAvgCount = 0;
  freq_rec_.FAvgCount = 0;
  RestartSpectrumHold(freq_rec_);
  first_pass_ = true;
}

void MeasurementController::StoreForConfiguration() {
  formats_.Store(acq_type_, acquisition_);
  const auto stimuli = StimulusTypes();
  const auto chosen =
      std::find_if(stimuli.begin(), stimuli.end(),
                   [this](const StimulusType& type) { return type.code == stim_code_; });
  if (chosen != stimuli.end()) extras_.stimulus_item = static_cast<int>(chosen - stimuli.begin());
  extras_.acquisition_item = ItemOfAcqType(acq_type_);
}

void MeasurementController::ApplyConfiguration() {
  const auto stimuli = StimulusTypes();
  if (running_ || extras_.stimulus_item < 0 ||
      extras_.stimulus_item >= static_cast<int>(stimuli.size())) {
    return;
  }
  const StimulusType& stimulus = stimuli[extras_.stimulus_item];
  stim_code_ = stimulus.code;
  acquisition_.window =
      stimulus.engine == EngineKind::kSynchronous ? extras_.window_sync : extras_.window_async;
  const int acq_type = AcqTypeOfItem(extras_.acquisition_item);
  if (IsAcquisitionCompatible(stim_code_, acq_type)) {
    acq_type_ = acq_type;
  } else if (const std::optional<int> first = FirstCompatibleAcquisition(stim_code_)) {
    acq_type_ = *first;
  }
  formats_.Apply(acq_type_, acquisition_);
  ForceAcquisitionRules(stim_code_, acq_type_, acquisition_);
}

void MeasurementController::ChangeAcquisition(int acq_type) {
  formats_.Store(acq_type_, acquisition_);
  acq_type_ = acq_type;
  formats_.Apply(acq_type_, acquisition_);
  ForceAcquisitionRules(stim_code_, acq_type_, acquisition_);
}

void MeasurementController::SetFftSize(std::int64_t size) {
  acquisition_.fft_size = LimitFftSize(size);
  const StimulusType* type = FindStimulus(stim_code_);
  const bool keeps_larger =
      type != nullptr && (type->engine == EngineKind::kSynchronous || stim_code_ == 0);
  const bool stepped_response =
      stim_code_ >= 9 && stim_code_ <= 11 && acq_type_ >= 8 && acq_type_ <= 10;
  if (keeps_larger) {
    acquisition_.acq_size = std::max(acquisition_.acq_size, acquisition_.fft_size);
  } else if (!(acq_type_ == 0 || acq_type_ == 1 || acq_type_ == 14 || acq_type_ == 15 ||
               stepped_response)) {
    acquisition_.acq_size = acquisition_.fft_size;
  }
}

void MeasurementController::SetAcqSize(std::int64_t size) {
  acquisition_.acq_size = LimitAcqSize(size);
}

void MeasurementController::SetAvgTarget(std::int64_t target) {
  acquisition_.avg_target = LimitAvgTarget(target);
}

void MeasurementController::ClickStart() {
  if (running_) {
    ClickStop();
    return;
  }
  const TADDASettings& audio = context_.audio.Settings();
  if (!context_.audio.HasDevices() || !context_.audio.Ready() ||
      !context_.engine.QueryOutputFormat(context_.audio.StreamDeviceNumber(WaveDirection::kPlay),
                                         audio.PlayRate, audio.PlayBits) ||
      !context_.engine.QueryInputFormat(context_.audio.StreamDeviceNumber(WaveDirection::kRecord),
                                        audio.RecRate, audio.RecBits)) {
    ports_.show_message(std::string(kNoAudioSupport));
    return;
  }
  if ((stim_code_ == 12 || stim_code_ == 13) && context_.stimulus.wav_file_name.empty()) {
    ports_.show_message(std::string(kNeedWavFile));
    return;
  }
  if (const std::optional<std::string> unavailable = UnavailableAnalysisMessage(acq_type_)) {
    ports_.show_message(*unavailable);
    return;
  }
  auto_stop_ = false;
  engine_overran_ = false;
  first_pass_ = true;
  StartAcqManual();
}

void MeasurementController::RequestStart() {
  if (!running_ && start_request_ticks_ == 0) start_request_ticks_ = 2;
}

void MeasurementController::ClickStop() {
  CommonStop();
  if (!running_) SetStatus(IdleText(), kStatusBlue);
}

void MeasurementController::SetAutoStart(std::optional<double> when) {
  auto_start_at_ = when && *when > ports_.now() ? when : std::nullopt;
  if (!running_) SetStatus(IdleText(), kStatusBlue);
}

void MeasurementController::StartAcqManual() {
  StartPlanInputs inputs{.stim_code = stim_code_,
                         .acq_type = acq_type_,
                         .acquisition = acquisition_,
                         .audio = context_.audio,
                         .stimulus = context_.stimulus,
                         .timing = context_.timing,
                         .mls_store = mls_store_,
                         .tones = tones_,
                         .data_directory = context_.data_directory};
  std::optional<StartPlan> plan = PlanStart(inputs, notices_, ports_.show_message);
  if (!plan) return;

  pending_events_ &= static_cast<std::uint16_t>(~(kEventStopped | 1u << 2 | kEventAvgSetDone));
  acquisition_ = plan->setup.acquisition;
  time_rec_ = TDataMeas();
  time_rec_.FAvgType = static_cast<std::uint8_t>(acquisition_.avg_type);
  time_rec_.FAvgTarget = acquisition_.avg_on ? acquisition_.avg_target : 1;
  time_rec_.FSpareInt = plan->layout.two_channels ? 2 : 1;
  time_rec_.FWindowType = acquisition_.window;
  PrepareFrequencyRecord(freq_rec_, plan->setup);
  analysis_context_.FftLength = acquisition_.fft_size;
  analysis_context_.ConverterDelay = plan->setup.converter_delay;
  analysis_context_.AcquisitionType = acq_type_;
  analysis_context_.AcquisitionWindow = acquisition_.window;
  analysis_context_.MeasurementRunning = true;
  analysis_context_.CrossSpectra = {};
  pass_layout_ = plan->layout;
  // The window edges found or set before stay the analysis window of the new passes.
  PassState fresh;
  fresh.window_edges = pass_state_.window_edges;
  pass_state_ = fresh;
  scales_ = plan->scales;
  step_index_ = 0;
  pass_count_ = 0;
  auto_stop_at_.reset();

  StreamingEngine& engine = context_.engine;
  engine.Configure(plan->engine);
  engine.SetRecordFormat(plan->setup.record_rate, plan->record_bits);
  engine.SetPlayFormat(plan->setup.play_rate, plan->play_bits);
  engine.CaptureBuffers().length = plan->capture_length;
  engine.Meters().Reset();
  TriggerSettings trigger;
  if (plan->setup.asynchronous) {
    trigger = EngineTrigger(extras_.trigger, scales_,
                            context_.audio.DeviceCal(WaveDirection::kRecord).latency);
  }
  engine.Asynchronous().trigger.Store(trigger);
  trigger_mode_ = trigger.armed;
  if (!generator_.SelectGenerator(plan->selection, context_.stimulus, plan->tones,
                                  WavStimulusLoader(), notices_)) {
    return;
  }
  generator_.SetPolarity(plan->selection.polarity_inverted);
  setup_ = std::move(plan->setup);
  setup_->tones = plan->tones;
  setup_->tracking = tracking_;
  if (setup_->mls_order > 0) setup_->mls_tables = &mls_store_.Tables();

  const bool started = setup_->asynchronous
                           ? engine.StartAsynchronous(generator_)
                           : engine.StartSynchronous(MakeSyncBlockRoutines(
                                 generator_, plan->selection, plan->sync, *sync_tables_));
  if (!started) {
    analysis_context_.MeasurementRunning = false;
    return;
  }
  discard_capture_ = setup_->asynchronous && IsMls(setup_->generator);
  pass_layout_.skew = engine.Skew();
  setup_->fractional_skew_s = engine.Skew().time_correction;
  running_ = true;
  ports_.set_pump(true);
  pending_events_ |= kEventStarted;
}

void MeasurementController::StopAcqManual() {
  pending_events_ |= kEventStopped;
  context_.engine.StopStreaming();
  ports_.set_pump(false);
  running_ = false;
  analysis_context_.MeasurementRunning = false;
  pass_count_ = 0;
}

void MeasurementController::CommonStop() {
  if (running_) StopAcqManual();
  context_.engine.Meters().Reset();
  ports_.redraw_plots();
}

void MeasurementController::StatusTick() {
  EngineStatus& status = context_.engine.Status();
  const double now = ports_.now();
  if (running_ && status.stop_request.load(std::memory_order_acquire)) TakeEngineStop();

  if (start_request_ticks_ > 0 && --start_request_ticks_ == 0) ClickStart();
  if (auto_start_at_ && now >= *auto_start_at_) {
    auto_start_at_.reset();
    RequestStart();
    events.OnAutoStart();
  }
  if (running_ && auto_stop_at_ && now >= *auto_stop_at_) {
    auto_stop_at_.reset();
    ClickStop();
    auto_stop_ = true;
    SetStatus("auto stop", kStatusBlue);
    events.OnAutoStopTimer();
  }

  if (pending_events_ & kEventAvgSetDone) {
    pending_events_ &= static_cast<std::uint16_t>(~kEventAvgSetDone);
    events.OnAcqAvgSetDone();
    StopAcqManual();
    if (engine_overran_) {
      SetStatus("oops", kStatusRed);
    } else {
      SetStatus(auto_stop_ ? "auto stop" : IdleText(), kStatusBlue);
    }
    ConsumeStopped();
    return;
  }
  if (pending_events_ & kEventStarted) {
    pending_events_ &= static_cast<std::uint16_t>(~kEventStarted);
    events.OnStarted();
  }
  if (running_) {
    const TriggerPhase phase =
        context_.engine.Asynchronous().trigger_phase.load(std::memory_order_acquire);
    const bool armed = phase == TriggerPhase::kFilling || phase == TriggerPhase::kArmed;
    SetStatus(!trigger_mode_ ? "running" : armed ? "trig:Armed" : "*run*", kStatusGreen);
    if (status.capture_complete.load(std::memory_order_acquire)) {
      if (discard_capture_) {
        DiscardCapture();
      } else {
        ProcessPass();
        AfterPass();
      }
    }
  }
  ConsumeStopped();
}

// The first capture of an MLS ReSync run begins with the sequence itself, before the response
// has become periodic (the round trip's silence, the device's start-up transient): the circular
// recovery needs a whole steady period, so that capture is dropped and the next one taken.
void MeasurementController::DiscardCapture() {
  discard_capture_ = false;
  context_.engine.Asynchronous().RestartCapture();
  context_.engine.Status().capture_complete.store(false, std::memory_order_release);
}

void MeasurementController::TakeEngineStop() {
  const EngineStatus& status = context_.engine.Status();
  engine_overran_ = status.playback_underrun.load(std::memory_order_acquire) ||
                    status.record_overrun.load(std::memory_order_acquire);
  StopAcqManual();
  SetStatus(engine_overran_ ? "oops" : IdleText(), engine_overran_ ? kStatusRed : kStatusBlue);
}

void MeasurementController::ConsumeStopped() {
  if ((pending_events_ & kEventStopped) == 0 || running_) return;
  pending_events_ &= static_cast<std::uint16_t>(~kEventStopped);
  events.OnStopped();
}

void MeasurementController::ProcessPass() {
  StreamingEngine& engine = context_.engine;
  const Captures& captures = engine.CaptureBuffers();
  const std::int32_t captured = setup_->asynchronous
                                    ? engine.Asynchronous().captured.load(std::memory_order_acquire)
                                    : captures.length;
  TDataMeas pass = BuildPass(captures, captured, pass_layout_, scales_, levels_);
  if (trigger_mode_) {
    SetStatus("TRIG:RUN", kStatusGreen);
    events.OnTrigger();
    if (extras_.trigger.free_run_after_trigger) {
      // Later passes run free, without waiting for the level again.
      engine.Asynchronous().trigger.Store(TriggerSettings{});
      trigger_mode_ = false;
    }
  }
  if (first_pass_) {
    pass_count_ = 0;
    first_pass_ = false;
  } else {
    ++pass_count_;
  }

  live_time_rec_ = pass;
  UpdateDecayWeights();
  AnalysePass(std::move(pass), *setup_, time_rec_, freq_rec_, pass_state_, analysis_context_);
  time_rec_.FTimeStamp = freq_rec_.FTimeStamp = ports_.now();

  events.OnBeforeAcqPlot();
  ports_.redraw_plots();
  events.OnAfterAcqPlot();
  const bool stepped = stim_code_ >= 9 && stim_code_ <= 11;
  // The next tone is posted before the capture is released, so that no capture of the last
  // tone's sound is taken for it.
  bool list_done = false;
  if (stepped) {
    if (setup_->asynchronous) engine.Asynchronous().HoldCapture();
    list_done = AdvanceSteppedTone();
  }
  // The capture is taken: the engine may fill the next one, and this one is never taken twice.
  if (setup_->asynchronous && !stepped) engine.Asynchronous().RestartCapture();
  engine.Status().capture_complete.store(false, std::memory_order_release);
  events.OnAcqBurst();
  if (!stepped || list_done) events.OnAcqOnceDone();
}

// The "Decay" average forgets with the time constant `AvgTarget` seconds, by the time between
// passes; the first pass of a start replaces.
void MeasurementController::UpdateDecayWeights() {
  const double now = ports_.now();
  DecayWeights weights;
  if (pass_count_ > 0 && acquisition_.avg_on && acquisition_.avg_type == kAverageDecay) {
    const double elapsed_s = (now - last_pass_time_) * kSecondsPerDay;
    weights.Old = std::exp(-elapsed_s / std::max(acquisition_.avg_target, 1));
    weights.New = 1.0 - weights.Old;
  }
  analysis_context_.Decay = weights;
  last_pass_time_ = now;
}

bool MeasurementController::AdvanceSteppedTone() {
  ++step_index_;
  ToneLists next;
  bool list_done = false;
  if (!NextStep(context_.stimulus.stepped, step_index_, stim_code_ == 11, setup_->play_rate,
                setup_->record_rate, next)) {
    // The whole list is measured: one more average, and the list starts again.
    TDataMeas& primary = ShowsTimeData(acq_type_) ? time_rec_ : freq_rec_;
    primary.FAvgCount = std::min(primary.FAvgCount + 1, std::max(primary.FAvgTarget, 1));
    list_done = true;
    step_index_ = 0;
    NextStep(context_.stimulus.stepped, 0, stim_code_ == 11, setup_->play_rate, setup_->record_rate,
             next);
  }
  setup_->tones = next;
  generator_.PostToneLists(std::move(next));
  return list_done;
}

void MeasurementController::AfterPass() {
  if (!running_) return;
  const double now = ports_.now();
  if (acquisition_.auto_stop == AutoStopMode::kTimer && !auto_stop_at_) {
    auto_stop_at_ =
        now + LimitAutoStopSeconds(std::abs(acquisition_.auto_stop_seconds)) / kSecondsPerDay;
  }
  if (IsSinglePassType(acq_type_)) {
    auto_stop_ = true;
    ClickStop();
    SetStatus("auto stop", kStatusBlue);
    return;
  }
  const bool asynchronous_time = (acq_type_ == 0 || acq_type_ == 1) && setup_->asynchronous;
  const TDataMeas& primary = PrimaryRecord();
  const bool averaging = primary.FAvgTarget >= 1 && (acquisition_.avg_on || asynchronous_time);
  const bool target_reached =
      acquisition_.auto_stop == AutoStopMode::kAvgs && primary.FAvgCount >= primary.FAvgTarget;
  const bool single_capture = asynchronous_time && acquisition_.avg_type != kAverageDecay;
  if (averaging && (target_reached || single_capture)) {
    auto_stop_ = true;
    pending_events_ |= kEventAvgSetDone;
    context_.engine.StopStreaming();
    events.OnAutoStopAvgLimit();
  }
}

const TDataMeas& MeasurementController::PrimaryRecord() const {
  return ShowsTimeData(acq_type_) ? time_rec_ : freq_rec_;
}

void MeasurementController::SetStatus(std::string text, std::uint32_t colour) {
  if (text == status_word_ && colour == status_colour_) return;
  status_word_ = std::move(text);
  status_colour_ = colour;
  ports_.status_changed();
}

std::string MeasurementController::IdleText() const {
  if (!auto_start_at_) return "ready";
  return FormatDateTime(*auto_start_at_).value_or("ready");
}

}  // namespace vireon
