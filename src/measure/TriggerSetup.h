#pragma once

#include <cstdint>

#include "audio/engine/LevelTrigger.h"
#include "measure/AcquisitionConfig.h"
#include "measure/PassBuilder.h"

namespace vireon {

// The engine's level trigger from the acquisition window's trigger settings: polarity "Off"
// leaves it unarmed; the threshold, in volts (or pascals) of the source input, becomes counts
// on the 24-bit scale through that input's scale, whose sign also swaps the slopes.
TriggerSettings EngineTrigger(const AcquisitionTrigger& trigger, const ChannelScales& scales,
                              std::int32_t converter_latency);

}  // namespace vireon
