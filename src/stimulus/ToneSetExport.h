#pragma once

#include <cstdint>

#include "record/DataObj.h"
#include "stimulus/ToneSet.h"

namespace vireon {

// "Make WAV file": the tone lists synthesized at the play rate as a time record for the WAV
// writer, list P in column 0 and, for a stereo file, list Q in column 1, as fractions of full
// scale. Each list runs its own counter from 0, as when it is played.
TDataMeas SynthesizeToneSet(const ToneLists& lists, bool stereo, std::int32_t length,
                            int play_rate);

}  // namespace vireon
