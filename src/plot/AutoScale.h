#pragma once

#include <cstdint>

#include "plot/PlotOptions.h"
#include "record/DataObj.h"

namespace vireon {

// What an auto-scale sets: bit 0 the per division, bit 1 the reference (offset and division).
enum class AutoScaleMode : std::uint8_t { Scale = 1, Reference = 2, ScaleAndReference = 3 };

// Fits trace 0 (A) or 1 (B) to its data in the visible range by the rules of its data type. A
// second call gives the same scale as the first. Returns whether the trace's per division,
// offset or reference division, or the division count, changed: the plot needs a redraw.
bool AutoScale(TDataMeas& record, int trace, AutoScaleMode mode, const PlotOptions& options);

// Both traces, per division and reference: the "AutoV" button, the window's lightning button
// and the controller after each measurement.
bool AutoScaleTraces(TDataMeas& record, const PlotOptions& options);

// The right click on "AutoV": trace A is scaled and trace B, when it has A's unit, takes A's
// scale (on time records with the offset negated, so each has its own half); otherwise B is
// scaled on its own.
bool AutoScaleShared(TDataMeas& record, const PlotOptions& options);

}  // namespace vireon
