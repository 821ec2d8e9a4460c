#include "measure/AnalysisWindow.h"

#include <algorithm>

#include "measure/CodeSets.h"
#include "record/WindowEdges.h"

namespace vireon {

bool FindEdgesAfterPass(int stim_code, int acq_type, int channels,
                        std::int32_t averages_before_pass) {
  const bool no_average_yet = averages_before_pass < 1;
  if (OneOf(stim_code, {3, 4, 5})) return acq_type == 0 || acq_type == 2 || no_average_yet;
  if (OneOf(stim_code, {1, 2})) return acq_type >= 2 && (acq_type == 2 || no_average_yet);
  if (stim_code == 0) {
    return acq_type >= 2 && acq_type != 13 && (acq_type == 3 || no_average_yet);
  }
  if (stim_code == 17) return OneOf(acq_type, {0, 3}) && channels == 1;
  return false;
}

WindowEdgesFound FindAnalysisWindowEdges(TDataMeas& time_rec) {
  const int channels = std::clamp(time_rec.FNumFields, 0, 2);
  for (int c = 0; c < channels; ++c) {
    time_rec.FindPeakTime(c);
    FindWindowEdges(time_rec, c);
  }
  return {time_rec.FWinStart, time_rec.FWinEnd, time_rec.FWinStart2, time_rec.FWinEnd2};
}

void SetAnalysisWindow(TDataMeas& time_rec, std::int32_t stored_start, std::int32_t stored_end,
                       bool whole_record) {
  const std::int32_t last = std::max(time_rec.FNumPoints - 1, 0);
  std::int32_t start = 0;
  std::int32_t end = last;
  if (!whole_record && last >= 1) {
    // Edges from another record length (or reversed markers) are pulled back into this one, so
    // the gate always holds at least two samples.
    start = std::clamp(stored_start, 0, last - 1);
    end = std::clamp(stored_end, start + 1, last);
  }
  time_rec.FWinStart = time_rec.FWinStart2 = start;
  time_rec.FWinEnd = time_rec.FWinEnd2 = end;
}

}  // namespace vireon
