#pragma once

#include <cstdint>

#include "plot/PlotOptions.h"
#include "record/DataObj.h"

namespace vireon {

// Plot kinds drawn as an x-y graph: ordinary, harmonic and intermodulation distortion curves,
// and kinds 8 and 9.
constexpr bool IsXyKind(std::int32_t plot_kind) {
  return plot_kind == 0 || (plot_kind >= 6 && plot_kind <= 9);
}

// Harmonic (6) or intermodulation (7) distortion curves of a frequency response.
bool IsDistortionPlot(const TDataMeas& record);

// A "dB" curve after the first (column 0 holds the x values, column 1 the fundamental or the
// response) of a component track or a distortion plot, shown as
// 100·10^(v/20) percent while the option is on; its labels and readouts end in "%".
bool ShowsDistortionPercent(const TDataMeas& record, int column, const PlotOptions& options);
double PercentOfDb(double db);

}  // namespace vireon
