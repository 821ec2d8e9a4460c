#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/GaussianNoise.h"
#include "audio/devices/simulated/StageFilter.h"

namespace vireon {

// The device under test between the outputs and one input: source, polynomial, filter stages,
// gain, latency and delay, noise and hum, clip, quantising to the record format. Built (and
// allocated) when the record side opens; Process neither allocates nor locks.
class DutChain {
 public:
  // input: 0 for input 1, 1 for input 2.
  DutChain(const Bench& bench, int input, int rate, int record_bits);

  // The played frame in full-scale units in, the recorded sample out.
  std::int32_t Process(double output1, double output2);

 private:
  double Delayed(double y);
  double Hum();

  InputSource source_;
  std::vector<double> polynomial_;
  StageFilter filter_;
  double gain_;
  std::vector<double> delay_line_;
  std::size_t delay_position_ = 0;
  std::optional<GaussianNoise> noise_;
  double noise_rms_ = 0.0;
  std::optional<HumSettings> hum_;
  double hum_amplitude_ = 0.0;
  std::int64_t hum_sample_ = 0;
  int rate_;
  double clip_;
  std::int32_t full_scale_;
};

}  // namespace vireon
