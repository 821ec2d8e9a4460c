#pragma once

#include <cstdint>

#include "stimulus/PinkFilter.h"
#include "stimulus/SampleSource.h"
#include "stimulus/StimulusSelection.h"

namespace vireon {

// The noise generator's state: seeded once when the program starts and never again, so that
// successive measurements continue one random sequence.
struct NoiseState {
  std::uint32_t seed = 2222;
  // Steps the 32-bit linear congruential generator; uniform in [-0.5, 0.5).
  double NextUniform() {
    seed = seed * 1664525u + 1013904223u;
    return seed / 4294967296.0 - 0.5;
  }
};

// White or pink noise, the same noise on both outputs with their own gains.
class NoiseGenerator : public SampleSource {
 public:
  NoiseGenerator(NoiseState& state, const StimulusSelection& selection, bool pink);
  StereoValue Next(bool inverted) override;

 private:
  NoiseState& state_;
  bool pink_;
  double scale1_;
  double scale2_;
  PinkFilter filter_;
};

}  // namespace vireon
