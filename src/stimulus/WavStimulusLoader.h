#pragma once

#include "stimulus/WavFileGenerator.h"

namespace vireon {

// The WAV-file stimulus's loader: the program's WAV reader, channel 1 and (stereo) channel 2 as
// doubles in -1..1. A file that does not decode, or holds no samples, gives nothing.
WavLoader WavStimulusLoader();

}  // namespace vireon
