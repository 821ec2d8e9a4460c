#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "JackDriverTest.h"
#include "audio/devices/portaudio/PortAudioWaveStream.h"

namespace vireon {
namespace {

using JackStreamTest = JackDriverTest;
using namespace std::chrono_literals;

constexpr int kRate = kJackRate;

// Remembers the order of the reports of one direction (written by one thread at a time: the
// audio callback, then the resetting thread once the callback has stopped).
struct DoneOrder : WaveCallback {
  void BufferDone(WaveDirection /*direction*/, int buffer_index) override {
    const int at = count.load(std::memory_order_relaxed);
    if (at < static_cast<int>(indices.size())) indices[at] = buffer_index;
    count.store(at + 1, std::memory_order_release);
  }
  std::vector<int> Reported() const {
    const int reported = count.load(std::memory_order_acquire);
    return {indices.begin(), indices.begin() + std::min<int>(reported, indices.size())};
  }
  std::array<int, 64> indices{};
  std::atomic<int> count{0};
};

bool WaitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

TEST_F(JackStreamTest, ListsTheServerAndAnswersFormatQueriesByItsRate) {
  if (!HaveServer()) return;
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    const int device = JackDevice(direction);
    ASSERT_GE(device, 0);
    for (const int bits : {16, 24}) {
      EXPECT_EQ(driver_->QueryFormat(direction, device, {kRate, bits}), kMmNoError);
      // The server runs at one rate and does not convert.
      EXPECT_EQ(driver_->QueryFormat(direction, device, {44100, bits}), kWaveBadFormat);
    }
    EXPECT_EQ(driver_->QueryFormat(direction, device, {kRate, 20}), kWaveBadFormat);
  }
}

TEST_F(JackStreamTest, AnOpenAtARateTheServerDoesNotRunIsRefusedWithPortAudiosText) {
  if (!HaveServer()) return;
  DoneOrder played;
  DoneOrder recorded;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  ASSERT_EQ(driver_->Open(WaveDirection::kPlay, JackDevice(WaveDirection::kPlay), {kRate, 16},
                          played, play),
            kMmNoError);
  EXPECT_EQ(driver_->Open(WaveDirection::kRecord, JackDevice(WaveDirection::kRecord), {44100, 16},
                          recorded, record),
            kWaveBadFormat);
  EXPECT_EQ(record, nullptr);
  EXPECT_NE(driver_->LastErrorText().find("sample rate"), std::string::npos)
      << driver_->LastErrorText();

  std::vector<std::uint8_t> buffer(256 * 4);
  ASSERT_EQ(play->Queue(0, buffer), kMmNoError);
  ASSERT_EQ(play->Start(), kMmNoError);
  EXPECT_TRUE(WaitFor([&] { return played.count.load() == 1; }));
  EXPECT_EQ(play->Close(), kMmNoError);
}

TEST_F(JackStreamTest, OneDeviceRunsBothDirectionsOnlyOnceBothAreStartedAndResetReturnsAll) {
  if (!HaveServer()) return;
  const WaveFormat format{kRate, 24};
  DoneOrder played;
  DoneOrder recorded;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  ASSERT_EQ(
      driver_->Open(WaveDirection::kPlay, JackDevice(WaveDirection::kPlay), format, played, play),
      kMmNoError);
  ASSERT_EQ(play->Pause(), kMmNoError);
  std::vector<std::vector<std::uint8_t>> buffers(8, std::vector<std::uint8_t>(2048 * 6));
  for (int i = 0; i < 4; ++i) ASSERT_EQ(play->Queue(i, buffers[i]), kMmNoError);
  ASSERT_EQ(driver_->Open(WaveDirection::kRecord, JackDevice(WaveDirection::kRecord), format,
                          recorded, record),
            kMmNoError);
  for (int i = 0; i < 4; ++i) ASSERT_EQ(record->Queue(i, buffers[4 + i]), kMmNoError);
  EXPECT_EQ(record->Pause(), kMmNotSupported);

  ASSERT_EQ(record->Start(), kMmNoError);
  std::this_thread::sleep_for(300ms);  // longer than a buffer: nothing may run yet
  EXPECT_TRUE(played.Reported().empty());
  EXPECT_TRUE(recorded.Reported().empty());

  ASSERT_EQ(play->Start(), kMmNoError);
  ASSERT_TRUE(WaitFor([&] { return recorded.count.load() >= 1 && played.count.load() >= 1; }));
  EXPECT_EQ(record->Reset(), kMmNoError);
  EXPECT_EQ(play->Reset(), kMmNoError);

  // Every buffer came back exactly once, in the order it was queued.
  EXPECT_EQ(played.Reported(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(recorded.Reported(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(record->Close(), kMmNoError);
  EXPECT_EQ(play->Close(), kMmNoError);
  EXPECT_EQ(play->Queue(0, buffers[0]), kMmInvalidHandle);
  EXPECT_EQ(play->Close(), kMmInvalidHandle);
}

TEST_F(JackStreamTest, APlayStreamThatRunsOutOfBuffersPlaysSilenceAndCountsIt) {
  if (!HaveServer()) return;
  DoneOrder played;
  std::unique_ptr<WaveStream> play;
  ASSERT_EQ(driver_->Open(WaveDirection::kPlay, JackDevice(WaveDirection::kPlay), {kRate, 16},
                          played, play),
            kMmNoError);
  std::vector<std::vector<std::uint8_t>> buffers(2, std::vector<std::uint8_t>(256 * 4));
  for (int i = 0; i < 2; ++i) ASSERT_EQ(play->Queue(i, buffers[i]), kMmNoError);
  ASSERT_EQ(play->Start(), kMmNoError);  // a play-only stream starts at its own Start

  ASSERT_TRUE(WaitFor([&] { return played.count.load() == 2; }));
  auto& stream = static_cast<PortAudioWaveStream&>(*play);
  ASSERT_TRUE(WaitFor([&] { return stream.DryCallbacks() >= 2; }));
  EXPECT_EQ(play->Reset(), kMmNoError);
  EXPECT_EQ(played.Reported(), (std::vector<int>{0, 1}));
  EXPECT_EQ(play->Close(), kMmNoError);
}

}  // namespace
}  // namespace vireon
