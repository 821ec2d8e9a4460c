#pragma once

#include <cstdint>

#include "record/DataObj.h"

namespace vireon {

// The analysis window (gate) of the time record between passes, and the automatic search for it.

// Whether "Find Window Edges" "with each Acquisition" searches again after this pass: for the
// impulse-like results of each stimulus, always for the plain impulse types and otherwise only
// until the first average exists. `averages_before_pass` is the time record's average count
// before this pass was added (0 on the first pass).
bool FindEdgesAfterPass(int stim_code, int acq_type, int channels,
                        std::int32_t averages_before_pass);

// The edges one search found, per channel.
struct WindowEdgesFound {
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int32_t start_b = 0;
  std::int32_t end_b = 0;
};

// "Find Window Edges": the peak search and the window-edge search on each channel (at most
// two) of the time record; the record's gates take the edges, which are also returned.
WindowEdgesFound FindAnalysisWindowEdges(TDataMeas& time_rec);

// The analysis window of the time record after a pass: the stored edges with the start at most
// length - 2 and the end at most length - 1 (and after the start), or the whole record where no
// window applies. Both channels take the same window.
void SetAnalysisWindow(TDataMeas& time_rec, std::int32_t stored_start, std::int32_t stored_end,
                       bool whole_record);

}  // namespace vireon
