#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace vireon {

// Flags the engine shares with the controller. Each has one writer (the stop request: any
// thread, cleared only by a start); writes release, reads acquire, so that a reader who sees
// `capture_complete` also sees the captured samples.
struct EngineStatus {
  std::atomic<bool> stop_request{false};
  // Set by the device callback from the rings, or by the pump when the host reports an xrun of
  // its own; never cleared while streaming.
  std::atomic<bool> playback_underrun{false};
  std::atomic<bool> record_overrun{false};
  std::atomic<bool> ring_low{false};  // device callback sets, pump clears
  // Set by the pump when a capture is whole; the controller clears it once it has taken the
  // capture (after asking the asynchronous engine for the next one), and until then the
  // synchronous engine captures no later period.
  std::atomic<bool> capture_complete{false};
  std::atomic<bool> sync_good{false};  // pump (synchronous engine)
  // Searches that failed and locks that were lost since the start: a capture waiting for sync
  // can tell a failed search from one still running.
  std::atomic<std::int32_t> sync_failures{0};  // pump (synchronous engine)
  std::atomic<bool> output_open{false};        // user-interface thread
  std::atomic<bool> input_open{false};         // user-interface thread
  std::atomic<bool> idle{true};
};

// Recorded samples on the 24-bit scale, sign-extended. Sized before the devices open (nothing
// is allocated while streaming) and written only by the pump thread.
struct Captures {
  std::vector<std::int32_t> a;  // input 1
  std::vector<std::int32_t> b;  // input 2 (asynchronous engine)
  std::int32_t length = 0;      // the requested capture length
};

// Formats and block lengths fixed for one start.
struct StreamLayout {
  int play_rate = 48000;
  int play_bits = 24;
  int record_rate = 48000;
  int record_bits = 24;
  std::int32_t play_frames_per_block = 0;
  std::int32_t record_frames_per_block = 0;
  std::int32_t lead_in = 0;  // the stabilizing lead-in, play samples
};

// One engine's work on each block; called on the pump thread only, never allocating.
class BlockRoutines {
 public:
  virtual ~BlockRoutines() = default;
  // Fills one play buffer of `frames` frames in the play format.
  virtual void FillOutputBlock(std::span<std::uint8_t> block, std::int32_t frames) = 0;
  // Takes one record buffer of `frames` frames in the record format.
  virtual void ProcessInputBlock(std::span<const std::uint8_t> block, std::int32_t frames) = 0;
};

// Builds one start's block routines once the previous stream is drained: it may size the
// captures, and keeps references to the status and captures, which outlive it.
using BlockRoutinesFactory = std::function<std::unique_ptr<BlockRoutines>(
    const StreamLayout& layout, EngineStatus& status, Captures& captures)>;

}  // namespace vireon
