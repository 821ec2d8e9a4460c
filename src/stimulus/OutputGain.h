#pragma once

namespace vireon {

// The linear gain of one output from its level control: 10^(dB/20), corrected so that both
// outputs give the same voltage for the same setting, 0 when the output is disabled, and never
// above 0.999 so that a generator at its own full level stays inside the converter's range.
struct OutputLevel {
  double level_db = 0.0;
  bool enabled = true;
  double maximum_code = 8388608.0;  // output code of the calibrated full level, 24-bit scale
  double own_scale = 1.0;           // calibrated scale of this output
  double other_scale = 1.0;         // and of the other one
};

inline constexpr double kMaxOutputGain = 0.999;

double OutputGain(const OutputLevel& output);

}  // namespace vireon
