#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "JackDriverTest.h"
#include "audio/devices/portaudio/PortAudioWaveStream.h"

namespace vireon {
namespace {

using namespace std::chrono_literals;

constexpr int kRate = kJackRate;

struct DoneCounts : WaveCallback {
  void BufferDone(WaveDirection direction, int /*buffer_index*/) override {
    counts[static_cast<int>(direction)].fetch_add(1, std::memory_order_acq_rel);
  }
  int Count(WaveDirection direction) const {
    return counts[static_cast<int>(direction)].load(std::memory_order_acquire);
  }
  std::array<std::atomic<int>, 2> counts{};
};

// The two channels of a signal, on the format's own scale.
struct StereoSignal {
  std::vector<std::int32_t> left;
  std::vector<std::int32_t> right;
};

// A white pseudo-random signal at up to half scale, different on the two channels.
StereoSignal NoiseBurst(int frames, int bits) {
  const std::int32_t half_scale = (bits == 16 ? 32767 : 8388607) / 2;
  std::uint32_t state = 0x2545F491;
  auto next = [&state, half_scale] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<std::int32_t>(state % (2 * static_cast<std::uint32_t>(half_scale) + 1)) -
           half_scale;
  };
  StereoSignal signal;
  for (int i = 0; i < frames; ++i) {
    signal.left.push_back(next());
    signal.right.push_back(next());
  }
  return signal;
}

void PutSample(std::uint8_t* at, int bytes, std::int32_t value) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::int32_t GetSample(const std::uint8_t* at, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
  const int unused = 32 - 8 * bytes;
  return static_cast<std::int32_t>(value << unused) >> unused;  // sign-extend
}

// Connects the n-th output port of our client to its n-th input port; returns the pairs wired.
int WireOutputsToInputs(const JackServer& server) {
  std::vector<std::string> outputs;
  std::vector<std::string> inputs;
  for (const std::string& port : server.Ports()) {
    if (port.starts_with("system:")) continue;
    if (port.find(":out_") != std::string::npos) outputs.push_back(port);
    if (port.find(":in_") != std::string::npos) inputs.push_back(port);
  }
  int wired = 0;
  for (std::size_t i = 0; i < outputs.size() && i < inputs.size(); ++i) {
    wired += server.Connect(outputs[i], inputs[i]) ? 1 : 0;
  }
  return wired;
}

struct Loopback {
  StereoSignal played;  // the burst alone
  StereoSignal captured;
  int lead_frames = 0;  // silence played before the burst
  std::int64_t play_xruns = 0, record_xruns = 0, play_dry = 0;
};

// Streams the way the engine does: play opened and paused, four buffers queued each way, record
// started, then play; done buffers refilled (play) and emptied (record) by a polling pump.
Loopback RunLoopback(PortAudioDriver& driver, const JackServer& server, int play_device,
                     int record_device, int bits) {
  constexpr int kBuffers = 4;
  constexpr int kBlockFrames = 4096;
  constexpr int kCaptureFrames = kRate;
  const WaveFormat format{kRate, bits};
  const int sample_bytes = bits / 8;
  const int frame_bytes = format.BlockAlign();
  Loopback run;
  run.lead_frames = kRate / 2;  // time to wire the ports once the stream runs
  run.played = NoiseBurst(1024, bits);

  std::vector<std::vector<std::uint8_t>> play_buffers(
      kBuffers, std::vector<std::uint8_t>(kBlockFrames * frame_bytes));
  std::vector<std::vector<std::uint8_t>> record_buffers = play_buffers;
  int played_frames = 0;
  auto fill = [&](std::vector<std::uint8_t>& buffer) {
    for (int i = 0; i < kBlockFrames; ++i, ++played_frames) {
      const int at = played_frames - run.lead_frames;
      const bool burst = at >= 0 && at < static_cast<int>(run.played.left.size());
      PutSample(&buffer[i * frame_bytes], sample_bytes, burst ? run.played.left[at] : 0);
      PutSample(&buffer[i * frame_bytes + sample_bytes], sample_bytes,
                burst ? run.played.right[at] : 0);
    }
  };

  DoneCounts done;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  EXPECT_EQ(driver.Open(WaveDirection::kPlay, play_device, format, done, play), kMmNoError)
      << driver.LastErrorText();
  if (!play) return run;
  EXPECT_EQ(play->Pause(), kMmNoError);
  for (int i = 0; i < kBuffers; ++i) {
    fill(play_buffers[i]);
    EXPECT_EQ(play->Queue(i, play_buffers[i]), kMmNoError);
  }
  EXPECT_EQ(driver.Open(WaveDirection::kRecord, record_device, format, done, record), kMmNoError)
      << driver.LastErrorText();
  if (!record) return run;
  for (int i = 0; i < kBuffers; ++i) EXPECT_EQ(record->Queue(i, record_buffers[i]), kMmNoError);
  // The dummy driver does not loop back: the stream's own outputs feed its inputs.
  EXPECT_EQ(WireOutputsToInputs(server), 2);
  EXPECT_EQ(record->Start(), kMmNoError) << driver.LastErrorText();
  EXPECT_EQ(play->Start(), kMmNoError) << driver.LastErrorText();

  int refilled = 0;
  int emptied = 0;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (static_cast<int>(run.captured.left.size()) < kCaptureFrames &&
         std::chrono::steady_clock::now() < deadline) {
    for (; refilled < done.Count(WaveDirection::kPlay); ++refilled) {
      std::vector<std::uint8_t>& buffer = play_buffers[refilled % kBuffers];
      fill(buffer);
      EXPECT_EQ(play->Queue(refilled % kBuffers, buffer), kMmNoError);
    }
    for (; emptied < done.Count(WaveDirection::kRecord); ++emptied) {
      std::vector<std::uint8_t>& buffer = record_buffers[emptied % kBuffers];
      for (int i = 0; i < kBlockFrames; ++i) {
        run.captured.left.push_back(GetSample(&buffer[i * frame_bytes], sample_bytes));
        run.captured.right.push_back(
            GetSample(&buffer[i * frame_bytes + sample_bytes], sample_bytes));
      }
      EXPECT_EQ(record->Queue(emptied % kBuffers, buffer), kMmNoError);
    }
    std::this_thread::sleep_for(2ms);
  }
  run.play_xruns = play->HostXruns();
  run.record_xruns = record->HostXruns();
  run.play_dry = static_cast<PortAudioWaveStream&>(*play).DryCallbacks();
  EXPECT_EQ(record->Reset(), kMmNoError);
  EXPECT_EQ(record->Close(), kMmNoError);
  EXPECT_EQ(play->Reset(), kMmNoError);
  EXPECT_EQ(play->Close(), kMmNoError);
  EXPECT_EQ(done.Count(WaveDirection::kPlay), refilled + kBuffers);
  EXPECT_EQ(done.Count(WaveDirection::kRecord), emptied + kBuffers);
  return run;
}

// The lag at which `burst` correlates best with `capture`.
int BestMatchOffset(const std::vector<std::int32_t>& capture,
                    const std::vector<std::int32_t>& burst) {
  int best_offset = 0;
  std::int64_t best = 0;
  for (std::size_t offset = 0; offset + burst.size() <= capture.size(); ++offset) {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < burst.size(); ++i) {
      sum += static_cast<std::int64_t>(capture[offset + i]) * burst[i];
    }
    if (sum > best) {
      best = sum;
      best_offset = static_cast<int>(offset);
    }
  }
  return best_offset;
}

