#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <stop_token>
#include <thread>

namespace vireon {

// The engine's pump in real time: calls `tick` every 2 ms on its own thread, on absolute
// deadlines so that late ticks do not shift the ones after them.
class PumpThread {
 public:
  static constexpr std::chrono::milliseconds kPeriod{2};

  // `priority` is the `TimerThreadPriority` setting (1 lowest .. 6 highest).
  PumpThread(std::function<void()> tick, int priority);
  ~PumpThread();  // stops the thread and waits for its last tick
  PumpThread(const PumpThread&) = delete;
  PumpThread& operator=(const PumpThread&) = delete;

  // Applied by the thread before its next tick; values outside 1..6 are ignored.
  void SetPriority(int priority);
  // The latest a tick has started after its deadline so far.
  std::chrono::nanoseconds WorstLateness() const;

 private:
  void Run(std::stop_token stop);

  const std::function<void()> tick_;
  std::atomic<int> priority_;
  std::atomic<std::int64_t> worst_lateness_ns_{0};
  std::jthread thread_;  // last: starts once the members it uses exist
};

// Gives the calling thread the scheduling of a `TimerThreadPriority` value: nice values from
// +10 (1) to -10 (5), and for 5 and 6 the real-time FIFO class where the system permits it.
// Failures are ignored; the thread then runs as it did.
void ApplyPumpPriority(int priority);

}  // namespace vireon
