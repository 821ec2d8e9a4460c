#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "measure/AcquisitionSettings.h"
#include "measure/ChirpDeconvolution.h"
#include "measure/ComponentTracking.h"
#include "measure/PhaseDelayCorrection.h"
#include "record/AnalysisContext.h"
#include "record/DataObj.h"
#include "stimulus/MlsTables.h"
#include "stimulus/StimulusTable.h"
#include "stimulus/ToneSet.h"

namespace vireon {

// What the analysis of every pass of one measurement knows, fixed at its start.
struct AnalysisSetup {
  int stim_code = 0;
  int acq_type = 0;
  GeneratorKind generator = GeneratorKind::kSilence;
  bool asynchronous = true;
  int record_rate = 48000;
  int play_rate = 48000;
  std::int32_t converter_delay = 56;  // d: the converter's filter delay, samples
  double output1_level_db = 0.0;
  AcquisitionSettings acquisition;
  const MlsTables* mls_tables = nullptr;  // the stimulus sequence's tables (MLS stimuli)
  int mls_order = 0;
  std::optional<ChirpSpectra> chirp;  // chirp stimuli
  double chirp_octaves_per_second = 0.0;
  ToneLists tones;  // fixed and stepped tones
  ComponentTrackSettings tracking;
  double fractional_skew_s = 0.0;  // the engine's channel-skew correction at this rate
};

// Whether passes are averaged coherently in the time record (synchronous stimuli but the stepped
// tones, and the aligned ReSync ones); otherwise the time record holds the last pass and the
// frequency record averages.
bool AveragesInTime(const AnalysisSetup& setup);

// What the analysis carries from one pass of a measurement to the next.
struct PassState {
  PhaseDelayCorrection measured_delay;  // the result's time origin, kept out of the averages
  PhaseDelayCorrection skew;            // the fractional channel skew, likewise
  // The analysis window the user or the last "Find Window Edges" set; none: the whole record.
  std::optional<std::pair<std::int32_t, std::int32_t>> window_edges;
};

// Prepares the frequency record at a start: the averaging of the acquisition, no averages yet,
// and for the stepped types no point yet.
void PrepareFrequencyRecord(TDataMeas& freq_rec, const AnalysisSetup& setup);

// Takes one pass (a sampled record of one or two channels, scaled) through the impulse recovery,
// the averaging of the time record and the conversion of the acquisition type. The frequency
// record's phase is shown relative to the time origin (its measured delay removed) and corrected
// for the fractional channel skew.
void AnalysePass(TDataMeas pass, const AnalysisSetup& setup, TDataMeas& time_rec,
                 TDataMeas& freq_rec, PassState& state, AnalysisContext& context);

}  // namespace vireon
