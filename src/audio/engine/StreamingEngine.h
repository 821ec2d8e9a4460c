#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/devices/WaveDevice.h"
#include "audio/engine/AsyncCaptureControl.h"
#include "audio/engine/BufferIndexQueue.h"
#include "audio/engine/ChannelSkewFile.h"
#include "audio/engine/EngineBlocks.h"
#include "audio/engine/LevelMeters.h"

namespace vireon {

class StimulusGenerator;

// The settings a start reads (from the audio interface settings).
struct EngineSettings {
  int play_device = 0;            // negative: no output
  int record_device = 0;          // negative: no input
  double block_seconds = 0.17;    // `BufferLengthMME`
  double stabilizing_ms = 900.0;  // the play device's stabilizing time
  // Menu "MME callbacks": 1 the callbacks only keep count and the pump hands the buffers to the
  // driver; 0 the pump fills them and the callbacks hand them over.
  int servicing_mode = 1;
  std::filesystem::path data_directory;  // holds "SpecialSoundcard.qtq"; empty: none read
};

// Shows a message to the user (a driver error report, a bad skew file).
using EngineMessagePort = std::function<void(const std::string& text)>;
// The backend's own text for its last failure (PortAudio's), added to the driver error report.
using DriverErrorText = std::function<std::string()>;

// Streams both directions of a card block by block through four buffers each, running the block
// routines of the engine that was started. The controller calls it on the user-interface thread,
// the pump calls ServiceTick, and the driver reports finished buffers on its own thread.
class StreamingEngine final : private WaveCallback {
 public:
  StreamingEngine(WaveDriver& driver, EngineMessagePort show_message,
                  DriverErrorText driver_error_text = {});
  ~StreamingEngine();
  StreamingEngine(const StreamingEngine&) = delete;
  StreamingEngine& operator=(const StreamingEngine&) = delete;

  // Read by the next format change and start.
  void Configure(const EngineSettings& settings) { settings_ = settings; }
  void SetRecordFormat(int rate, int bits);
  void SetPlayFormat(int rate, int bits);
  const StreamLayout& Layout() const { return layout_; }
  // Whether the device accepts the format; opens nothing.
  bool QueryInputFormat(int device, int rate, int bits);
  bool QueryOutputFormat(int device, int rate, int bits);

  // Opens, primes and starts both directions. False when the start failed (the stop request is
  // then set and the error shown) or another start is still in progress.
  bool StartSynchronous(const BlockRoutinesFactory& factory);
  // Plays the selected stimulus of `generator`, which must outlive the stream.
  bool StartAsynchronous(StimulusGenerator& generator);
  // Resets and closes both directions; returns once the engine has left its callbacks.
  void StopStreaming();

  // Pump thread, every 2 ms: refills and empties the buffers the driver has finished. Never waits:
  // while a start or stop holds the engine, the tick does nothing.
  void ServiceTick();

  EngineStatus& Status() { return status_; }
  Captures& CaptureBuffers() { return captures_; }  // set `length` before a start
  AsyncCaptureControl& Asynchronous() { return async_control_; }
  LevelMeters& Meters() { return meters_; }
  const ChannelSkew& Skew() const { return skew_; }  // read at the last start

 private:
  struct Direction {
    std::unique_ptr<WaveStream> stream;
    std::array<std::vector<std::uint8_t>, 4> buffers;
    std::int32_t block_frames = 0;
    std::int32_t block_bytes = 0;
    std::atomic<std::int32_t> done{3};    // driver callback
    std::atomic<std::int32_t> queued{3};  // service routine
    BufferIndexQueue pending;             // servicing mode 0: service routine to callback
    std::span<std::uint8_t> Block(int index) {
      return {buffers[index].data(), static_cast<std::size_t>(block_bytes)};
    }
  };

  bool Start(const BlockRoutinesFactory& factory);
  bool StartLocked(const BlockRoutinesFactory& factory, std::vector<std::string>& messages);
  bool FailStart(int step, int result, std::vector<std::string>& messages);
  bool DrainPreviousStream();
  void StopBoth(int reset_attempts);
  void StopDirection(Direction& direction, std::atomic<bool>& open_flag, int reset_attempts);
  bool WaitForCallbacksToLeave() const;  // false: still inside one when the wait ran out
  std::string PlayDeviceName() const;

  void ServiceRings();
  void NoteHostXruns();
  bool HandToDriver(Direction& direction, int index);
  void BufferDone(WaveDirection which, int buffer_index) override;
  static bool RingLow(const Direction& direction, const std::atomic<bool>& open);

  // The stop of a running stream retries each direction's reset while the driver is busy; the
  // controller's stop and the stop at exit give up sooner.
  static constexpr int kStopResetAttempts = 16;
  static constexpr int kCombinedStopResetAttempts = 6;

  WaveDriver& driver_;
  const EngineMessagePort show_message_;
  const DriverErrorText driver_error_text_;
  EngineSettings settings_;
  StreamLayout layout_;
  EngineStatus status_;
  Captures captures_;
  AsyncCaptureControl async_control_;
  LevelMeters meters_;
  ChannelSkew skew_;
  Direction output_;
  Direction input_;
  std::unique_ptr<BlockRoutines> routines_;
  int servicing_mode_ = 1;  // the one in force for the running stream

  std::mutex control_;                 // a start or stop against the service tick
  std::atomic<bool> starting_{false};  // refuses a start inside a start
  std::atomic<bool> serviced_{false};  // the rings are serviced
  std::atomic<int> callbacks_running_{0};
};

}  // namespace vireon
