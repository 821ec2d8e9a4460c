#include "audio/engine/FastPump.h"

#include <cmath>

namespace vireon {

FastPump::FastPump(SteppedClock& clock, int rate, std::function<void()> service_tick,
                   std::function<void()> status_tick)
    : clock_(clock),
      frames_per_step_(static_cast<std::int32_t>(std::nearbyint(rate * 0.002))),
      service_tick_(std::move(service_tick)),
      status_tick_(std::move(status_tick)) {}

void FastPump::Step() {
  clock_.Advance(frames_per_step_);
  if (service_tick_) service_tick_();
  if (++steps_ % kStepsPerStatusTick == 0 && status_tick_) status_tick_();
}

void FastPump::Run(std::int64_t steps) {
  for (std::int64_t i = 0; i < steps; ++i) Step();
}

}  // namespace vireon
