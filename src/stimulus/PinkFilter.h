#pragma once

namespace vireon {

// Turns white input into pink (-3 dB per octave) with three one-pole sections plus a direct path.
class PinkFilter {
 public:
  double Next(double white) {
    b0_ = 0.99765 * b0_ + 0.099046 * white;
    b1_ = 0.963 * b1_ + 0.2965164 * white;
    b2_ = 0.57 * b2_ + 1.0526913 * white;
    return b0_ + b1_ + b2_ + 0.2848 * white;
  }

 private:
  double b0_ = 0.0;
  double b1_ = 0.0;
  double b2_ = 0.0;
};

// Pink samples are scaled by this (with gain and full scale) so that their peaks stay in range.
inline constexpr double kPinkLevel = 0.1 * 0.3;

}  // namespace vireon
