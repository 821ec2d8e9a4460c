#pragma once

#include <atomic>
#include <cstdint>

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

  TriggerSettingsCell trigger;                 // user-interface thread
  std::atomic<std::int32_t> restart_until{0};  // user-interface thread (and the start)
  std::atomic<std::int32_t> blocks_played{0};  // pump
  std::atomic<TriggerPhase> trigger_phase{TriggerPhase::kOff};  // pump
  std::atomic<std::int32_t> captured{0};  // pump: samples in the capture so far
  std::atomic<std::int32_t> peak_a{0};    // pump: level readings of the capture
  std::atomic<std::int32_t> peak_b{0};
};

}  // namespace vireon
