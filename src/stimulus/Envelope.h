#pragma once

#include <vector>

#include "stimulus/CfgStim.h"

namespace vireon {

// The envelope of tone bursts: one factor per sample of the burst; empty for "None". A length of
// one is the single factor 1 (the cosine formula would divide by zero).
std::vector<float> BuildEnvelope(const EnvelopeSettings& settings);

}  // namespace vireon
