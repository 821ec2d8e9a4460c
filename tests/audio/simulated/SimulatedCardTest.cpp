#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "CardRig.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"

namespace vireon {
namespace {

constexpr WaveFormat k48k16{48000, 16};
constexpr WaveFormat k48k24{48000, 24};

std::vector<StereoFrame> RandomFrames(std::size_t count, std::int32_t full_scale) {
  std::mt19937 random(17);
  std::uniform_int_distribution<std::int32_t> sample(-full_scale, full_scale);
  std::vector<StereoFrame> frames = {
      {full_scale, -full_scale}, {-full_scale, full_scale}, {0, 0}, {1, -1}};
  while (frames.size() < count) frames.push_back({sample(random), sample(random)});
  return frames;
}

TEST(SimulatedCardTest, ListsOneDeviceEachWayAndAnswersFormatQueries) {
  Bench bench;
  bench.rates = {44100, 48000};
  bench.bits = {24};
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    EXPECT_EQ(card.DeviceNames(direction), std::vector<std::string>{"Simulated card (test bench)"});
    EXPECT_EQ(card.QueryFormat(direction, 0, {44100, 24}), kMmNoError);
    EXPECT_EQ(card.QueryFormat(direction, 0, {96000, 24}), kWaveBadFormat);
    EXPECT_EQ(card.QueryFormat(direction, 0, {48000, 16}), kWaveBadFormat);
    EXPECT_EQ(card.QueryFormat(direction, 1, {48000, 24}), kMmBadDeviceId);
  }
}

// A wire is bit-exact when the resolutions match; across resolutions it scales full scale to
// full scale, rounded to nearest.
TEST(SimulatedCardTest, AWireCarriesEverySampleAcross) {
  for (const auto& [play, record] :
       {std::pair{k48k16, k48k16}, {k48k24, k48k24}, {k48k16, k48k24}, {k48k24, k48k16}}) {
    SCOPED_TRACE(testing::Message() << play.bits << " to " << record.bits);
    SimulatedCard card(Bench(), SimulatedCard::Clock::kFast);
    const std::vector<StereoFrame> played = RandomFrames(3000, FullScale(play.bits));
    const auto captured = Loopback(card, played, played.size(), play, record);
    ASSERT_EQ(captured.size(), played.size());
    for (std::size_t i = 0; i < played.size(); ++i) {
      for (int c = 0; c < 2; ++c) {
        const long double scaled =
            static_cast<long double>(played[i][c]) * FullScale(record.bits) / FullScale(play.bits);
        ASSERT_EQ(captured[i][c], std::lround(scaled)) << i;
      }
    }
  }
}

TEST(SimulatedCardTest, AnImpulseComesBackLatencyPlusDelayFramesLater) {
  Bench bench;
  bench.latency = 1000;
  bench.inputs[1].delay = 37;
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  std::vector<StereoFrame> played(200);
  played[123] = {20000, -20000};
  const auto captured = Loopback(card, played, 2000, k48k16);
  for (std::size_t i = 0; i < captured.size(); ++i) {
    ASSERT_EQ(captured[i][0], i == 1123 ? 20000 : 0) << i;
    ASSERT_EQ(captured[i][1], i == 1160 ? -20000 : 0) << i;
  }
}

TEST(SimulatedCardTest, TheSameBenchGivesBitIdenticalCapturesAndTheSeedChangesTheNoise) {
  const std::vector<StereoFrame> played = RandomFrames(20000, 30000);
  const auto run = [&](std::uint64_t seed) {
    Bench bench = BuiltInBench();
    bench.seed = seed;
    SimulatedCard card(bench, SimulatedCard::Clock::kFast);
    return Loopback(card, played, 24000, k48k24);
  };
  const auto first = run(1);
  EXPECT_EQ(first, run(1));
  EXPECT_NE(first, run(2));
  // Within the loudspeaker's latency there is only its noise, 26 counts RMS.
  for (std::size_t i = 0; i < 1024; ++i) ASSERT_LT(std::abs(first[i][0]), 200) << i;
}

TEST(SimulatedCardTest, RecordingBeforePlayingSeesSilenceAndInputWithoutABufferIsLost) {
  SimulatedCard card(Bench(), SimulatedCard::Clock::kFast);
  RecordingCallback callback;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  ASSERT_EQ(card.Open(WaveDirection::kPlay, 0, k48k16, callback, play), kMmNoError);
  ASSERT_EQ(card.Open(WaveDirection::kRecord, 0, k48k16, callback, record), kMmNoError);
  std::vector<StereoFrame> ramp(400);
  for (int i = 0; i < 400; ++i) ramp[i] = {i + 1, -(i + 1)};
  std::vector<std::uint8_t> play_bytes = PackFrames(ramp, 16);
  std::vector<std::uint8_t> early(100 * 4, 0xAA);
  std::vector<std::uint8_t> late(100 * 4, 0xAA);
  ASSERT_EQ(play->Pause(), kMmNoError);
  ASSERT_EQ(play->Queue(0, play_bytes), kMmNoError);
  ASSERT_EQ(record->Queue(0, early), kMmNoError);
  ASSERT_EQ(record->Start(), kMmNoError);
  card.Advance(60);  // recording while the output is paused
  ASSERT_EQ(play->Start(), kMmNoError);
  card.Advance(150);  // 40 frames fill the buffer, 110 find none and are lost
  ASSERT_EQ(record->Queue(1, late), kMmNoError);
  card.Advance(100);
  EXPECT_EQ(callback.done,
            (std::vector<Completion>{{WaveDirection::kRecord, 0}, {WaveDirection::kRecord, 1}}));
  const auto first = UnpackFrames(early, 16);
  const auto second = UnpackFrames(late, 16);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(first[i], (i < 60 ? StereoFrame{0, 0} : ramp[i - 60])) << i;
    EXPECT_EQ(second[i], ramp[150 + i]) << i;
  }
}

