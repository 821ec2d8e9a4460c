#include "audio/engine/StreamingEngine.h"

#include <chrono>
#include <thread>

#include "audio/engine/AsyncBlockRoutines.h"
#include "audio/engine/DriverErrorReport.h"
#include "audio/engine/StreamFormats.h"

namespace vireon {

namespace {

// A device that would not stop is tried again at the next start, but not for ever.
constexpr int kDrainAttempts = 10;
// Callbacks finish in microseconds; a driver that stays inside one longer is not waited for.
constexpr auto kCallbackWaitLimit = std::chrono::seconds(2);

}  // namespace

StreamingEngine::StreamingEngine(WaveDriver& driver, EngineMessagePort show_message,
                                 DriverErrorText driver_error_text)
    : driver_(driver),
      show_message_(std::move(show_message)),
      driver_error_text_(std::move(driver_error_text)) {
  for (Direction* direction : {&output_, &input_}) {
    for (std::vector<std::uint8_t>& buffer : direction->buffers)
      buffer.assign(kBlockBufferBytes, 0);
  }
  SetPlayFormat(192000, 24);
  SetRecordFormat(192000, 24);
}

StreamingEngine::~StreamingEngine() { StopStreaming(); }

void StreamingEngine::SetRecordFormat(int rate, int bits) {
  layout_.record_rate = rate;
  layout_.record_bits = bits;
  layout_.record_frames_per_block = FramesPerBlock(rate, bits, settings_.block_seconds);
}

void StreamingEngine::SetPlayFormat(int rate, int bits) {
  layout_.play_rate = rate;
  layout_.play_bits = bits;
  layout_.play_frames_per_block = FramesPerBlock(rate, bits, settings_.block_seconds);
  layout_.lead_in = StabilizingLeadIn(rate, settings_.stabilizing_ms);
}

bool StreamingEngine::QueryInputFormat(int device, int rate, int bits) {
  const auto count = static_cast<int>(driver_.DeviceNames(WaveDirection::kRecord).size());
  return device >= 0 && device < count &&
         driver_.QueryFormat(WaveDirection::kRecord, device, {rate, bits}) == kMmNoError;
}

bool StreamingEngine::QueryOutputFormat(int device, int rate, int bits) {
  const auto count = static_cast<int>(driver_.DeviceNames(WaveDirection::kPlay).size());
  return device >= 0 && device < count &&
         driver_.QueryFormat(WaveDirection::kPlay, device, {rate, bits}) == kMmNoError;
}

bool StreamingEngine::StartSynchronous(const BlockRoutinesFactory& factory) {
  return Start(factory);
}

bool StreamingEngine::StartAsynchronous(StimulusGenerator& generator) {
  return Start(AsynchronousBlocks(generator, async_control_));
}

bool StreamingEngine::Start(const BlockRoutinesFactory& factory) {
  if (starting_.exchange(true)) return false;
  std::vector<std::string> messages;
  bool started = false;
  {
    // Also when the block routines' factory throws (out of memory for the captures).
    const std::unique_ptr<std::atomic<bool>, void (*)(std::atomic<bool>*)> start_ends(
        &starting_, [](std::atomic<bool>* starting) { starting->store(false); });
    const std::lock_guard lock(control_);
    started = StartLocked(factory, messages);
  }
  // Shown only now: a message box may run an event loop that calls the engine again.
  if (show_message_) {
    for (const std::string& message : messages) show_message_(message);
  }
  return started;
}

bool StreamingEngine::StartLocked(const BlockRoutinesFactory& factory,
                                  std::vector<std::string>& messages) {
  // Callbacks of a stream still running return at once from here on.
  status_.stop_request.store(true);
  serviced_.store(false);
  const bool drained = DrainPreviousStream();
  status_.idle.store(true);
  if (!drained) {
    messages.push_back(DriverErrorReport(kStepAborted, kMmHandleBusy));
    return false;
  }

  if (!settings_.data_directory.empty()) {
    ChannelSkewReading skew =
        ReadChannelSkewFile(settings_.data_directory, PlayDeviceName(), layout_.record_rate);
    skew_ = skew.skew;
    if (!skew.error.empty()) messages.push_back(std::move(skew.error));
  }
  for (Direction* direction : {&output_, &input_}) {
    direction->done.store(0);
    direction->queued.store(0);
    direction->pending.Clear();
  }
  output_.block_frames = layout_.play_frames_per_block;
  output_.block_bytes = output_.block_frames * 2 * (layout_.play_bits / 8);
  input_.block_frames = layout_.record_frames_per_block;
  input_.block_bytes = input_.block_frames * 2 * (layout_.record_bits / 8);
  servicing_mode_ = settings_.servicing_mode;
  // Before the flags clear, so that a factory that throws leaves the engine stopped and idle.
  routines_ = factory(layout_, status_, captures_);
  status_.playback_underrun.store(false);
  status_.record_overrun.store(false);
  status_.capture_complete.store(false);
  status_.sync_good.store(false);
  status_.sync_failures.store(0);
  status_.ring_low.store(false);
  status_.stop_request.store(false);
  status_.idle.store(false);

  const bool want_output = settings_.play_device >= 0;
  const bool want_input = settings_.record_device >= 0;
  if ((!want_output && !want_input) || (want_output && output_.block_frames <= 0) ||
      (want_input && input_.block_frames <= 0)) {
    return FailStart(kStepAborted, kMmInvalidParam, messages);
  }
  if (want_output) {
    const WaveFormat format{layout_.play_rate, layout_.play_bits};
    const int result =
        driver_.Open(WaveDirection::kPlay, settings_.play_device, format, *this, output_.stream);
    if (result != kMmNoError || !output_.stream) {
      output_.stream.reset();
      return FailStart(kStepOutputOpen, result, messages);
    }
    status_.output_open.store(true);
    if (const int paused = output_.stream->Pause(); paused != kMmNoError) {
      return FailStart(kStepOutputPause, paused, messages);
    }
  }
  if (want_input) {
    const WaveFormat format{layout_.record_rate, layout_.record_bits};
    const int result =
        driver_.Open(WaveDirection::kRecord, settings_.record_device, format, *this, input_.stream);
    if (result != kMmNoError || !input_.stream) {
      input_.stream.reset();
      return FailStart(kStepInputOpen, result, messages);
    }
    status_.input_open.store(true);
  }

  if (output_.stream) {
    for (int i = 0; i < kBlocksInFlight; ++i) {
      routines_->FillOutputBlock(output_.Block(i), output_.block_frames);
      meters_.MeterOutputBlock(output_.Block(i), layout_.play_bits, output_.block_frames);
    }
    for (int i = 0; i < kBlocksInFlight; ++i) {
      if (const int result = output_.stream->Queue(i, output_.Block(i)); result != kMmNoError) {
        return FailStart(i == 0   ? kStepOutputWrite0
                         : i == 1 ? kStepOutputWrite1
                                  : kStepOutputWrite2,
                         result, messages);
      }
    }
    output_.done.store(3);
    output_.queued.store(3);
  }
  if (input_.stream) {
    for (int i = 0; i < kBlocksInFlight; ++i) {
      if (const int result = input_.stream->Queue(i, input_.Block(i)); result != kMmNoError) {
        return FailStart(kStepInputAdd, result, messages);
      }
    }
    input_.done.store(3);
    input_.queued.store(3);
  }

  serviced_.store(true);
  // Recording starts first, so that a duplex device runs both directions on one clock.
  if (input_.stream) {
    if (const int result = input_.stream->Start(); result != kMmNoError) {
      return FailStart(kStepInputStart, result, messages);
    }
  }
  if (output_.stream) {
    if (const int result = output_.stream->Start(); result != kMmNoError) {
      return FailStart(kStepOutputRestart, result, messages);
    }
  }
  return true;
}

bool StreamingEngine::FailStart(int step, int result, std::vector<std::string>& messages) {
  status_.stop_request.store(true);
  serviced_.store(false);
  StopBoth(kStopResetAttempts);
  status_.idle.store(true);
  messages.push_back(
      DriverErrorReport(step, result, driver_error_text_ ? driver_error_text_() : std::string()));
  return false;
}

bool StreamingEngine::DrainPreviousStream() {
  for (int attempt = 0; attempt < kDrainAttempts; ++attempt) {
    if (input_.stream) StopDirection(input_, status_.input_open, kStopResetAttempts);
    if (output_.stream) StopDirection(output_, status_.output_open, kStopResetAttempts);
    if (!input_.stream && !output_.stream) return true;
  }
  return false;
}

void StreamingEngine::StopStreaming() {
  status_.stop_request.store(true);
  const std::lock_guard lock(control_);
  serviced_.store(false);
  StopBoth(kCombinedStopResetAttempts);
  status_.idle.store(true);
}

void StreamingEngine::StopBoth(int reset_attempts) {
  StopDirection(input_, status_.input_open, reset_attempts);
  StopDirection(output_, status_.output_open, reset_attempts);
}

// The stop request is set, so the callbacks of the buffers the reset returns only pass through:
// they are the stop's own returns, not an underrun or overrun.
void StreamingEngine::StopDirection(Direction& direction, std::atomic<bool>& open_flag,
                                    int reset_attempts) {
  if (!direction.stream) return;
  int result = kMmError;
  for (int attempt = 0; attempt < reset_attempts; ++attempt) {
    result = direction.stream->Reset();
    if (result == kMmNoError || result == kMmInvalidHandle) break;
  }
  // A device that keeps failing its reset may still be playing or filling our buffers: it stays
  // open, and the next start tries again.
  if (result != kMmNoError && result != kMmInvalidHandle) return;
  direction.stream->Close();
  if (!WaitForCallbacksToLeave() && show_message_) {
    show_message_(
        "The sound card's driver had not left its buffer callback after 2 s: the stream "
        "was closed anyway");
  }
  direction.stream.reset();
  direction.pending.Clear();
  open_flag.store(false);
}

bool StreamingEngine::WaitForCallbacksToLeave() const {
  const auto limit = std::chrono::steady_clock::now() + kCallbackWaitLimit;
  while (callbacks_running_.load() > 0) {
    if (std::chrono::steady_clock::now() >= limit) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  return true;
}

std::string StreamingEngine::PlayDeviceName() const {
  const std::vector<std::string> names = driver_.DeviceNames(WaveDirection::kPlay);
  const int device = settings_.play_device;
  return device >= 0 && device < static_cast<int>(names.size()) ? names[device] : std::string();
}

}  // namespace vireon
