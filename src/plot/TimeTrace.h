#pragma once

#include <cstdint>
#include <vector>

#include "plot/ColumnDecimation.h"
#include "plot/DisplayList.h"
#include "plot/PlotAxes.h"
#include "plot/PlotOptions.h"
#include "record/DataObj.h"

namespace vireon {

// Trace A of a time record shows its analysis window; trace B does not.
enum class TimeTraceRole : std::uint8_t { TraceA, TraceB };

// The vertical scale of a time curve: a per-division value below 1e-9 counts as 1.
VerticalScale TimeTraceScale(const TFieldType& curve, std::int32_t divisions, int height);

// Draws channel `column` of a sampled record (time types) into `items` over the samples
// `axis` shows, sample i at the record's first time + i / its sample rate, and returns the
// extremes of what was drawn. For trace A the samples inside the analysis window
// (FWinStart..FWinEnd) take the pen's colour and the others options.WindowExclusionColor
// (a live impulse plot's window is the whole record); a line takes the colour of the sample
// it ends on. Nothing is drawn for fewer than two samples.
TraceExtremes AddTimeTrace(const TDataMeas& record, int column, TimeTraceRole role,
                           const HorizontalAxis& axis, const VerticalScale& scale,
                           const PlotOptions& options, const Pen& pen,
                           std::vector<DisplayItem>& items);

}  // namespace vireon
