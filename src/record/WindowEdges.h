#pragma once

#include "record/DataObj.h"

namespace vireon {

// Sets the analysis gate of channel 0 or 1 of a sampled record around its impulse peak (found
// by FindPeakTime): from just before the response rises to just before the first arrival that
// follows a quiet stretch of at least 0.3 ms, such as a reflection.
void FindWindowEdges(TDataMeas& record, int channel);

}  // namespace vireon
