#include "audio/devices/simulated/RealTimeTicker.h"

#include <time.h>

#include <cerrno>

namespace vireon {
namespace {

constexpr long kStepNanoseconds = 1000000;
constexpr int kStepsPerSecond = 1000;

void AddStep(timespec& time) {
  time.tv_nsec += kStepNanoseconds;
  if (time.tv_nsec >= 1000000000) {
    time.tv_nsec -= 1000000000;
    ++time.tv_sec;
  }
}

}  // namespace

RealTimeTicker::RealTimeTicker(int rate, std::function<void(std::int32_t frames)> step)
    : rate_(rate), step_(std::move(step)), thread_([this] { Run(); }) {}

RealTimeTicker::~RealTimeTicker() {
  stop_.store(true, std::memory_order_release);
  thread_.join();
}

void RealTimeTicker::Run() {
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  std::int64_t steps = 0;
  std::int64_t frames_done = 0;
  while (!stop_.load(std::memory_order_acquire)) {
    AddStep(deadline);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
    ++steps;
    const std::int64_t frames_due = steps * rate_ / kStepsPerSecond;
    step_(static_cast<std::int32_t>(frames_due - frames_done));
    frames_done = frames_due;
  }
}

}  // namespace vireon