TEST(SimulatedCardTest, AnOutputRunningDryPlaysSilence) {
  SimulatedCard card(Bench(), SimulatedCard::Clock::kFast);
  const std::vector<StereoFrame> played(256, StereoFrame{5000, 6000});
  const auto captured = Loopback(card, played, 2048, k48k16);
  for (std::size_t i = 0; i < captured.size(); ++i) {
    ASSERT_EQ(captured[i], (i < 256 ? StereoFrame{5000, 6000} : StereoFrame{0, 0})) << i;
  }
}

// Buffers of 64 frames: the second completes at frame 128, then nothing completes for three
// buffer durations (until frame 320) although the card plays and records on; the buffers
// finished meanwhile arrive together, in queue order, play before record.
TEST(SimulatedCardTest, AStallHoldsCompletionsBackAndThenReportsThemTogether) {
  Bench bench;
  bench.faults.stall_after = 2;
  bench.faults.stall_blocks = 3;
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  RecordingCallback callback;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  ASSERT_EQ(card.Open(WaveDirection::kPlay, 0, k48k16, callback, play), kMmNoError);
  ASSERT_EQ(card.Open(WaveDirection::kRecord, 0, k48k16, callback, record), kMmNoError);
  std::vector<std::vector<std::uint8_t>> buffers(8, std::vector<std::uint8_t>(64 * 4));
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(play->Queue(i, buffers[i]), kMmNoError);
    ASSERT_EQ(record->Queue(i, buffers[4 + i]), kMmNoError);
  }
  ASSERT_EQ(record->Start(), kMmNoError);
  std::vector<std::pair<int, Completion>> seen;  // (frame of the step, completion)
  for (int frame = 16; frame <= 400; frame += 16) {
    card.Advance(16);
    for (const Completion& c : std::exchange(callback.done, {})) seen.push_back({frame, c});
  }
  const std::vector<std::pair<int, Completion>> expected = {
      {64, {WaveDirection::kPlay, 0}},    {64, {WaveDirection::kRecord, 0}},
      {128, {WaveDirection::kPlay, 1}},   {128, {WaveDirection::kRecord, 1}},
      {320, {WaveDirection::kPlay, 2}},   {320, {WaveDirection::kPlay, 3}},
      {320, {WaveDirection::kRecord, 2}}, {320, {WaveDirection::kRecord, 3}}};
  EXPECT_EQ(seen, expected);
}

