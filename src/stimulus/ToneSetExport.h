#pragma once

#include <cstdint>
#include <filesystem>

#include "files/FileContext.h"
#include "record/DataObj.h"
#include "stimulus/ToneSet.h"

namespace vireon {

// "Make WAV file": the tone lists synthesized at the play rate as a time record for the WAV
// writer, list P in column 0 and, for a stereo file, list Q in column 1, as fractions of full
// scale. Each list runs its own counter from 0, as when it is played.
TDataMeas SynthesizeToneSet(const ToneLists& lists, bool stereo, std::int32_t length,
                            int play_rate);

// "Make WAV file": the synthesized lists written by the WAV writer at `bits`, the loudest sample
// at full scale. False, writing nothing, unless the name ends in ".wav" (any case).
bool ExportToneSetWav(const std::filesystem::path& file, const ToneLists& lists, bool stereo,
                      std::int32_t length, int play_rate, int bits, MessageSink& messages);

}  // namespace vireon
