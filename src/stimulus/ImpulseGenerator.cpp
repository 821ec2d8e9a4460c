#include "stimulus/ImpulseGenerator.h"

#include "stimulus/SamplePacking.h"

namespace vireon {

namespace {
constexpr std::int64_t kImpulseIndex = 40;
}  // namespace

ImpulseGenerator::ImpulseGenerator(const StimulusSelection& selection)
    : amplitude_(selection.gain1 * FullScale(selection.play_bits) * 0.3) {}

StereoValue ImpulseGenerator::Next(bool inverted) {
  if (position_++ != kImpulseIndex) return {};
  return {inverted ? -amplitude_ : amplitude_, 0.0};
}

}  // namespace vireon
