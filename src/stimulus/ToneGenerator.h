#pragma once

#include <cstdint>
#include <vector>

#include "stimulus/SampleSource.h"
#include "stimulus/StimulusSelection.h"
#include "stimulus/ToneOscillator.h"
#include "stimulus/ToneSet.h"

namespace vireon {

// The fixed and stepped tone stimuli: output 1 plays list P; output 2 plays list Q ("2ch asynch")
// or list P again ("1ch asynch"). The synchronous classes apply the burst envelope: each period
// plays the envelope's length of samples, then silence.
class ToneGenerator : public SampleSource {
 public:
  ToneGenerator(const ToneLists& lists, bool two_channel, std::vector<float> envelope,
                const StimulusSelection& selection);
  void StartPeriod() override;
  StereoValue Next(bool inverted) override;
  // New lists for the next step of stepped tones; Omega is set from the play rate.
  void SetToneLists(const ToneLists& lists);

 private:
  ToneOscillator output1_;  // list P
  ToneOscillator output2_;  // list Q
  bool two_channel_;
  std::vector<float> envelope_;
  std::size_t envelope_position_ = 0;
  int play_rate_;
  double scale1_;
  double scale2_;
  // 64-bit, so that hours of tones at high rates do not overflow it. Both lists count from the
  // same start, so one counter serves both.
  std::int64_t counter_ = 0;
};

}  // namespace vireon
