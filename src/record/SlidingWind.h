#pragma once

#include <cstdint>

#include "record/DataObj.h"

namespace vireon {

// The frequency-dependent tail window: the gate start..end of x keeps its detail at high
// frequencies while the tail beyond it is smoothed ever more strongly with time, so that low
// frequencies see a longer effective window. Zeroes the samples before the gate on request.
void SlidingTailWindow(DataArray& x, std::int32_t start, std::int32_t end, double sample_rate,
                       bool zero_before_start);

}  // namespace vireon
