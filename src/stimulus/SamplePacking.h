#pragma once

#include <cstdint>
#include <span>

namespace vireon {

// Output samples as the play buffers hold them: little-endian, interleaved, left first; 4-byte
// frames of two 16-bit samples or 6-byte frames of two 24-bit samples.

inline constexpr std::int32_t kFullScale16 = 32767;
inline constexpr std::int32_t kFullScale24 = 8388607;

std::int32_t FullScale(int bits);  // 32767 for 16 bits, 8388607 for 24
int FrameBytes(int bits);          // 4 for 16 bits, 6 for 24

// The value rounded to the nearest integer (ties to even) and limited to ±full scale, so a gain
// beyond full scale clips instead of wrapping around when packed. NaN gives 0.
std::int32_t SaturatedSample(double value, std::int32_t full_scale);

// Writes one sample at the byte offset; the buffer must hold it.
void PackSample(std::span<std::uint8_t> buffer, std::size_t offset, int bits, std::int32_t sample);

}  // namespace vireon
