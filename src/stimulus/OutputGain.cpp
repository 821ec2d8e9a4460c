#include "stimulus/OutputGain.h"

#include <algorithm>
#include <cmath>

namespace vireon {

double OutputGain(const OutputLevel& output) {
  if (!output.enabled) return 0.0;
  const double balance =
      output.own_scale > output.other_scale ? output.other_scale / output.own_scale : 1.0;
  const double gain =
      std::pow(10.0, output.level_db / 20.0) * (output.maximum_code / 8388608.0) * balance;
  if (std::isnan(gain)) return 0.0;
  return std::clamp(gain, 0.0, kMaxOutputGain);
}

}  // namespace vireon
