#pragma once

#include "record/AnalysisContext.h"
#include "record/DataObj.h"

namespace vireon {

// Magnitudes of A and B and the phase of A relative to B (data type 15) of a two-channel
// sampled source, with the acquisition's window and the FFT length setting; vector-averaged
// across calls by FAvgCount, each frame c+1 weighing 1/(c+1).
void TwoChannelSpectrum(TDataMeas& target, const TDataMeas& source, AnalysisContext& context);

}  // namespace vireon
