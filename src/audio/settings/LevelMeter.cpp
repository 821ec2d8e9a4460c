#include "audio/settings/LevelMeter.h"

#include <algorithm>
#include <cmath>

#include "audio/settings/TDeviceCal.h"

namespace vireon {

namespace {

constexpr double kOverloadBar = 98.0;  // 1 dB below the maximum
constexpr int kMeteredEntries = 7;

}  // namespace

double LevelBarValue(double peak_counts, int maximum_code) {
  const double reference = std::clamp(maximum_code, 1, kFullScaleCode);
  const double peak = std::fabs(peak_counts) / reference;
  if (!(peak > 0.0)) return 0.0;  // silence, and a peak that is not a number
  return std::clamp(2.0 * 20.0 * std::log10(peak) + 100.0, 0.0, 100.0);
}

bool InputOverloaded(double bar_value, int list_index) {
  return bar_value > kOverloadBar && list_index >= 0 && list_index < kMeteredEntries;
}

}  // namespace vireon
