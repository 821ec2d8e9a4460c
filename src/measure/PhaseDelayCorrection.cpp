#include "measure/PhaseDelayCorrection.h"

namespace vireon {

bool CompensatesFractionalSkew(int acq_type) {
  return (acq_type >= 4 && acq_type <= 11) || (acq_type >= 13 && acq_type <= 17) || acq_type == 20;
}

void PhaseDelayCorrection::Apply(TDataMeas& freq_rec, double delay_seconds) {
  freq_rec.RemoveDelay(delay_seconds - applied_);
  applied_ = delay_seconds;
}

void PhaseDelayCorrection::UndoBeforePass(TDataMeas& freq_rec) {
  freq_rec.RemoveDelay(-applied_);
  applied_ = 0.0;
}

}  // namespace vireon
