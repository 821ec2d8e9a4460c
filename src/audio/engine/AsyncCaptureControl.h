#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

#include "audio/engine/LevelTrigger.h"

namespace vireon {

// What the controller and the asynchronous engine's block routines share while streaming. Each
// value has one writing thread.
struct AsyncCaptureControl {
  // Starts the capture again from the next blocks: every input block up to the block being
  // played next resets the capture position. The capture stays complete until the first of them
  // arrives. User-interface thread.
  void RestartCapture() {
    restart_until.store(blocks_played.load(std::memory_order_acquire) + 1,
                        std::memory_order_release);
  }

  // Takes nothing into the capture until the stimulus changes (stepped tones): the pump then
  // captures from the block after the first block of the new tones. Call before posting them.
  void HoldCapture() {
    hold_until.store(std::numeric_limits<std::int32_t>::max(), std::memory_order_release);
  }

  TriggerSettingsCell trigger;                 // user-interface thread
  std::atomic<std::int32_t> restart_until{0};  // user-interface thread (and the start)
  // Input blocks before this one are not captured: the user-interface thread holds, the pump
  // releases when posted tones take effect (and the start clears).
  std::atomic<std::int32_t> hold_until{0};
  std::atomic<std::int32_t> blocks_played{0};                   // pump
  std::atomic<TriggerPhase> trigger_phase{TriggerPhase::kOff};  // pump
  std::atomic<std::int32_t> captured{0};  // pump: samples in the capture so far
  std::atomic<std::int32_t> peak_a{0};    // pump: level readings of the capture
  std::atomic<std::int32_t> peak_b{0};
};

}  // namespace vireon
