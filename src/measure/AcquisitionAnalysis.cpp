#include "measure/AcquisitionAnalysis.h"

#include <algorithm>
#include <utility>

#include "measure/AcquisitionTypes.h"
#include "measure/AnalysisWindow.h"
#include "measure/CodeSets.h"
#include "measure/FrequencyAnalysis.h"
#include "measure/MlsImpulse.h"
#include "measure/SpectrumHold.h"
#include "measure/SteppedToneAnalysis.h"
#include "record/Averaging.h"
#include "record/FftWindows.h"

namespace vireon {
namespace {

bool IsSteppedStimulus(int stim_code) { return stim_code >= 9 && stim_code <= 11; }

bool IsResyncChirpResponse(const AnalysisSetup& setup) {
  return setup.stim_code == 0 && OneOf(setup.acq_type, {3, 8});
}

// The pass becomes an impulse response (or, for the chirp ReSync without a window, a frequency
// response averaged straight into freq_rec: then true).
bool RecoverImpulse(TDataMeas& pass, const AnalysisSetup& setup, TDataMeas& freq_rec,
                    AnalysisContext& context) {
  const std::int32_t d = setup.converter_delay;
  if (setup.stim_code == 17 && OneOf(setup.acq_type, {3, 8}) && setup.chirp) {
    DeconvolveSynchronousChirp(pass, *setup.chirp, setup.output1_level_db, d);
  } else if (IsMls(setup.generator) && OneOf(setup.acq_type, {2, 8, 13}) &&
             setup.mls_tables != nullptr) {
    if (setup.asynchronous) {
      RecoverResyncMlsImpulses(pass, *setup.mls_tables, setup.mls_order, d);
    } else {
      RecoverSynchronousMlsImpulse(pass, *setup.mls_tables, setup.mls_order, d);
    }
  } else if (OneOf(setup.acq_type, {11, 12}) && pass.FNumFields >= 2) {
    LiveMonitorImpulse(pass, context);
  } else if (IsResyncChirpResponse(setup)) {
    pass.FWindowType = setup.acquisition.window;
    return ChirpResyncResponse(pass, freq_rec, setup.chirp_octaves_per_second, d, context);
  } else if (setup.stim_code == 0 && OneOf(setup.acq_type, {25, 26}) && setup.chirp) {
    RecoverAsynchronousImpulse(pass, *setup.chirp, d);
  }
  return false;
}

// What a pass keeps of the time record across passes: the averaging state and the analysis
// window the user set.
void ReplaceKeepingState(TDataMeas& time_rec, TDataMeas pass) {
  const TDataMeas previous = std::move(time_rec);
  time_rec = std::move(pass);
  time_rec.FAvgType = previous.FAvgType;
  time_rec.FAvgTarget = previous.FAvgTarget;
  time_rec.FSpareInt = previous.FSpareInt;
  time_rec.FWinStart = previous.FWinStart;
  time_rec.FWinEnd = previous.FWinEnd;
  time_rec.FWindowType = previous.FWindowType;
  if (previous.FTitleLocked) {
    time_rec.FTitle = previous.FTitle;
    time_rec.FTitleLocked = 1;
  }
}

// Coherent running average of every used column: n/(n+1) of the stored values and 1/(n+1) of
// the pass, or the exponential "Decay" weights. A pass of another shape starts again, and
// without averaging each pass replaces the last.
void AverageTimeRecord(TDataMeas& time_rec, TDataMeas pass, const AnalysisContext& context) {
  const bool same_shape = time_rec.FNumPoints == pass.FNumPoints &&
                          time_rec.FNumFields == pass.FNumFields &&
                          time_rec.FSampleRate == pass.FSampleRate;
  const std::int32_t count = time_rec.FAvgCount;
  const std::int32_t target = std::max(time_rec.FAvgTarget, 1);
  const bool averaging = target >= 2 || time_rec.FAvgType == kAverageDecay;
  if (count < 1 || !same_shape || !averaging) {
    ReplaceKeepingState(time_rec, std::move(pass));
    time_rec.FAvgCount = 1;
    return;
  }
  const bool decay = time_rec.FAvgType == kAverageDecay;
  const double keep = decay ? context.Decay.Old : count / (count + 1.0);
  const double add = decay ? context.Decay.New : 1.0 / (count + 1.0);
  for (int c = 0; c < pass.FNumFields; ++c) {
    DataArray& stored = time_rec.FFields[static_cast<std::size_t>(c)].Values;
    const DataArray& fresh = pass.FFields[static_cast<std::size_t>(c)].Values;
    for (std::size_t i = 0; i < stored.size() && i < fresh.size(); ++i) {
      stored[i] = stored[i] * keep + fresh[i] * add;
    }
  }
  time_rec.FStartTime = pass.FStartTime;
  time_rec.FEndX = pass.FEndX;
  time_rec.FDelayA = pass.FDelayA;
  time_rec.FDelayB = pass.FDelayB;
  time_rec.FPeakTime = pass.FPeakTime;
  time_rec.FAvgCount = std::min(count + 1, target);
}

// Impulse responses are analysed with the falling half of the chosen window, from the start of
// the record, so that the impulse itself (d samples in) is not attenuated.
std::uint8_t ImpulseAnalysisWindow(std::uint8_t window) {
  return window >= 2 && !IsHalfWindow(window) ? static_cast<std::uint8_t>(window + 1) : window;
}

// Whether the time record holds an impulse response rather than the signal as recorded.
bool HoldsImpulse(const AnalysisSetup& setup) {
  if (IsMls(setup.generator)) return OneOf(setup.acq_type, {2, 8, 13});
  if (setup.stim_code == 17) return OneOf(setup.acq_type, {3, 8});
  if (setup.stim_code == 0) return OneOf(setup.acq_type, {3, 8, 25, 26});
  if (setup.stim_code == 3) return OneOf(setup.acq_type, {8, 13});  // recorded as it is
  return setup.acq_type == 12;
}

// The gate after a pass: "Find Window Edges" "with each Acquisition" searches it again where it
// applies; otherwise the stored edges, or the whole record when none are stored or no window
// applies (asynchronous time data and the asynchronous impulse types).
void UpdateAnalysisWindow(const AnalysisSetup& setup, std::int32_t averages_before,
                          TDataMeas& time_rec, PassState& state) {
  const bool no_window =
      (setup.asynchronous && OneOf(setup.acq_type, {0, 1})) || OneOf(setup.acq_type, {25, 26});
  if (!no_window && setup.acquisition.find_edges_each &&
      FindEdgesAfterPass(setup.stim_code, setup.acq_type, time_rec.FNumFields, averages_before)) {
    const WindowEdgesFound found = FindAnalysisWindowEdges(time_rec);
    state.window_edges = std::pair(found.start, found.end);
  }
  const bool whole = no_window || !state.window_edges;
  SetAnalysisWindow(time_rec, whole ? 0 : state.window_edges->first,
                    whole ? 0 : state.window_edges->second, whole);
}

// The frequency result of the pass from the time record.
void ConvertPass(const AnalysisSetup& setup, const TDataMeas& time_rec, TDataMeas& freq_rec,
                 AnalysisContext& context) {
  const bool in_time = AveragesInTime(setup);
  AcquisitionSettings acquisition = setup.acquisition;
  if (HoldsImpulse(setup)) acquisition.window = ImpulseAnalysisWindow(acquisition.window);
  const FrequencyAnalysisInput input{.stim_code = setup.stim_code,
                                     .acq_type = setup.acq_type,
                                     .acquisition = &acquisition,
                                     .tones = &setup.tones,
                                     .average_in_frequency = !in_time};
  // A coherent average is derived afresh from the averaged time record, not averaged again.
  if (in_time) freq_rec.FAvgCount = 0;
  ConvertToFrequency(time_rec, freq_rec, input, context);
  if (in_time) freq_rec.FAvgCount = time_rec.FAvgCount;
}

}  // namespace

bool AveragesInTime(const AnalysisSetup& setup) {
  // Each stepped-tone pass plays another tone: its points are averaged one by one instead.
  if (IsSteppedStimulus(setup.stim_code)) return false;
  if (!setup.asynchronous) return true;
  if (OneOf(setup.stim_code, {1, 2})) return OneOf(setup.acq_type, {8, 13});
  if (setup.stim_code == 0) {
    return OneOf(setup.acq_type, {25, 26}) ||
           (OneOf(setup.acq_type, {3, 8}) && setup.acquisition.window != kNoWindow);
  }
  return false;
}

void PrepareFrequencyRecord(TDataMeas& freq_rec, const AnalysisSetup& setup) {
  freq_rec.FAvgType = static_cast<std::uint8_t>(setup.acquisition.avg_type);
  freq_rec.FAvgTarget = setup.acquisition.avg_on ? setup.acquisition.avg_target : 1;
  freq_rec.FAvgCount = 0;
  freq_rec.FDelayA = freq_rec.FDelayB = 0.0;
  freq_rec.FDisplayDelay = 0.0;
  RestartSpectrumHold(freq_rec);
  if (IsSteppedStimulus(setup.stim_code)) ResetSteppedResult(freq_rec, setup.acq_type);
}

void AnalysePass(TDataMeas pass, const AnalysisSetup& setup, TDataMeas& time_rec,
                 TDataMeas& freq_rec, PassState& state, AnalysisContext& context) {
  state.skew.UndoBeforePass(freq_rec);
  state.measured_delay.UndoBeforePass(freq_rec);
  const std::int32_t averages_before = time_rec.FAvgCount;
  const bool frequency_done = RecoverImpulse(pass, setup, freq_rec, context);
  if (!frequency_done) {
    if (AveragesInTime(setup)) {
      AverageTimeRecord(time_rec, std::move(pass), context);
    } else {
      const std::int32_t count = time_rec.FAvgCount;
      ReplaceKeepingState(time_rec, std::move(pass));
      time_rec.FAvgCount = std::min(count + 1, std::max(time_rec.FAvgTarget, 1));
    }
  }
  UpdateAnalysisWindow(setup, averages_before, time_rec, state);

  if (IsSteppedStimulus(setup.stim_code)) {
    StoreSteppedTone(freq_rec, time_rec, setup.acq_type, setup.stim_code, setup.tones,
                     setup.tracking, setup.acquisition.window, context);
    return;
  }
  if (ShowsTimeData(setup.acq_type) || IsSinglePassType(setup.acq_type)) return;
  if (!frequency_done) ConvertPass(setup, time_rec, freq_rec, context);
  state.measured_delay.Apply(freq_rec, freq_rec.FDelayA);
  freq_rec.FDelayA = 0.0;
  if (CompensatesFractionalSkew(setup.acq_type)) {
    state.skew.Apply(freq_rec, setup.fractional_skew_s);
  }
}

}  // namespace vireon
