#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace vireon {

// Block buffer indexes handed from one producer thread to one consumer thread, oldest first,
// without locks: the service routine pushes the buffers it has filled or emptied, the device
// callback pops them and gives them to the driver. Holds the four buffers of one direction.
class BufferIndexQueue {
 public:
  // False when the queue is full (more buffers than a direction has).
  bool Push(int index) {
    const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) == kSlots) return false;
    slots_[tail % kSlots] = index;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }
  // The oldest index, or -1 when empty.
  int Pop() {
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return -1;
    const int index = slots_[head % kSlots];
    head_.store(head + 1, std::memory_order_release);
    return index;
  }
  // Only while neither side runs (before a stream starts, after it stopped).
  void Clear() { head_.store(tail_.load(std::memory_order_relaxed), std::memory_order_relaxed); }

 private:
  static constexpr std::uint32_t kSlots = 4;
  std::array<int, kSlots> slots_{};
  std::atomic<std::uint32_t> head_{0};  // written by the consumer
  std::atomic<std::uint32_t> tail_{0};  // written by the producer
};

}  // namespace vireon
