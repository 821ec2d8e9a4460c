#pragma once

#include <cstdint>

#include "stimulus/SampleSource.h"
#include "stimulus/StimulusSelection.h"

namespace vireon {

// One pulse per period on output 1, at sample 40 so that the capture sees the silence before it.
class ImpulseGenerator : public SampleSource {
 public:
  explicit ImpulseGenerator(const StimulusSelection& selection);
  void StartPeriod() override { position_ = 0; }
  StereoValue Next(bool inverted) override;

 private:
  double amplitude_;
  std::int64_t position_ = 0;
};

}  // namespace vireon
