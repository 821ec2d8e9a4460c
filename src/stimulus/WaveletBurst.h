#pragma once

#include <cstdint>
#include <vector>

#include "stimulus/CfgStim.h"
#include "stimulus/SampleSource.h"
#include "stimulus/StimulusSelection.h"

namespace vireon {

// A burst of C cycles of a carrier (with an optional second tone) under one of nine windows,
// once per period on output 1.
class WaveletShape {
 public:
  WaveletShape(const WaveletBurstSettings& settings, double frequency_hz, int play_rate);
  std::int32_t BurstLength() const { return burst_length_; }  // B; samples 0..B are played
  double Value(std::int64_t n) const;                         // unit amplitude, 0 beyond B

 private:
  double Window(double n) const;

  WaveletBurstSettings settings_;
  std::int32_t burst_length_;
  double carrier_step_;               // Ω
  bool cosine_carrier_;               // for an odd number of half cycles
  double mix_;                        // m, the second tone's share
  double second_step_;                // Ω2
  double second_phase_;               // φ2
  double window_step_;                // t per sample of the cosine-sum windows
  std::vector<double> window_terms_;  // a0..a5 normalised by the sum of their magnitudes
};

// The burst as a unit-amplitude array for the analysis.
std::vector<double> BuildWaveletArray(const WaveletBurstSettings& settings, double frequency_hz,
                                      int play_rate, std::int32_t length);

class WaveletBurstGenerator : public SampleSource {
 public:
  WaveletBurstGenerator(const WaveletBurstSettings& settings, const StimulusSelection& selection);
  void StartPeriod() override { position_ = 0; }
  StereoValue Next(bool inverted) override;

 private:
  WaveletShape shape_;
  double scale_;
  std::int64_t position_ = 0;
};

}  // namespace vireon
