#include "audio/devices/portaudio/BufferQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace vireon {
namespace {

constexpr int kFrameBytes = 4;  // 16-bit stereo

// Remembers every report in order; optionally hands each reported buffer straight back.
struct DoneLog : WaveCallback {
  void BufferDone(WaveDirection direction, int buffer_index) override {
    reports.push_back({direction, buffer_index});
    if (requeue != nullptr) {
      requeue_results.push_back(requeue->Push(buffer_index, (*buffers)[buffer_index]));
    }
  }
  std::vector<std::pair<WaveDirection, int>> reports;
  BufferQueue* requeue = nullptr;
  std::vector<std::vector<std::uint8_t>>* buffers = nullptr;
  std::vector<int> requeue_results;
};

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t first) {
  std::vector<std::uint8_t> bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

TEST(BufferQueueTest, PlaysBuffersBackToBackAcrossCallbacksThenSilence) {
  DoneLog log;
  BufferQueue queue(WaveDirection::kPlay, kFrameBytes, log);
  std::vector<std::uint8_t> first = Bytes(3 * kFrameBytes, 1);
  std::vector<std::uint8_t> second = Bytes(4 * kFrameBytes, 101);
  ASSERT_EQ(queue.Push(7, first), kMmNoError);
  ASSERT_EQ(queue.Push(2, second), kMmNoError);

  std::vector<std::uint8_t> played;
  std::vector<std::size_t> reports_after_callback;
  for (int callback = 0; callback < 5; ++callback) {
    std::vector<std::uint8_t> out(2 * kFrameBytes, 0xEE);
    queue.Play(out);
    played.insert(played.end(), out.begin(), out.end());
    reports_after_callback.push_back(log.reports.size());
  }

  std::vector<std::uint8_t> expected(10 * kFrameBytes, 0);
  std::copy(second.begin(), second.end(), std::copy(first.begin(), first.end(), expected.begin()));
  EXPECT_EQ(played, expected);
  // Each buffer is reported in the callback that plays its last frame, in queue order.
  EXPECT_EQ(reports_after_callback, (std::vector<std::size_t>{0, 1, 1, 2, 2}));
  EXPECT_EQ(log.reports, (std::vector<std::pair<WaveDirection, int>>{{WaveDirection::kPlay, 7},
                                                                     {WaveDirection::kPlay, 2}}));
  EXPECT_EQ(queue.DryCallbacks(), 2);  // the 4th callback ran short, the 5th was all silence
}

TEST(BufferQueueTest, RecordsIntoBuffersAcrossCallbacksAndDropsWhatFindsNoBuffer) {
  DoneLog log;
  BufferQueue queue(WaveDirection::kRecord, kFrameBytes, log);
  std::vector<std::uint8_t> first(2 * kFrameBytes);
  std::vector<std::uint8_t> second(3 * kFrameBytes);
  ASSERT_EQ(queue.Push(0, first), kMmNoError);
  ASSERT_EQ(queue.Push(1, second), kMmNoError);

  const std::vector<std::uint8_t> input = Bytes(7 * kFrameBytes, 1);
  for (std::size_t at = 0; at < input.size(); at += 3 * kFrameBytes) {
    const std::size_t count = std::min<std::size_t>(3 * kFrameBytes, input.size() - at);
    queue.Record(std::span(input).subspan(at, count));
  }

  EXPECT_EQ(first, Bytes(2 * kFrameBytes, 1));
  EXPECT_EQ(second, Bytes(3 * kFrameBytes, 1 + 2 * kFrameBytes));
  EXPECT_EQ(log.reports, (std::vector<std::pair<WaveDirection, int>>{{WaveDirection::kRecord, 0},
                                                                     {WaveDirection::kRecord, 1}}));
  EXPECT_EQ(queue.DryCallbacks(), 2);  // the second callback's last frame and the third dropped
}

TEST(BufferQueueTest, DrainReportsEveryQueuedBufferInQueueOrderAndEmptiesTheQueue) {
  DoneLog log;
  BufferQueue queue(WaveDirection::kPlay, kFrameBytes, log);
  std::vector<std::vector<std::uint8_t>> buffers(3, Bytes(4 * kFrameBytes, 1));
  for (int index : {2, 0, 1}) ASSERT_EQ(queue.Push(index, buffers[index]), kMmNoError);
  std::vector<std::uint8_t> out(kFrameBytes);
  queue.Play(out);  // the head buffer is partly played

  queue.Drain();

  EXPECT_EQ(log.reports,
            (std::vector<std::pair<WaveDirection, int>>{
                {WaveDirection::kPlay, 2}, {WaveDirection::kPlay, 0}, {WaveDirection::kPlay, 1}}));
  // A buffer queued after the drain plays from its first frame.
  std::vector<std::uint8_t> fresh = Bytes(kFrameBytes, 50);
  ASSERT_EQ(queue.Push(3, fresh), kMmNoError);
  queue.Play(out);
  EXPECT_EQ(out, fresh);
}

TEST(BufferQueueTest, RefusesBuffersThatAreNotWholeFramesAndAFullQueue) {
  DoneLog log;
  BufferQueue queue(WaveDirection::kPlay, 6, log);  // 24-bit stereo
  std::vector<std::uint8_t> odd(8);
  EXPECT_EQ(queue.Push(0, {}), kMmInvalidParam);
  EXPECT_EQ(queue.Push(0, odd), kMmInvalidParam);

  std::vector<std::uint8_t> buffer(6);
  for (int i = 0; i < BufferQueue::kCapacity; ++i) ASSERT_EQ(queue.Push(i, buffer), kMmNoError);
  EXPECT_EQ(queue.Push(99, buffer), kMmNoMem);
}

TEST(BufferQueueTest, AReportedBufferCanBeQueuedAgainFromItsReportWhenTheQueueWasFull) {
  DoneLog log;
  BufferQueue queue(WaveDirection::kPlay, kFrameBytes, log);
  std::vector<std::vector<std::uint8_t>> buffers(BufferQueue::kCapacity, Bytes(kFrameBytes, 1));
  for (int i = 0; i < BufferQueue::kCapacity; ++i) ASSERT_EQ(queue.Push(i, buffers[i]), kMmNoError);
  log.requeue = &queue;
  log.buffers = &buffers;

  std::vector<std::uint8_t> out(2 * kFrameBytes);
  queue.Play(out);

  EXPECT_EQ(log.requeue_results, (std::vector<int>{kMmNoError, kMmNoError}));
  EXPECT_EQ(queue.DryCallbacks(), 0);
}

}  // namespace
}  // namespace vireon
