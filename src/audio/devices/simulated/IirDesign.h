#pragma once

#include <optional>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"

namespace vireon {

// Coefficients of the bench's recursive filters at a running rate.

// The Butterworth filter by the bilinear transform prewarped at the cutoff, as second-order
// sections (a first-order one last for odd orders). Empty (bypassed) when the cutoff is at or
// above half the rate.
std::vector<BiquadStage> ButterworthSections(const ButterworthStage& stage, int rate);

// The cookbook peaking filter; nullopt (bypassed) when the centre is at or above half the rate,
// where its design would turn unstable.
std::optional<BiquadStage> PeakingBiquad(const PeakStage& stage, int rate);

}  // namespace vireon
