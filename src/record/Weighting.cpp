#include "record/Weighting.h"

#include <algorithm>

#include "record/NumericHelpers.h"

namespace vireon {

double TWeighting::FactorAt(double x) {
  const auto count = static_cast<std::int32_t>(Points.size());
  if (count == 0) return 1.0;
  const auto freq = [this](std::int32_t i) { return Points[static_cast<std::size_t>(i)].Freq; };
  // Cursors read from a file may point anywhere.
  LoIndex = std::clamp(LoIndex, 0, count - 1);
  HiIndex = std::clamp(HiIndex, 0, count - 1);

  // LoIndex: the last point at or below x; HiIndex: the first point at or above x.
  while (LoIndex > 0 && freq(LoIndex) > x) --LoIndex;
  while (LoIndex + 1 < count && freq(LoIndex + 1) <= x) ++LoIndex;
  while (HiIndex + 1 < count && freq(HiIndex) < x) ++HiIndex;
  while (HiIndex > 0 && freq(HiIndex - 1) >= x) --HiIndex;

  const WeightingPoint& low = Points[static_cast<std::size_t>(LoIndex)];
  const WeightingPoint& high = Points[static_cast<std::size_t>(HiIndex)];
  if (LoIndex == HiIndex) return low.Factor;
  return LogFreqInterp(high.Factor, high.Freq, low.Factor, low.Freq, x);
}

}  // namespace vireon
