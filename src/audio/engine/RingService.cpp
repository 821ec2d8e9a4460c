// The two sides of the buffer rings: the pump's service routine and the driver's callback.

#include "audio/engine/StreamingEngine.h"

namespace vireon {

namespace {

int NextIndex(std::int32_t index) { return (index + 1) % 4; }

}  // namespace

void StreamingEngine::ServiceTick() {
  if (status_.idle.load(std::memory_order_acquire)) return;
  std::unique_lock lock(control_, std::try_to_lock);
  if (!lock.owns_lock() || !serviced_.load()) return;
  if (!status_.stop_request.load(std::memory_order_acquire)) {
    ServiceRings();
    NoteHostXruns();
  }
  if (status_.stop_request.load(std::memory_order_acquire)) {
    serviced_.store(false);
    StopBoth(kStopResetAttempts);
    status_.idle.store(true, std::memory_order_release);
  }
}

// An xrun the host's audio system had on its own (behind our rings) spoils the stream as much as
// one of ours.
void StreamingEngine::NoteHostXruns() {
  const auto note = [this](const Direction& direction, std::atomic<bool>& flag) {
    if (direction.stream && direction.stream->HostXruns() > 0) {
      flag.store(true, std::memory_order_release);
      status_.stop_request.store(true, std::memory_order_release);
    }
  };
  note(output_, status_.playback_underrun);
  note(input_, status_.record_overrun);
}

void StreamingEngine::ServiceRings() {
  bool worked = true;
  while (worked && !status_.stop_request.load(std::memory_order_acquire)) {
    worked = false;
    if (output_.stream && output_.done.load(std::memory_order_acquire) !=
                              output_.queued.load(std::memory_order_relaxed)) {
      const int index = NextIndex(output_.queued.load(std::memory_order_relaxed));
      routines_->FillOutputBlock(output_.Block(index), output_.block_frames);
      meters_.MeterOutputBlock(output_.Block(index), layout_.play_bits, output_.block_frames);
      if (!HandToDriver(output_, index)) break;
      worked = true;
    }
    if (input_.stream && input_.done.load(std::memory_order_acquire) !=
                             input_.queued.load(std::memory_order_relaxed)) {
      const int index = NextIndex(input_.queued.load(std::memory_order_relaxed));
      routines_->ProcessInputBlock(input_.Block(index), input_.block_frames);
      meters_.MeterInputBlock(input_.Block(index), layout_.record_bits, input_.block_frames);
      if (!HandToDriver(input_, index)) break;
      worked = true;
    }
  }
  status_.ring_low.store(false, std::memory_order_release);
}

// Mode 1 gives the buffer to the driver here; mode 0 leaves that to the direction's next
// callback, so that once streaming no buffer reaches the driver outside its callback thread.
bool StreamingEngine::HandToDriver(Direction& direction, int index) {
  const bool handed = servicing_mode_ == 0
                          ? direction.pending.Push(index)
                          : direction.stream->Queue(index, direction.Block(index)) == kMmNoError;
  if (!handed) {
    status_.stop_request.store(true, std::memory_order_release);
    return false;
  }
  direction.queued.store(index, std::memory_order_release);
  return true;
}

bool StreamingEngine::RingLow(const Direction& direction, const std::atomic<bool>& open) {
  if (!open.load(std::memory_order_acquire)) return false;
  const std::int32_t done = direction.done.load(std::memory_order_relaxed);
  const std::int32_t queued = direction.queued.load(std::memory_order_acquire);
  return NextIndex(done) == queued || NextIndex(NextIndex(done)) == queued;
}

void StreamingEngine::BufferDone(WaveDirection which, int buffer_index) {
  callbacks_running_.fetch_add(1);
  if (!status_.stop_request.load()) {
    Direction& direction = which == WaveDirection::kPlay ? output_ : input_;
    if (servicing_mode_ == 0) {
      for (int index = direction.pending.Pop(); index >= 0; index = direction.pending.Pop()) {
        if (direction.stream->Queue(index, direction.Block(index)) != kMmNoError) {
          status_.stop_request.store(true, std::memory_order_release);
          break;
        }
      }
    }
    const std::int32_t done = NextIndex(direction.done.load(std::memory_order_relaxed));
    direction.done.store(done, std::memory_order_release);
    if (done != buffer_index) {
      // Buffers must come back in the order they were queued; anything else would put samples
      // in the wrong place.
      status_.stop_request.store(true, std::memory_order_release);
    } else if (done == direction.queued.load(std::memory_order_acquire)) {
      (which == WaveDirection::kPlay ? status_.playback_underrun : status_.record_overrun)
          .store(true, std::memory_order_release);
      status_.stop_request.store(true, std::memory_order_release);
    }
    if (RingLow(output_, status_.output_open) || RingLow(input_, status_.input_open)) {
      status_.ring_low.store(true, std::memory_order_release);
    }
  }
  callbacks_running_.fetch_sub(1);
}

}  // namespace vireon
