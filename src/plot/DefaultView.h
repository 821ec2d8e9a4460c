#pragma once

#include "plot/PlotOptions.h"
#include "record/DataObj.h"

namespace vireon {

// Gives a record that has never been shown (it has no division count) the view a plot window
// gives a new result: the whole x range of its data (frequency data on a log axis from its
// first usable frequency), eight divisions, its first curve as trace A when no trace is chosen,
// phases over ±180°, and both traces auto-scaled.
// A record that already has a display state is left as it is.
void ApplyDefaultView(TDataMeas& record, const PlotOptions& options);

}  // namespace vireon
