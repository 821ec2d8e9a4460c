#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace vireon::cli {

// Writes packed stereo play frames (16 or 24-bit little-endian, left first) as a two-channel PCM
// WAV file holding the same sample values; throws VireonError when it cannot be written.
void SavePackedStereoWav(const std::filesystem::path& file, std::span<const std::uint8_t> frames,
                         int bits, int sample_rate);

}  // namespace vireon::cli
