#pragma once

#include <cstdint>

#include "stimulus/MlsSequence.h"
#include "stimulus/PinkFilter.h"
#include "stimulus/SampleSource.h"
#include "stimulus/StimulusSelection.h"

namespace vireon {

// The MLS stimuli: one register bit per sample, sent as ±A (white) or through the pink filter.
// Both outputs carry the same sequence with their own gains.
class MlsGenerator : public SampleSource {
 public:
  MlsGenerator(int order, const StimulusSelection& selection, bool pink);
  void StartPeriod() override { sequence_.SeedMLS(); }
  StereoValue Next(bool inverted) override;

 private:
  MlsRegister sequence_;
  bool pink_;
  bool sixteen_bit_;
  double scale1_;  // gain × full scale
  double scale2_;
  PinkFilter filter_;
};

}  // namespace vireon
