#include "audio/engine/LevelTrigger.h"

#include <algorithm>

namespace vireon {

// A sequence lock without fences: each field is stored with release and loaded with acquire, so
// a reader that sees any field of a newer write also sees the odd sequence number before it.
void TriggerSettingsCell::Store(const TriggerSettings& settings) {
  const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
  sequence_.store(sequence + 1, std::memory_order_relaxed);
  constexpr auto kOrder = std::memory_order_release;
  armed_.store(settings.armed, kOrder);
  source_.store(settings.source, kOrder);
  threshold_.store(settings.threshold, kOrder);
  positive_level_.store(settings.positive_level, kOrder);
  negative_level_.store(settings.negative_level, kOrder);
  rising_.store(settings.rising, kOrder);
  falling_.store(settings.falling, kOrder);
  pretrigger_percent_.store(settings.pretrigger_percent, kOrder);
  converter_latency_.store(settings.converter_latency, kOrder);
  sequence_.store(sequence + 2, std::memory_order_release);
}

bool TriggerSettingsCell::TryLoad(TriggerSettings& settings) const {
  const std::uint32_t before = sequence_.load(std::memory_order_acquire);
  if (before % 2 != 0) return false;
  constexpr auto kOrder = std::memory_order_acquire;
  TriggerSettings read;
  read.armed = armed_.load(kOrder);
  read.source = source_.load(kOrder);
  read.threshold = threshold_.load(kOrder);
  read.positive_level = positive_level_.load(kOrder);
  read.negative_level = negative_level_.load(kOrder);
  read.rising = rising_.load(kOrder);
  read.falling = falling_.load(kOrder);
  read.pretrigger_percent = pretrigger_percent_.load(kOrder);
  read.converter_latency = converter_latency_.load(kOrder);
  if (sequence_.load(std::memory_order_relaxed) != before) return false;
  settings = read;
  return true;
}

void TriggeredCapture::Begin(const TriggerSettings& settings, std::int32_t length) {
  tests_ = settings;
  length_ = std::max(1, length);
  const double percent = std::clamp(settings.pretrigger_percent, 0.0, 100.0);
  const auto pretrigger = static_cast<std::int32_t>(percent / 100.0 * length_);
  // The firing sample and at least one more must fit behind the kept samples; the latency
  // samples are collected as well, so that no slot of the rotated ring is stale.
  lead_ = std::clamp(pretrigger + std::max(0, settings.converter_latency), 0, length_ - 1);
  position_ = 0;
  collected_ = 0;
  below_positive_ = above_positive_ = below_negative_ = above_negative_ = false;
  phase_ = lead_ > 0 ? TriggerPhase::kFilling : TriggerPhase::kArmed;
}

bool TriggeredCapture::Fires(double x) {
  const double t = tests_.threshold;
  const bool fires = (tests_.positive_level && ((tests_.rising && below_positive_ && x >= t) ||
                                                (tests_.falling && above_positive_ && x <= t))) ||
                     (tests_.negative_level && ((tests_.rising && below_negative_ && x >= -t) ||
                                                (tests_.falling && above_negative_ && x <= -t)));
  if (fires) {
    below_positive_ = above_positive_ = below_negative_ = above_negative_ = false;
    return true;
  }
  below_positive_ = below_positive_ || x < t;
  above_positive_ = above_positive_ || x > t;
  below_negative_ = below_negative_ || x < -t;
  above_negative_ = above_negative_ || x > -t;
  return false;
}

bool TriggeredCapture::Take(std::int32_t a, std::int32_t b, std::span<std::int32_t> capture_a,
                            std::span<std::int32_t> capture_b) {
  if (phase_ == TriggerPhase::kOff || phase_ == TriggerPhase::kComplete) return false;
  capture_a[position_] = a;
  capture_b[position_] = b;
  const std::int32_t here = position_;
  position_ = (position_ + 1) % length_;
  switch (phase_) {
    case TriggerPhase::kFilling:
      if (++collected_ >= lead_) phase_ = TriggerPhase::kArmed;
      return false;
    case TriggerPhase::kArmed:
      if (!Fires(tests_.source == 1 ? b : a)) return false;
      fire_position_ = here;
      collected_ = 1;
      phase_ = TriggerPhase::kTriggered;
      break;
    default:
      ++collected_;
      break;
  }
  if (collected_ < length_ - lead_) return false;
  const std::int32_t start = ((fire_position_ - lead_) % length_ + length_) % length_;
  std::rotate(capture_a.begin(), capture_a.begin() + start, capture_a.begin() + length_);
  std::rotate(capture_b.begin(), capture_b.begin() + start, capture_b.begin() + length_);
  phase_ = TriggerPhase::kComplete;
  return true;
}

}  // namespace vireon
