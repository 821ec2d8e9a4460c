#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "audio/devices/WaveDevice.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/DutChain.h"
#include "audio/devices/simulated/PendingBuffers.h"
#include "audio/devices/simulated/RealTimeTicker.h"

namespace vireon {

// A sound card without hardware: one play and one record device, both named kDeviceName, that
// send every played frame through the bench's device under test back to the inputs, with the
// round-trip latency and the faults of the bench. The card must outlive its streams.
//
// In fast mode the sample clock moves only inside Advance, on the caller's thread, and the same
// bench and calls give bit-identical captures. In real-time mode a thread of the card moves it
// by the wall clock while a stream is open; Advance does nothing then. Each direction takes its
// Queue calls from one thread at a time. In real-time mode the other stream operations wait for
// the card's thread, so a callback must not call them.
class SimulatedCard : public WaveDriver, public SteppedClock {
 public:
  enum class Clock { kFast, kRealTime };
  static constexpr std::string_view kDeviceName = "Simulated card (test bench)";

  SimulatedCard(Bench bench, Clock clock);
  ~SimulatedCard() override;
  SimulatedCard(const SimulatedCard&) = delete;
  SimulatedCard& operator=(const SimulatedCard&) = delete;

  const Bench& bench() const { return bench_; }

  std::vector<std::string> DeviceNames(WaveDirection direction) const override;
  int QueryFormat(WaveDirection direction, int device, const WaveFormat& format) override;
  int Open(WaveDirection direction, int device, const WaveFormat& format, WaveCallback& callback,
           std::unique_ptr<WaveStream>& stream) override;
  void Advance(std::int32_t frames) override;

 private:
  class Stream;

  // One direction's state. `open` and `in_flight` are read by the queueing thread; the rest
  // belongs to the thread that runs the clock.
  struct Direction {
    std::atomic<bool> open{false};
    std::atomic<int> in_flight{0};
    WaveFormat format;
    WaveCallback* callback = nullptr;
    PendingBuffers pending;
    std::size_t frame_in_buffer = 0;
    bool running = false;  // play: not paused; record: started
    // Buffers finished during a stall, reported when it ends.
    std::array<int, PendingBuffers::kCapacity> withheld{};
    std::size_t withheld_count = 0;
    int reset_failures_left = 0;
  };

  Direction& Of(WaveDirection direction);
  bool Accepts(const WaveFormat& format) const;

  // Stream operations, run where the clock runs (see RunWithClock).
  int Queue(WaveDirection direction, int buffer_index, std::span<std::uint8_t> buffer);
  int Pause(WaveDirection direction);
  int Start(WaveDirection direction);
  int Reset(WaveDirection direction);
  int Close(WaveDirection direction);

  // Runs `task` while the clock stands still: at once in fast mode or with no thread running,
  // else on the card's thread between two steps, waiting until it is done.
  template <class Task>
  void RunWithClock(Task&& task);
  void Step(std::int32_t frames);
  void RunFrames(std::int32_t frames);
  void FinishBuffer(WaveDirection direction);
  void Report(WaveDirection direction, int buffer_index);
  void ReportWithheld(WaveDirection direction);

  const Bench bench_;
  const Clock clock_;
  std::array<Direction, 2> directions_;            // play, record
  std::array<std::optional<DutChain>, 2> chains_;  // built when the record side opens
  int rate_ = 0;
  std::int64_t play_buffers_done_ = 0;
  std::int64_t stall_frames_left_ = 0;
  std::int64_t stall_due_frames_ = 0;  // set by the buffer that starts the stall
  bool stalled_ = false;               // the stall comes once per opening of the play side

  // Real-time mode: the thread and the hand-over of stream operations to it.
  std::unique_ptr<RealTimeTicker> ticker_;
  std::mutex control_mutex_;  // one stream operation at a time; never taken by the card thread
  void (*task_function_)(void*) = nullptr;
  void* task_context_ = nullptr;
  std::atomic<bool> task_pending_{false};
};

}  // namespace vireon
