#include "stimulus/ToneGenerator.h"

#include "stimulus/SamplePacking.h"

namespace vireon {

ToneGenerator::ToneGenerator(const ToneLists& lists, bool two_channel, std::vector<float> envelope,
                             const StimulusSelection& selection)
    : two_channel_(two_channel),
      envelope_(std::move(envelope)),
      play_rate_(selection.play_rate),
      scale1_(selection.gain1 * FullScale(selection.play_bits)),
      scale2_(selection.gain2 * FullScale(selection.play_bits)) {
  SetToneLists(lists);
}

void ToneGenerator::SetToneLists(const ToneLists& lists) {
  SineParsArray p = lists.p;
  SineParsArray q = lists.q;
  SetToneRate(p, play_rate_);
  SetToneRate(q, play_rate_);
  output1_.SetList(p);
  output2_.SetList(q);
}

// Each period starts the tones afresh, so that every synchronous period plays the same burst.
void ToneGenerator::StartPeriod() {
  counter_ = 0;
  envelope_position_ = 0;
}

StereoValue ToneGenerator::Next(bool inverted) {
  double factor = inverted ? -1.0 : 1.0;
  if (!envelope_.empty()) {
    factor *= envelope_position_ < envelope_.size() ? envelope_[envelope_position_] : 0.0;
    ++envelope_position_;
  }
  const std::int64_t n = counter_++;
  const double p = output1_.Value(n);
  if (!two_channel_) return {scale1_ * p * factor, scale2_ * p * factor};
  return {scale1_ * p * factor, scale2_ * output2_.Value(n) * factor};
}

}  // namespace vireon
