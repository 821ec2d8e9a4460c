#pragma once

#include <cstdint>

#include "record/AnalysisContext.h"
#include "record/DataObj.h"

namespace vireon {

// Per-bin spectra of one frame of two channels: A·conj(B), |B|², |A|².
struct CrossSpectra {
  DataArray GabRe, GabIm, Gbb, Gaa;
};

// Transforms a two-channel copy of `points` samples (whole-record gate, window code, gains
// 1/points) and returns the cross spectra of bins 0..bins-1.
CrossSpectra FrameCrossSpectra(const TDataMeas& source, std::int32_t points, std::uint8_t window,
                               std::size_t bins, AnalysisContext& context);

// Averages a frame into the context's accumulator by the target's counters: frame c+1 weighs
// 1/(c+1), more where its reference power is above the running mean. Resets the accumulator
// (and the count to 1) when averaging is off or the size changed. Returns the averaged spectra.
const CrossSpectrumAccumulator& AccumulateCrossSpectra(TDataMeas& target, const CrossSpectra& frame,
                                                       AnalysisContext& context);

// target = A/B (column 0 of the two-channel sampled source over column 1) as magnitude and
// phase, with the coherence in column 3 when asked; averaged across calls by FAvgCount.
void TransferFunction(TDataMeas& target, const TDataMeas& source, bool show_coherence,
                      AnalysisContext& context);

}  // namespace vireon
