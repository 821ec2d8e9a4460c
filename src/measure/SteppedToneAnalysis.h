#pragma once

#include <cstdint>

#include "measure/ComponentTracking.h"
#include "record/AnalysisContext.h"
#include "record/DataObj.h"
#include "stimulus/ToneSet.h"

namespace vireon {

// Stepped tones: each pass of the acquisitions "Freq.Resp. MAG, PHASE" (8), "Freq. Resp. MAG
// 1ch" (9), "Freq. Resp. MAG 2ch" (10), "Component Track 1ch" (14) and "Component Track 2ch"
// (15) measures the current tone and adds one point to the frequency record.

// One frequency of one column: magnitude and phase (degrees) of the DFT sum over the analysis
// window [FWinStart, FWinEnd], phase referred to the record's first sample.
struct ToneReading {
  double magnitude = 0.0;
  double phase_deg = 0.0;
};

// The window of `window_code` scaled by √2/n (n = window length) makes a sine of amplitude a read
// a/√2. Microphone columns (input kinds 0 and 1) are corrected at f. Reads 0 at or above half
// the sample rate, for a window shorter than two samples and for a missing column.
ToneReading MeasureTone(const TDataMeas& time_rec, int column, double frequency,
                        std::uint8_t window_code, const AnalysisContext& context);

// sqrt(Σ|X(k·f)|²) over the harmonics k = 2..max_harmonic that lie below 0.499·fs, and that
// over |X(f)|: the total harmonic distortion of f.
double HarmonicLevel(const TDataMeas& time_rec, int column, double frequency, int max_harmonic,
                     std::uint8_t window_code, const AnalysisContext& context);
double TotalHarmonicDistortion(const TDataMeas& time_rec, int column, double frequency,
                               int max_harmonic, std::uint8_t window_code,
                               const AnalysisContext& context);

// The index of `frequency` in column 0 of freq_rec; a point that is not there yet is inserted at
// its sorted position in every used column (values 0) and FStartTime/FEndX follow the axis.
std::int32_t FrequencyPointIndex(TDataMeas& freq_rec, double frequency);

bool IsSteppedType(int acq_type);  // 8, 9, 10, 13, 14, 15

// At start, for the stepped types: no points, start time 1e12. Other types are left alone.
void ResetSteppedResult(TDataMeas& freq_rec, int acq_type);

// One pass of types 8, 9 (as 8), 10, 14 and 15 into freq_rec: the point of the current tone
// (tone 1 of list P; for 14 and 15 the tracking settings' domain), its columns named, the title
// set unless locked. Other types, and a tone that is switched off (frequency 0), add nothing.
void StoreSteppedTone(TDataMeas& freq_rec, const TDataMeas& time_rec, int acq_type, int stim_code,
                      const ToneLists& tones, const ComponentTrackSettings& tracking,
                      std::uint8_t window_code, const AnalysisContext& context);

}  // namespace vireon
