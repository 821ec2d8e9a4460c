#pragma once

namespace vireon {

// The two output values of one frame, in sample counts before rounding.
struct StereoValue {
  double left = 0.0;
  double right = 0.0;
};

// One stimulus generator: produces frame after frame, keeping its running state between blocks.
// Called on the engine's service thread, so Next never allocates.
class SampleSource {
 public:
  virtual ~SampleSource() = default;
  // A new stimulus period begins (synchronous engine, and once at start).
  virtual void StartPeriod() {}
  // The next frame; `inverted` negates the signal (the play device inverts, or alternate periods).
  virtual StereoValue Next(bool inverted) = 0;
};

}  // namespace vireon
