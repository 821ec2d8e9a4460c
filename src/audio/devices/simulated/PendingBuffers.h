#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vireon {

struct PendingBuffer {
  int index = 0;
  std::span<std::uint8_t> bytes;
};

// The buffers queued on one direction of the simulated card, in queue order: a lock-free
// single-producer (the caller of Queue), single-consumer (the card's clock) ring of fixed size.
class PendingBuffers {
 public:
  static constexpr std::size_t kCapacity = 8;

  // False when full.
  bool Push(const PendingBuffer& buffer) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) == kCapacity) return false;
    slots_[tail % kCapacity] = buffer;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

  // The oldest buffer, or nullptr when none is queued.
  const PendingBuffer* Front() const {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return nullptr;
    return &slots_[head % kCapacity];
  }

  // Removes the oldest buffer; only after Front gave one.
  void Pop() { head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

 private:
  std::array<PendingBuffer, kCapacity> slots_{};
  std::atomic<std::size_t> head_{0};  // written by the consumer only
  std::atomic<std::size_t> tail_{0};  // written by the producer only
};

}  // namespace vireon
