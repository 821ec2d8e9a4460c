#pragma once

#include <string>
#include <string_view>

#include "plot/DisplayList.h"
#include "plot/PlotLayout.h"
#include "plot/PlotOptions.h"
#include "plot/TextMeasure.h"
#include "record/DataObj.h"

namespace vireon {

// The control's face and frame (0x00BBGGRR).
inline constexpr PlotColor kWindowColor = 0xF0F0F0;
inline constexpr PlotColor kHighlightColor = 0xFFFFFF;
inline constexpr PlotColor kShadowColor = 0x808080;

inline constexpr std::string_view kDefaultPlotTitle = "Data Plot";

// "acq: yyyy-mm-dd hh:nn:ss" of a stored acquisition date-time, or "acq date unknown" when it
// is not a date after the first 3000 days of the date origin or lies beyond the year 9999.
std::string AcquisitionText(double time_stamp);

// The control's face and frame alone, as a plot without a record shows it.
DisplayLayer BuildPlotFrame(int width, int height);

// The face filled and framed, and the line above the graph: the record's description (its
// `FTitle`) at the left, the acquisition date at the right (not on printouts of live plots),
// and the plot title in a framed box centred between them when it fits without touching
// either (not on live plots). Drawn in control coordinates over the whole control.
DisplayLayer BuildPlotHeader(const TDataMeas& record, const std::string& title,
                             const PlotLayout& layout, int width, int height,
                             const PlotOptions& options, const TextMeasure& measure);

}  // namespace vireon
