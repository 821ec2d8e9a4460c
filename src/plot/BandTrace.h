#pragma once

#include <vector>

#include "plot/ColumnDecimation.h"
#include "plot/DisplayList.h"
#include "plot/PlotAxes.h"
#include "plot/PlotOptions.h"
#include "record/DataObj.h"

namespace vireon {

// Draws curve `column` of an RTA record (band centres in column 0) into `items` as steps:
// each band is level from centre/√r to centre·√r, r the ratio of the first two centres, over
// the bands that reach into max(axis start, first centre, 0.1) .. the axis stop limited to
// the last centre. Returns the extremes of the bands drawn. Nothing is drawn unless the first
// centre is at least 0.001 and not above the second.
TraceExtremes AddBandTrace(const TDataMeas& record, int column, const HorizontalAxis& axis,
                           const VerticalScale& scale, const PlotOptions& options, const Pen& pen,
                           std::vector<DisplayItem>& items);

}  // namespace vireon
