#include "stimulus/SamplePacking.h"

#include <cmath>

namespace vireon {

std::int32_t FullScale(int bits) { return bits == 16 ? kFullScale16 : kFullScale24; }

int FrameBytes(int bits) { return bits == 16 ? 4 : 6; }

std::int32_t SaturatedSample(double value, std::int32_t full_scale) {
  if (std::isnan(value)) return 0;
  const double limit = full_scale;
  if (value >= limit) return full_scale;
  if (value <= -limit) return -full_scale;
  // Adding and removing 1.5·2^52 leaves no fraction bits, so the FPU rounds to nearest, ties to
  // even; much cheaper than a library call for every sample.
  constexpr double kRounder = 6755399441055744.0;
  return static_cast<std::int32_t>((value + kRounder) - kRounder);
}

void PackSample(std::span<std::uint8_t> buffer, std::size_t offset, int bits, std::int32_t sample) {
  const auto u = static_cast<std::uint32_t>(sample);
  buffer[offset] = static_cast<std::uint8_t>(u & 0xFF);
  buffer[offset + 1] = static_cast<std::uint8_t>((u >> 8) & 0xFF);
  if (bits != 16) buffer[offset + 2] = static_cast<std::uint8_t>((u >> 16) & 0xFF);
}

}  // namespace vireon
