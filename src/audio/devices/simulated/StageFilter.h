#pragma once

#include <cstddef>
#include <span>
#include <variant>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"

namespace vireon {

// The filter stages of one bench input, run sample by sample at one rate. Everything is
// allocated when it is built; Process neither allocates nor locks.
class StageFilter {
 public:
  StageFilter(std::span<const FilterStage> stages, int rate);
  double Process(double x);

 private:
  // Transposed direct form II: two state values.
  struct Biquad {
    BiquadStage c;
    double s1 = 0.0;
    double s2 = 0.0;
    double Process(double x);
  };
  // The history is kept twice over, so the taps always meet one contiguous stretch of it.
  struct Fir {
    std::vector<double> taps;
    std::vector<double> history;
    std::size_t position = 0;
    double Process(double x);
  };

  std::vector<std::variant<Biquad, Fir>> stages_;
};

}  // namespace vireon