class JackLoopbackTest : public JackDriverTest, public ::testing::WithParamInterface<int> {};

TEST_P(JackLoopbackTest, ABurstPlayedDuplexComesBackSampleForSample) {
  if (!HaveServer()) return;
  const int bits = GetParam();
  const Loopback run = RunLoopback(*driver_, *server_, JackDevice(WaveDirection::kPlay),
                                   JackDevice(WaveDirection::kRecord), bits);
  ASSERT_GE(run.captured.left.size(), static_cast<std::size_t>(kRate));
  const int offset = BestMatchOffset(run.captured.left, run.played.left);
  std::cout << bits << "-bit loopback: burst found " << offset - run.lead_frames
            << " frames after it was played; xruns play " << run.play_xruns << ", record "
            << run.record_xruns << "; play callbacks short of buffers " << run.play_dry << "\n";
  ASSERT_GE(offset, run.lead_frames);
  ASSERT_LE(offset + run.played.left.size(), run.captured.left.size());
  // One stream, one clock: the right channel arrives at the same offset, and every sample of
  // both comes back as played, give or take the last bit of the float path inside the server.
  for (std::size_t i = 0; i < run.played.left.size(); ++i) {
    ASSERT_NEAR(run.captured.left[offset + i], run.played.left[i], 1) << "frame " << i;
    ASSERT_NEAR(run.captured.right[offset + i], run.played.right[i], 1) << "frame " << i;
  }
  // Before the burst only silence came back.
  for (int i = 0; i < offset; ++i) {
    ASSERT_NEAR(run.captured.left[i], 0, 1) << "frame " << i;
    ASSERT_NEAR(run.captured.right[i], 0, 1) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Bits, JackLoopbackTest, ::testing::Values(24, 16));

}  // namespace
}  // namespace vireon
