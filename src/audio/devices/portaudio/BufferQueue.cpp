#include "audio/devices/portaudio/BufferQueue.h"

#include <algorithm>
#include <cstring>

namespace vireon {

BufferQueue::BufferQueue(WaveDirection direction, int frame_bytes, WaveCallback& callback)
    : direction_(direction), frame_bytes_(frame_bytes), callback_(callback) {}

int BufferQueue::Push(int buffer_index, std::span<std::uint8_t> buffer) {
  if (buffer.empty() || buffer.size() % static_cast<std::size_t>(frame_bytes_) != 0) {
    return kMmInvalidParam;
  }
  const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
  if (tail - head_.load(std::memory_order_acquire) == kCapacity) return kMmNoMem;
  entries_[tail % kCapacity] = Entry{buffer_index, buffer};
  tail_.store(tail + 1, std::memory_order_release);
  return kMmNoError;
}

template <typename Copy>
std::size_t BufferQueue::Transfer(std::size_t io_bytes, Copy copy) {
  std::size_t done = 0;
  while (done < io_bytes) {
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) break;
    const std::span<std::uint8_t> buffer = entries_[head % kCapacity].bytes;
    const std::size_t count = std::min(io_bytes - done, buffer.size() - head_offset_);
    copy(buffer.subspan(head_offset_, count), done);
    done += count;
    head_offset_ += count;
    if (head_offset_ == buffer.size()) PopHead();
  }
  if (done < io_bytes) dry_callbacks_.fetch_add(1, std::memory_order_release);
  return done;
}

void BufferQueue::PopHead() {
  const std::uint32_t head = head_.load(std::memory_order_relaxed);
  const int index = entries_[head % kCapacity].index;
  head_offset_ = 0;
  // Free the slot before reporting, so the owner may queue the buffer again from BufferDone.
  head_.store(head + 1, std::memory_order_release);
  callback_.BufferDone(direction_, index);
}

void BufferQueue::Play(std::span<std::uint8_t> out) {
  const std::size_t played =
      Transfer(out.size(), [out](std::span<std::uint8_t> buffer, std::size_t at) {
        std::memcpy(out.data() + at, buffer.data(), buffer.size());
      });
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(played), out.end(), std::uint8_t{0});
}

void BufferQueue::Record(std::span<const std::uint8_t> in) {
  Transfer(in.size(), [in](std::span<std::uint8_t> buffer, std::size_t at) {
    std::memcpy(buffer.data(), in.data() + at, buffer.size());
  });
}

void BufferQueue::Drain() {
  while (head_.load(std::memory_order_relaxed) != tail_.load(std::memory_order_acquire)) {
    PopHead();
  }
}

}  // namespace vireon
