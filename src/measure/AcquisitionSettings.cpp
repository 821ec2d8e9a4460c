#include "measure/AcquisitionSettings.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace vireon {

std::int32_t LimitFftSize(std::int64_t requested) {
  const std::int64_t limited = std::clamp<std::int64_t>(requested, kMinFftSize, kMaxFftSize);
  return static_cast<std::int32_t>(std::bit_floor(static_cast<std::uint64_t>(limited)));
}

std::int32_t LimitAcqSize(std::int64_t requested) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(requested, kMinFftSize, kMaxFftSize));
}

int LimitAvgTarget(std::int64_t requested) {
  return static_cast<int>(std::clamp<std::int64_t>(requested, kMinAvgTarget, kMaxAvgTarget));
}

int LimitRtaResolution(int requested) { return std::clamp(requested, 1, 48); }

double LimitAutoStopSeconds(double requested) {
  if (!std::isfinite(requested)) return 1.0;
  return std::clamp(requested, 0.0001, 1000000.0);
}

}  // namespace vireon
