#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/DataObj.h"

namespace vireon {

// The tabs of the plot's format panel, in the order the panel shows them. The polar and 3-D
// tabs are not offered yet: polar plots and waterfalls show no tab of their own.
enum class FormatTab : std::uint8_t {
  Horizontal,  // "Frequency" or "Time"
  TraceA,
  TraceB,
  VScaleA,
  VScaleB,
  VRefA,
  VRefB,
  Markers,
  Windowing,
  Weights,
  Delay,
  Title,
  Colors,
  Distortion,
  MultiFile,
  MultiCtl,
};

struct FormatTabEntry {
  FormatTab tab;
  std::string caption;
  bool operator==(const FormatTabEntry&) const = default;
};

// The tabs a record's panel shows: the horizontal tab unless polar, the trace choosers for
// graphs that are neither waterfall nor polar, the scale and reference tabs of the shown
// traces (a waterfall and a polar plot scale trace A only and take no reference), the markers
// on x-y graphs, the analysis window of time records (not in a live plot), the weighting and
// delay of frequency records that take them, the title and colours always, the distortion
// display of distortion curves and the overlay list on x-y graphs.
std::vector<FormatTabEntry> VisibleFormatTabs(const TDataMeas& record, bool live_plot);

// Whether trace 0 (A) or 1 (B) shows a curve of the record.
bool TraceShown(const TDataMeas& record, int trace);

}  // namespace vireon
