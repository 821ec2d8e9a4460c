#pragma once

#include "record/DataObj.h"

namespace vireon {

// Acquisition types whose frequency results are corrected for the fractional channel skew the
// engine reports: 4 to 11, 13 to 17 and 20.
bool CompensatesFractionalSkew(int acq_type);

// Keeps a delay (the converters' fractional channel skew, the measured delay of the result) out
// of the phase a frequency record shows, while every pass is still averaged into uncorrected
// phase. It remembers what it removed, so taking it out restores exactly the uncorrected phase
// and never adds back what was not removed (a pass shown as time data gets no correction). A new
// measurement starts with a new object.
class PhaseDelayCorrection {
 public:
  // After a pass, when the record is shown: removes the delay (seconds) from every phase column.
  // A record that already carries a correction is brought to this one, not corrected twice.
  void Apply(TDataMeas& freq_rec, double delay_seconds);
  // Before every pass goes into the record, averaged or not: puts back what Apply removed, once.
  void UndoBeforePass(TDataMeas& freq_rec);
  // The delay the record's phases are corrected by now.
  double Applied() const { return applied_; }

 private:
  double applied_ = 0.0;
};

}  // namespace vireon
