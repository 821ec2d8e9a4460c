#include "measure/HideTones.h"

#include <algorithm>

#include "record/NumericHelpers.h"

namespace vireon {

std::vector<double> TonesToHide(const ToneLists& tones, const std::array<bool, 2>& outputs) {
  std::vector<double> frequencies;
  const std::array<const SineParsArray*, 2> lists = {&tones.p, &tones.q};
  for (std::size_t output = 0; output < lists.size(); ++output) {
    if (!outputs[output]) continue;
    for (const TSinePars& tone : *lists[output]) frequencies.push_back(tone.Frequency);
  }
  return frequencies;
}

void HideTones(TDataMeas& spectrum, int column, std::span<const double> tones, double width_hz) {
  if (column < 1 || column >= spectrum.FNumFields || !(width_hz > 0)) return;
  const DataArray& x = spectrum.FFields[0].Values;
  DataArray& y = spectrum.FFields[static_cast<std::size_t>(column)].Values;
  const std::size_t points = std::min(x.size(), y.size());
  const auto x_end = x.begin() + static_cast<std::ptrdiff_t>(points);
  for (const double tone : tones) {
    // The frequency column ascends, so the band is found by bisection on any axis.
    const auto first = std::lower_bound(x.begin(), x_end, tone - width_hz / 2);
    const auto after = std::upper_bound(first, x_end, tone + width_hz / 2);
    if (first == after) continue;
    const auto lo = static_cast<std::size_t>(first - x.begin());
    const auto hi = static_cast<std::size_t>(after - x.begin());  // one past the band
    const bool has_below = lo > 0;
    const bool has_above = hi < points;
    if (!has_below && !has_above) continue;
    const double below_db = ToDb(y[has_below ? lo - 1 : hi]);
    const double above_db = ToDb(y[has_above ? hi : lo - 1]);
    const double fill = FromDb((below_db + above_db) / 2);
    std::fill(y.begin() + static_cast<std::ptrdiff_t>(lo),
              y.begin() + static_cast<std::ptrdiff_t>(hi), fill);
  }
}

}  // namespace vireon
