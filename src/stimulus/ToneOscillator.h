#pragma once

#include <cstdint>
#include <vector>

#include "stimulus/ToneSet.h"

namespace vireon {

// Plays a tone list sample by sample at the cost of a few multiplications per sine: each sine
// turns a phasor by Omega per sample and takes its exact cosine and sine again every 1024 samples
// (and after any jump of the counter), which keeps it within 1e-13 of ToneSetValue. The other
// kinds, whose edges must fall on the exact samples, are computed directly. Setting a list
// allocates; Value does not.
class ToneOscillator {
 public:
  void SetList(const SineParsArray& list);
  double Value(std::int64_t n);

 private:
  struct Rotor {
    double cos_step = 1.0;
    double sin_step = 0.0;
    double cos_angle = 1.0;
    double sin_angle = 0.0;
  };

  SineParsArray list_;
  std::vector<Rotor> rotors_;
  std::int64_t next_n_ = -1;
};

}  // namespace vireon