TEST(SimulatedCardTest, ResetReturnsEveryQueuedBufferInOrder) {
  Bench bench;
  bench.faults.stall_after = 1;
  bench.faults.stall_blocks = 10;
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  RecordingCallback callback;
  std::unique_ptr<WaveStream> play;
  ASSERT_EQ(card.Open(WaveDirection::kPlay, 0, k48k24, callback, play), kMmNoError);
  std::vector<std::vector<std::uint8_t>> buffers(4, std::vector<std::uint8_t>(10 * 6));
  for (int i = 0; i < 4; ++i) ASSERT_EQ(play->Queue(7 - i, buffers[i]), kMmNoError);
  card.Advance(25);  // 7 done, 6 withheld by the stall, 5 half played
  EXPECT_EQ(callback.done, (std::vector<Completion>{{WaveDirection::kPlay, 7}}));
  ASSERT_EQ(play->Reset(), kMmNoError);
  EXPECT_EQ(callback.done, (std::vector<Completion>{{WaveDirection::kPlay, 7},
                                                    {WaveDirection::kPlay, 6},
                                                    {WaveDirection::kPlay, 5},
                                                    {WaveDirection::kPlay, 4}}));
  card.Advance(1000);
  EXPECT_EQ(callback.done.size(), 4u);
  // The ring is empty again: all eight places can be used.
  for (int i = 0; i < 8; ++i) ASSERT_EQ(play->Queue(i, buffers[0]), kMmNoError);
  EXPECT_EQ(play->Queue(8, buffers[0]), kMmNoMem);
  EXPECT_EQ(play->Close(), kMmNoError);
}

TEST(SimulatedCardTest, ResetsFailAsOftenAsTheBenchSaysOnEveryStopOfEachDirection) {
  Bench bench;
  bench.faults.reset_failures = 2;
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  RecordingCallback callback;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  ASSERT_EQ(card.Open(WaveDirection::kPlay, 0, k48k16, callback, play), kMmNoError);
  ASSERT_EQ(card.Open(WaveDirection::kRecord, 0, k48k16, callback, record), kMmNoError);
  std::vector<std::uint8_t> buffer(64 * 4);
  for (int stop = 0; stop < 2; ++stop) {
    for (WaveStream* stream : {play.get(), record.get()}) {
      callback.done.clear();
      ASSERT_EQ(stream->Queue(3, buffer), kMmNoError);
      EXPECT_EQ(stream->Reset(), kMmHandleBusy);
      EXPECT_EQ(stream->Reset(), kMmHandleBusy);
      EXPECT_TRUE(callback.done.empty());
      EXPECT_EQ(stream->Reset(), kMmNoError);
      EXPECT_EQ(callback.done.size(), 1u);
    }
  }
}

TEST(SimulatedCardTest, FailOpenFailsBothOpensButNotTheFormatQueries) {
  Bench bench;
  bench.faults.fail_open = kMmAllocated;
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  RecordingCallback callback;
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    std::unique_ptr<WaveStream> stream;
    EXPECT_EQ(card.QueryFormat(direction, 0, k48k24), kMmNoError);
    EXPECT_EQ(card.Open(direction, 0, k48k24, callback, stream), kMmAllocated);
    EXPECT_EQ(stream, nullptr);
  }
}

