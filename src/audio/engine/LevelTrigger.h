#pragma once

#include <atomic>
#include <cstdint>
#include <span>

namespace vireon {

// The level trigger of the asynchronous engine ("trig:Armed"): the capture runs as a ring until
// the source input crosses the threshold, then keeps the pre-trigger samples before that point.

struct TriggerSettings {
  bool armed = false;
  int source = 0;          // 0: capture A (input 1), 1: capture B (input 2)
  double threshold = 0.0;  // counts on the 24-bit scale
  bool positive_level = true;
  bool negative_level = false;
  bool rising = true;  // the caller swaps rising and falling for a negative calibration
  bool falling = false;
  double pretrigger_percent = 0.0;
  std::int32_t converter_latency = 0;  // samples the recording lags the trigger point
};

// Written by the user-interface thread, read by the pump, which never waits for the writer.
class TriggerSettingsCell {
 public:
  void Store(const TriggerSettings& settings);  // one writing thread
  // False while a write is in progress; `settings` then keeps what it held.
  bool TryLoad(TriggerSettings& settings) const;

 private:
  std::atomic<std::uint32_t> sequence_{0};  // odd while a write is in progress
  std::atomic<bool> armed_{false};
  std::atomic<int> source_{0};
  std::atomic<double> threshold_{0.0};
  std::atomic<bool> positive_level_{true};
  std::atomic<bool> negative_level_{false};
  std::atomic<bool> rising_{true};
  std::atomic<bool> falling_{false};
  std::atomic<double> pretrigger_percent_{0.0};
  std::atomic<std::int32_t> converter_latency_{0};
};

enum class TriggerPhase : int { kOff, kFilling, kArmed, kTriggered, kComplete };

// One triggered capture into the first `length` samples of both captures. Pump thread only.
class TriggeredCapture {
 public:
  // Begins a capture: the pre-trigger and latency samples are collected before any test.
  void Begin(const TriggerSettings& settings, std::int32_t length);
  // Threshold and edges may change while armed; the ring layout stays as begun.
  void UpdateTests(const TriggerSettings& settings) { tests_ = settings; }
  // Takes one frame; true when it completed the capture (both captures then start at index 0).
  bool Take(std::int32_t a, std::int32_t b, std::span<std::int32_t> capture_a,
            std::span<std::int32_t> capture_b);
  TriggerPhase Phase() const { return phase_; }

 private:
  bool Fires(double x);

  TriggerSettings tests_;
  TriggerPhase phase_ = TriggerPhase::kOff;
  std::int32_t length_ = 0;
  std::int32_t lead_ = 0;  // samples kept before the firing sample
  std::int32_t position_ = 0;
  std::int32_t collected_ = 0;
  std::int32_t fire_position_ = 0;
  bool below_positive_ = false;  // the "seen" marks
  bool above_positive_ = false;
  bool below_negative_ = false;
  bool above_negative_ = false;
};

}  // namespace vireon
