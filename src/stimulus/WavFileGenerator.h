#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "stimulus/SampleSource.h"
#include "stimulus/StimulusSelection.h"

namespace vireon {

// The samples of a decoded WAV file, as doubles in -1..1; channel 2 is empty for a mono file.
struct WavSamples {
  std::vector<double> channel1;
  std::vector<double> channel2;
};
// Decodes a WAV file; nullopt when it cannot be used.
using WavLoader = std::function<std::optional<WavSamples>(const std::string& file_name)>;

// Plays a WAV file: once per period, then silence (synchronous), or looped (asynchronous, output 2
// from the file's channel 2, or channel 1 of a mono file).
class WavFileGenerator : public SampleSource {
 public:
  WavFileGenerator(WavSamples samples, const StimulusSelection& selection, bool synchronous);
  void StartPeriod() override { position_ = 0; }
  StereoValue Next(bool inverted) override;

 private:
  WavSamples samples_;
  bool synchronous_;
  double scale1_;
  double scale2_;
  std::size_t position_ = 0;
};

}  // namespace vireon
