#include "record/WindowEdges.h"

#include <algorithm>
#include <cmath>

#include "record/DataTypes.h"

namespace vireon {
namespace {

// A quiet stretch must last this long (s) before a later arrival ends the gate.
constexpr double kQuietTime = 3e-4;

double Sign(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

}  // namespace

void FindWindowEdges(TDataMeas& record, int channel) {
  if (!IsSampledType(record.FDataType) || channel < 0 || channel > 1) return;
  if (channel >= record.FNumFields || !(record.FSampleRate > 0)) return;
  const DataArray& x = record.FFields[static_cast<std::size_t>(channel)].Values;
  const auto n = static_cast<std::int64_t>(
      std::min<std::size_t>(static_cast<std::size_t>(std::max(record.FNumPoints, 0)), x.size()));
  const double fs = record.FSampleRate;
  const double peak_index =
      std::round((record.FPeakTime[static_cast<std::size_t>(channel)] - record.FStartTime) * fs);
  if (!(peak_index >= 0) || peak_index > static_cast<double>(n - 1)) return;
  const auto p = static_cast<std::int64_t>(peak_index);
  const auto at = [&x](std::int64_t i) { return x[static_cast<std::size_t>(i)]; };

  double largest_step = 0.0;
  for (std::int64_t i = 0; i + 1 < n; ++i) {
    largest_step = std::max(largest_step, std::abs(at(i + 1) - at(i)));
  }
  const auto flat = [&](std::int64_t i) {
    return i < n - 2 && std::abs(at(i + 1) - at(i)) <= largest_step / 100;
  };
  const double band = 0.03 * std::abs(at(p));
  const auto in_band = [&](std::int64_t i) { return std::abs(at(i)) <= band; };

  std::int64_t start = p;
  for (std::int64_t i = 0; i < p; ++i) {
    if (!in_band(i)) {
      start = i;
      break;
    }
  }
  std::int32_t& win_start = channel == 0 ? record.FWinStart : record.FWinStart2;
  std::int32_t& win_end = channel == 0 ? record.FWinEnd : record.FWinEnd2;
  win_start = static_cast<std::int32_t>(std::max<std::int64_t>(0, start - 2));

  // Look for a quiet stretch long enough to tell the response has died away.
  std::int64_t j = p;
  bool quiet = false;
  while (!quiet) {
    while (j < n - 1 && !flat(j)) ++j;
    if (j >= n - 1) {
      win_end = static_cast<std::int32_t>(n - 1);
      return;
    }
    double run = 0.0;
    while (j < n - 1 && flat(j) && run < kQuietTime) {
      run += 1.0 / fs;
      ++j;
    }
    quiet = run >= kQuietTime;
  }
  // The next arrival: the first sample that is neither flat nor inside the band.
  while (j < n - 1 && (flat(j) || in_band(j))) ++j;
  // Back to where that arrival starts to rise.
  std::int64_t edge = j;
  while (edge > 0 && std::abs(at(edge - 1)) <= std::abs(at(edge)) &&
         static_cast<double>(j - (edge - 1)) / fs <= kQuietTime &&
         Sign(at(edge - 1)) == Sign(at(j))) {
    --edge;
  }
  win_end = static_cast<std::int32_t>(edge);
}

}  // namespace vireon
