#pragma once

#include <cstdint>
#include <filesystem>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

// Reading WAV files: integer PCM of 1 to 32 bits, IEEE float, and their extensible forms, one
// or two channels.

inline constexpr std::string_view kWavReadError = "Error Reading .WAV file";

struct WavProbe {
  bool Ok = false;
  std::int32_t SampleRate = 0;
  std::int32_t BitsPerSample = 0;
  bool Stereo = false;
  std::uint32_t DataBytes = 0;
};

struct WavInfo {
  double Duration = 0.0;  // seconds
  std::int32_t Channels = 0;
  std::int32_t BitsPerSample = 0;
  std::int32_t SampleRate = 0;
};

// The headers only; files with more than two channels are refused.
WavProbe ProbeWavFile(const std::filesystem::path& file);

// All 0 when the probe fails, the header holds fewer than 8 bits or a rate below 1.
WavInfo WavFileInfo(const std::filesystem::path& file);

// Decodes the whole file into a time record. False without a message when the file is missing
// or no WAV file of one or two channels; false with "Error Reading .WAV file" when its format
// or data cannot be read.
bool LoadWavData(const std::filesystem::path& file, TDataMeas& record, const FileContext& context,
                 MessageSink& messages);

}  // namespace vireon
