#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/devices/WaveDevice.h"

namespace vireon {

// The buffers queued on one direction of a stream, served by the audio callback without locks or
// allocation. One thread queues (the producer), the audio callback consumes; Drain runs only
// while the callback cannot run.
class BufferQueue {
 public:
  static constexpr int kCapacity = 16;

  BufferQueue(WaveDirection direction, int frame_bytes, WaveCallback& callback);

  // kMmInvalidParam for an empty buffer or one that is not whole frames, kMmNoMem when the queue
  // is full.
  int Push(int buffer_index, std::span<std::uint8_t> buffer);

  // Audio callback, play direction: fills `out` from the queued buffers, reports each buffer
  // played to the end, and writes silence for what the queue cannot supply.
  void Play(std::span<std::uint8_t> out);
  // Audio callback, record direction: copies `in` into the queued buffers, reports each full
  // buffer, and drops what finds no buffer.
  void Record(std::span<const std::uint8_t> in);

  // Reports every still-queued buffer done, in queue order; the callback must be stopped.
  void Drain();

  // Callbacks that found the queue empty for some or all of their frames.
  std::int64_t DryCallbacks() const { return dry_callbacks_.load(std::memory_order_acquire); }
  int FrameBytes() const { return frame_bytes_; }

 private:
  struct Entry {
    int index = 0;
    std::span<std::uint8_t> bytes;
  };
  // Copies between `io` and the head buffer until `io` is done or the queue is empty; returns the
  // bytes handled.
  template <typename Copy>
  std::size_t Transfer(std::size_t io_bytes, Copy copy);
  void PopHead();

  const WaveDirection direction_;
  const int frame_bytes_;
  WaveCallback& callback_;
  std::array<Entry, kCapacity> entries_{};
  // Monotonic positions; the slot of position p is p % kCapacity.
  std::atomic<std::uint32_t> head_{0};  // written by the consumer
  std::atomic<std::uint32_t> tail_{0};  // written by the producer
  std::size_t head_offset_ = 0;         // bytes of the head buffer already handled (consumer)
  std::atomic<std::int64_t> dry_callbacks_{0};
};

}  // namespace vireon
