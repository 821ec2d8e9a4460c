#pragma once

#include <string_view>

#include "measure/AcquisitionSettings.h"
#include "measure/AnalysisWindow.h"
#include "record/AnalysisContext.h"
#include "record/DataObj.h"
#include "stimulus/ToneSet.h"

namespace vireon {

// The frequency-domain result of each pass: the time record of the pass (already averaged
// where the average is coherent) becomes the frequency record of the acquisition type.

struct FrequencyAnalysisInput {
  int stim_code = 0;
  int acq_type = 0;
  const AcquisitionSettings* acquisition = nullptr;  // null: the default settings
  const ToneLists* tones = nullptr;  // fixed-tone stimuli (codes 6..8): the tones to hide
  // True where the time record holds only the last pass (unaligned asynchronous stimuli): the
  // frequency record then averages under its own FAvgType, FAvgCount and FAvgTarget. False
  // where the time record is a coherent average: the frequency record is derived from it
  // without a second average, and its count is left as it was.
  bool average_in_frequency = false;
};

// Types 4 (spectrum of A, hold trace, hidden tones), 5 (spectra of A and B, or with "Normalize
// ch1/ch2" the ratio A/B with coherence), 6 and 7 (1/N-octave bands of A, of A and B, or of the
// ratio A/B), 8 (one channel: the windowed response of the impulse with phase; two channels:
// the ratio A/B with coherence) and 11 (the response of the live impulse). Spectrum columns in
// "dBS..." units take the level calibration. Other types leave the frequency record alone.
void ConvertToFrequency(const TDataMeas& time_rec, TDataMeas& freq_rec,
                        const FrequencyAnalysisInput& input, AnalysisContext& context);

// The primary plot's caption for the frequency record of a type ("" for types without one).
std::string_view FrequencyCaption(int acq_type, bool normalize);

// Live monitors (types 11, 12): the two-channel pass becomes the impulse response of A/B (the
// transfer function under the four-term Blackman-Harris window, transformed back to time), in
// channel A of the same record. A pass without two channels is left as it is.
void LiveMonitorImpulse(TDataMeas& pass, AnalysisContext& context);

}  // namespace vireon
