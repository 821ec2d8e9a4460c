#include "audio/engine/StreamFormats.h"

#include <algorithm>
#include <cmath>

namespace vireon {

std::int32_t FramesPerBlock(int rate, int bits, double block_seconds) {
  const int block_align = 2 * (bits / 8);
  const int frames_per_group = 12 / block_align;
  const auto nominal = static_cast<std::int64_t>(std::nearbyint(rate * block_seconds));
  const std::int64_t groups = std::min<std::int64_t>(
      kMaxBlockBytes / 12, std::max<std::int64_t>(0, nominal) / frames_per_group);
  return static_cast<std::int32_t>(frames_per_group * groups);
}

std::int32_t StabilizingLeadIn(int play_rate, double stabilizing_ms) {
  return static_cast<std::int32_t>(std::nearbyint(play_rate * stabilizing_ms / 1000.0));
}

std::int32_t AsynchronousLeadIn(std::int32_t lead_in, std::int32_t play_frames_per_block) {
  if (play_frames_per_block <= 0 || lead_in <= 0) return std::max(0, lead_in);
  const std::int32_t blocks = (lead_in + play_frames_per_block - 1) / play_frames_per_block;
  return blocks * play_frames_per_block;
}

}  // namespace vireon
