#include "stimulus/MlsGenerator.h"

#include <cmath>

#include "stimulus/SamplePacking.h"

namespace vireon {

namespace {

constexpr double kMlsLevel = 0.3;

// The 16-bit negative level is the bitwise complement of the positive one, -A - 1.
double BitLevel(double amplitude, bool positive, bool sixteen_bit) {
  if (positive) return amplitude;
  return sixteen_bit ? -std::nearbyint(amplitude) - 1.0 : -amplitude;
}

}  // namespace

MlsGenerator::MlsGenerator(int order, const StimulusSelection& selection, bool pink)
    : sequence_(MlsRegister::ForOrder(order)),
      pink_(pink),
      sixteen_bit_(selection.play_bits == 16),
      scale1_(selection.gain1 * FullScale(selection.play_bits)),
      scale2_(selection.gain2 * FullScale(selection.play_bits)) {
  sequence_.SeedMLS();
}

StereoValue MlsGenerator::Next(bool inverted) {
  const int bit = sequence_.NextMLSBit();
  if (pink_) {
    const double pink = filter_.Next(bit == 1 ? 1.0 : -1.0) * kPinkLevel * (inverted ? -1 : 1);
    return {scale1_ * pink, scale2_ * pink};
  }
  const bool positive = (bit == 1) != inverted;
  return {BitLevel(scale1_ * kMlsLevel, positive, sixteen_bit_),
          BitLevel(scale2_ * kMlsLevel, positive, sixteen_bit_)};
}

}  // namespace vireon