TEST(SimulatedCardTest, OpeningChecksTheDeviceTheFormatAndTheSharedRate) {
  SimulatedCard card(Bench(), SimulatedCard::Clock::kFast);
  RecordingCallback callback;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  EXPECT_EQ(card.Open(WaveDirection::kPlay, 1, k48k16, callback, play), kMmBadDeviceId);
  EXPECT_EQ(card.Open(WaveDirection::kPlay, 0, {48000, 8}, callback, play), kWaveBadFormat);
  EXPECT_EQ(card.Open(WaveDirection::kPlay, 0, {47999, 16}, callback, play), kWaveBadFormat);
  ASSERT_EQ(card.Open(WaveDirection::kPlay, 0, k48k16, callback, play), kMmNoError);
  std::unique_ptr<WaveStream> second;
  EXPECT_EQ(card.Open(WaveDirection::kPlay, 0, k48k16, callback, second), kMmAllocated);
  EXPECT_EQ(card.Open(WaveDirection::kRecord, 0, {44100, 16}, callback, record), kWaveBadFormat);
  EXPECT_EQ(card.Open(WaveDirection::kRecord, 0, {48000, 24}, callback, record), kMmNoError);
  EXPECT_EQ(record->Pause(), kMmNotSupported);
  std::vector<std::uint8_t> odd(7);
  EXPECT_EQ(record->Queue(0, odd), kMmInvalidParam);
  EXPECT_EQ(play->Close(), kMmNoError);
  EXPECT_EQ(play->Close(), kMmInvalidHandle);
  // With the play side closed the record side alone sets the rate.
  EXPECT_EQ(record->Close(), kMmNoError);
  EXPECT_EQ(card.Open(WaveDirection::kRecord, 0, {44100, 16}, callback, record), kMmNoError);
}

// The callback of the real-time clock, which runs on the card's thread.
class ThreadCallback : public WaveCallback {
 public:
  void BufferDone(WaveDirection direction, int) override {
    thread = std::this_thread::get_id();
    (direction == WaveDirection::kPlay ? played : recorded).fetch_add(1);
  }
  std::atomic<std::thread::id> thread;
  std::atomic<int> played{0};
  std::atomic<int> recorded{0};
};

TEST(SimulatedCardTest, TheRealTimeClockRunsOnItsOwnThreadAtTheSampleRate) {
  SimulatedCard card(Bench(), SimulatedCard::Clock::kRealTime);
  ThreadCallback callback;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  ASSERT_EQ(card.Open(WaveDirection::kPlay, 0, k48k16, callback, play), kMmNoError);
  ASSERT_EQ(card.Open(WaveDirection::kRecord, 0, k48k16, callback, record), kMmNoError);
  // Four 10 ms buffers each way: 40 ms of audio.
  const std::vector<StereoFrame> played = RandomFrames(4 * 480, 32767);
  std::vector<std::uint8_t> play_bytes = PackFrames(played, 16);
  std::vector<std::uint8_t> record_bytes(play_bytes.size());
  ASSERT_EQ(play->Pause(), kMmNoError);
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(play->Queue(i, std::span(play_bytes).subspan(i * 1920, 1920)), kMmNoError);
    ASSERT_EQ(record->Queue(i, std::span(record_bytes).subspan(i * 1920, 1920)), kMmNoError);
  }
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(record->Start(), kMmNoError);
  ASSERT_EQ(play->Start(), kMmNoError);
  while ((callback.recorded.load() < 4 || callback.played.load() < 4) &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(callback.recorded.load(), 4);
  EXPECT_EQ(callback.played.load(), 4);
  EXPECT_GE(elapsed, std::chrono::milliseconds(35));
  EXPECT_NE(callback.thread.load(), std::this_thread::get_id());
  EXPECT_EQ(record->Reset(), kMmNoError);
  EXPECT_EQ(play->Reset(), kMmNoError);
  EXPECT_EQ(play->Close(), kMmNoError);
  EXPECT_EQ(record->Close(), kMmNoError);
  // Record and play started within a few clock steps of each other: the capture is the played
  // audio shifted by those frames.
  const auto captured = UnpackFrames(record_bytes, 16);
  std::size_t shift = 0;
  while (shift < 480 && captured[shift] == StereoFrame{0, 0}) ++shift;
  for (std::size_t i = shift; i < captured.size(); ++i) {
    ASSERT_EQ(captured[i], played[i - shift]) << i;
  }
}

}  // namespace
}  // namespace vireon
