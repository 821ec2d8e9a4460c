#pragma once

#include <cstdint>
#include <functional>

#include "audio/devices/WaveDevice.h"

namespace vireon {

// The engine's pump without real time (tests, the command line): each step moves the card's
// clock on by 2 ms of frames and then services the engine; every 50th step also runs the
// controller's status tick. Nothing sleeps, so a run is deterministic. The card reports buffers
// from inside Advance on this same thread, so the engine's callbacks must not wait for the pump.
class FastPump {
 public:
  static constexpr int kStepsPerStatusTick = 50;

  FastPump(SteppedClock& clock, int rate, std::function<void()> service_tick,
           std::function<void()> status_tick);
  void Step();
  void Run(std::int64_t steps);
  std::int64_t Steps() const { return steps_; }
  std::int32_t FramesPerStep() const { return frames_per_step_; }

 private:
  SteppedClock& clock_;
  const std::int32_t frames_per_step_;
  const std::function<void()> service_tick_;
  const std::function<void()> status_tick_;
  std::int64_t steps_ = 0;
};

}  // namespace vireon
