#pragma once

#include <filesystem>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

// Writing time records as integer PCM WAV files.

inline constexpr std::string_view kWavTimeOnlyMessage =
    "Error: Only Time domain data can be saves as WAV files!";

enum class WavChannelChoice { kColumn0 = 0, kColumn1 = 1, kMix = 2 };

// Writes 8, 16, 24 or 32-bit samples scaled so that the loudest lies at `level` (a linear
// factor, at most 1) of full scale. A mono file holds the chosen column or the sum of columns 0
// and 1; a stereo file (asked for and two columns present) holds both. The file is written
// atomically: a failed save leaves the old file as it was.
bool SaveWavData(const std::filesystem::path& file, const TDataMeas& record, int bits, double level,
                 WavChannelChoice choice, bool stereo, MessageSink& messages);

}  // namespace vireon
