#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "record/AnalysisContext.h"
#include "record/DataObj.h"

namespace vireon {

// The conversions a script can ask for by name, on a record as a file holds it.
enum class RecordConversion {
  kFrequencyResponse,   // time record → frequency response, optionally gated and windowed first
  kTimeDomain,          // frequency record on an FFT grid → time record
  kSpectrum,            // time record → windowed spectrum
  kRta,                 // time record → 1/N-octave bands
  kTransfer,            // two channels → A/B with coherence
  kTwoChannelSpectrum,  // two channels → both spectra and the phase of A relative to B
  kDeconvolve,          // two channels → A deconvolved by B
};

struct ConversionRequest {
  RecordConversion to = RecordConversion::kFrequencyResponse;
  std::optional<std::uint8_t> window;      // window code; else the record's own
  std::optional<std::int32_t> fft_length;  // the FFT length setting; else the record's length
  std::optional<std::pair<std::int32_t, std::int32_t>> gate;  // inclusive; else the record's own
  int rta_resolution = 6;                                     // bands of 1/N octave
};

// Two-channel conversions take channel A (measured) from column 0 and channel B (reference)
// from column 1. Throws VireonError naming what the record lacks when it does not suit.
TDataMeas ConvertRecord(TDataMeas record, const ConversionRequest& request,
                        AnalysisContext& context);

}  // namespace vireon
