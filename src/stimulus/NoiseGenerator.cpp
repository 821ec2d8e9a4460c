#include "stimulus/NoiseGenerator.h"

#include "stimulus/SamplePacking.h"

namespace vireon {

namespace {

// Uniform noise in ±0.5 peaks at 0.15 of full scale at 24 bits and at 0.5 at 16 bits.
double WhiteLevel(int bits) { return bits == 16 ? 1.0 : 0.3; }

}  // namespace

NoiseGenerator::NoiseGenerator(NoiseState& state, const StimulusSelection& selection, bool pink)
    : state_(state), pink_(pink) {
  const double level = pink ? kPinkLevel : WhiteLevel(selection.play_bits);
  scale1_ = selection.gain1 * FullScale(selection.play_bits) * level;
  scale2_ = selection.gain2 * FullScale(selection.play_bits) * level;
}

StereoValue NoiseGenerator::Next(bool inverted) {
  const double white = state_.NextUniform();
  double value = pink_ ? filter_.Next(white) : white;
  if (inverted) value = -value;
  return {scale1_ * value, scale2_ * value};
}

}  // namespace vireon
