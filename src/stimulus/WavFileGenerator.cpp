#include "stimulus/WavFileGenerator.h"

#include "stimulus/SamplePacking.h"

namespace vireon {

WavFileGenerator::WavFileGenerator(WavSamples samples, const StimulusSelection& selection,
                                   bool synchronous)
    : samples_(std::move(samples)),
      synchronous_(synchronous),
      scale1_(selection.gain1 * FullScale(selection.play_bits)),
      scale2_(selection.gain2 * FullScale(selection.play_bits)) {
  if (samples_.channel2.size() != samples_.channel1.size()) samples_.channel2 = samples_.channel1;
}

StereoValue WavFileGenerator::Next(bool inverted) {
  const std::size_t length = samples_.channel1.size();
  if (position_ >= length) {
    if (synchronous_ || length == 0) return {};
    position_ = 0;
  }
  const double sign = inverted ? -1.0 : 1.0;
  const StereoValue value{sign * scale1_ * samples_.channel1[position_],
                          sign * scale2_ * samples_.channel2[position_]};
  ++position_;
  return value;
}

}  // namespace vireon
