#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "audio/devices/WaveDevice.h"

namespace vireon {

// A loopback card for the engine's tests: output 1 returns on input 1 and output 2 on input 2,
// `latency` frames later, on one sample clock that only moves when the test (or the fast pump)
// advances it. Buffers are reported done from inside Advance and Reset, on the caller's thread.
// Every driver call is logged, and any of them can be made to fail.
class ScriptedCard : public WaveDriver, public SteppedClock {
 public:
  struct Failures {
    int open_play = kMmNoError;
    int open_record = kMmNoError;
    int pause = kMmNoError;
    int start_play = kMmNoError;
    int start_record = kMmNoError;
    int queue_play_call = -1;  // this play Queue call (0-based) fails with `queue_result`
    int queue_record_call = -1;
    int queue_result = kMmNoError;
    int reset_failures = 0;  // resets failing with "handle busy" before one succeeds, per stream
  };

  explicit ScriptedCard(std::int32_t latency = 0) : latency_(latency) {}

  std::vector<std::string> DeviceNames(WaveDirection direction) const override;
  int QueryFormat(WaveDirection direction, int device, const WaveFormat& format) override;
  int Open(WaveDirection direction, int device, const WaveFormat& format, WaveCallback& callback,
           std::unique_ptr<WaveStream>& stream) override;
  void Advance(std::int32_t frames) override;

  Failures failures;
  std::vector<std::string> log;  // "open play", "queue record 2", "reset play", ...
  // Play buffers queued or record buffers added after streaming began, from outside a callback.
  int queued_outside_callbacks = 0;
  int returned_by_reset = 0;
  int open_streams = 0;
  // Every frame the card played, on the 24-bit scale (silence when no buffer was queued).
  std::vector<std::int32_t> played_left;
  std::vector<std::int32_t> played_right;
  bool stalled = false;  // the clock moves, but no buffer completes
  // Xruns the host reports behind the buffers, per direction (play, record).
  std::int64_t host_xruns[2] = {0, 0};

 private:
  friend class ScriptedStream;
  struct Queued {
    int index;
    std::span<std::uint8_t> buffer;
  };
  struct Side {
    bool open = false;
    bool running = false;
    WaveFormat format;
    WaveCallback* callback = nullptr;
    std::deque<Queued> queue;
    std::int32_t position = 0;  // frames into the head buffer
    int queue_calls = 0;
    int reset_failures_left = 0;
  };
  Side& SideOf(WaveDirection direction) {
    return direction == WaveDirection::kPlay ? play_ : record_;
  }
  void Report(WaveDirection direction, int index);

  const std::int32_t latency_;
  Side play_;
  Side record_;
  std::deque<std::pair<std::int32_t, std::int32_t>> delay_line_;
  bool in_callback_ = false;
  bool streaming_ = false;
};

}  // namespace vireon
