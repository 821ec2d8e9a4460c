#include "audio/engine/PumpThread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

namespace vireon {

namespace {

constexpr std::int64_t kNanosPerSecond = 1'000'000'000;

std::int64_t Nanos(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * kNanosPerSecond + time.tv_nsec;
}

timespec TimeOf(std::int64_t nanos) {
  return {static_cast<time_t>(nanos / kNanosPerSecond), static_cast<long>(nanos % kNanosPerSecond)};
}

std::int64_t MonotonicNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return Nanos(now);
}

}  // namespace

void ApplyPumpPriority(int priority) {
  if (priority < 1 || priority > 6) return;
  static constexpr int kNice[] = {10, 5, 0, -5, -10, -15};
  static constexpr int kFifoPriority[] = {0, 0, 0, 0, 10, 20};
  const auto thread_id = static_cast<id_t>(::syscall(SYS_gettid));
  // Lowering a nice value needs a privilege the program may not have; the thread then keeps its
  // present value.
  (void)setpriority(PRIO_PROCESS, thread_id, kNice[priority - 1]);
  sched_param param{};
  param.sched_priority = kFifoPriority[priority - 1];
  (void)pthread_setschedparam(pthread_self(), param.sched_priority > 0 ? SCHED_FIFO : SCHED_OTHER,
                              &param);
}

PumpThread::PumpThread(std::function<void()> tick, int priority)
    : tick_(std::move(tick)),
      priority_(priority),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

PumpThread::~PumpThread() {
  thread_.request_stop();
  thread_.join();
}

void PumpThread::SetPriority(int priority) {
  if (priority >= 1 && priority <= 6) priority_.store(priority);
}

std::chrono::nanoseconds PumpThread::WorstLateness() const {
  return std::chrono::nanoseconds(worst_lateness_ns_.load(std::memory_order_relaxed));
}

void PumpThread::Run(std::stop_token stop) {
  const std::int64_t period = std::chrono::nanoseconds(kPeriod).count();
  int applied_priority = 0;
  std::int64_t deadline = MonotonicNow();
  while (!stop.stop_requested()) {
    if (const int wanted = priority_.load(); wanted != applied_priority) {
      ApplyPumpPriority(wanted);
      applied_priority = wanted;
    }
    deadline += period;
    const timespec wake = TimeOf(deadline);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) != 0) {
    }
    const std::int64_t lateness = MonotonicNow() - deadline;
    if (lateness > worst_lateness_ns_.load(std::memory_order_relaxed)) {
      worst_lateness_ns_.store(lateness, std::memory_order_relaxed);
    }
    // After a stall the missed ticks are not made up in a burst: one tick services every buffer
    // that is due.
    if (lateness > period) deadline = MonotonicNow();
    tick_();
  }
}

}  // namespace vireon
