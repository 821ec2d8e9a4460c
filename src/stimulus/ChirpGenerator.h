#pragma once

#include <cstdint>
#include <vector>

#include "stimulus/CfgStim.h"
#include "stimulus/SampleSource.h"
#include "stimulus/StimulusSelection.h"

namespace vireon {

// Logarithmic or linear sine sweeps, their phase and increment kept in extended precision.

struct ChirpSweepParameters {
  double start_hz = 20.0;    // f1
  double stop_hz = 20000.0;  // f2
  std::int32_t length = 0;   // N samples
  int play_rate = 48000;
  bool linear = false;
};

// The impulse and frequency response acquisitions sweep the full band whatever the settings.
bool HasFixedChirpLimits(int acq_type);
ChirpSweepParameters ChirpSweepFor(const ChirpSettings& settings, int acq_type, int play_rate,
                                   int record_rate);

class ChirpSweep {
 public:
  explicit ChirpSweep(const ChirpSweepParameters& parameters);
  void Restart();
  double Next();  // sin(φ) for the first N samples, 0 after
  // Octaves per second of a logarithmic sweep (0 for a linear one), for the analysis.
  double OctavesPerSecond() const;

 private:
  ChirpSweepParameters parameters_;
  long double first_increment_;
  long double ratio_;        // logarithmic: increment factor per sample
  long double linear_step_;  // linear: increment added per sample
  long double phase_ = 0.0L;
  long double increment_ = 0.0L;
  std::int32_t index_ = 0;
};

// The sweep as a unit-amplitude array of `length` samples, for the analysis.
std::vector<double> BuildChirpArray(const ChirpSweepParameters& parameters, std::int32_t length);

// The chirp stimulus of either engine: alone on output 1 (synchronous), or on both outputs after a
// pre-delay, once per stimulus period (asynchronous), as the distortion acquisitions' reference
// chirp or pair of chirps, and with the fade of "LPF on Output 2 (chirps)".
class ChirpGenerator : public SampleSource {
 public:
  ChirpGenerator(const ChirpSettings& settings, const StimulusSelection& selection,
                 bool synchronous);
  void StartPeriod() override;
  StereoValue Next(bool inverted) override;
  double OctavesPerSecond() const { return sweep_.OctavesPerSecond(); }

 private:
  double ChirpValue(std::int32_t k);
  double Output2Fade(std::int32_t k) const;

  ChirpSweepParameters parameters_;
  ChirpSweep sweep_;
  bool synchronous_;
  double scale1_;
  double scale2_;
  std::int32_t pre_delay_;
  std::int32_t period_length_;
  std::vector<double> reference_;  // the distortion acquisitions' chirp, amplitude 0.99
  std::int32_t pair_delay_ = -1;   // "Freq.Resp and IMD": delay of the second chirp
  std::int32_t fade_length_ = -1;  // -1: output 2 is not faded
  std::int32_t position_ = 0;      // samples since the period began
};

}  // namespace vireon
