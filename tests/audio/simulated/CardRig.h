#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "audio/devices/WaveDevice.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "stimulus/SamplePacking.h"

namespace vireon {

struct Completion {
  WaveDirection direction;
  int index;
  bool operator==(const Completion&) const = default;
};

// Keeps every completion in the order the card reported it.
class RecordingCallback : public WaveCallback {
 public:
  void BufferDone(WaveDirection direction, int buffer_index) override {
    done.push_back({direction, buffer_index});
  }
  std::vector<Completion> done;
};

using StereoFrame = std::array<std::int32_t, 2>;

inline std::vector<std::uint8_t> PackFrames(std::span<const StereoFrame> frames, int bits) {
  const auto frame_bytes = static_cast<std::size_t>(FrameBytes(bits));
  std::vector<std::uint8_t> bytes(frames.size() * frame_bytes);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    PackSample(bytes, i * frame_bytes, bits, frames[i][0]);
    PackSample(bytes, i * frame_bytes + bits / 8, bits, frames[i][1]);
  }
  return bytes;
}

inline std::vector<StereoFrame> UnpackFrames(std::span<const std::uint8_t> bytes, int bits) {
  const auto frame_bytes = static_cast<std::size_t>(FrameBytes(bits));
  const auto sample = [&](std::size_t offset) {
    std::uint32_t raw = 0;
    for (int b = bits / 8 - 1; b >= 0; --b) raw = (raw << 8) | bytes[offset + b];
    const int shift = 32 - bits;
    return static_cast<std::int32_t>(raw << shift) >> shift;
  };
  std::vector<StereoFrame> frames(bytes.size() / frame_bytes);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    frames[i] = {sample(i * frame_bytes), sample(i * frame_bytes + bits / 8)};
  }
  return frames;
}

// A tiny engine for the fast clock: plays `played` (then silence) through four play buffers and
// records `record_frames` through four record buffers, requeueing each buffer as it completes,
// as the streaming engine does.
inline std::vector<StereoFrame> Loopback(SimulatedCard& card, std::span<const StereoFrame> played,
                                         std::size_t record_frames, WaveFormat play_format,
                                         WaveFormat record_format, std::size_t buffer_frames = 256,
                                         int step = 96) {
  RecordingCallback callback;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  EXPECT_EQ(card.Open(WaveDirection::kPlay, 0, play_format, callback, play), kMmNoError);
  EXPECT_EQ(card.Open(WaveDirection::kRecord, 0, record_format, callback, record), kMmNoError);
  if (!play || !record) return {};

  std::array<std::vector<std::uint8_t>, 4> play_buffers;
  std::array<std::vector<std::uint8_t>, 4> record_buffers;
  std::size_t next_played = 0;
  const auto fill_play = [&](int index) {
    std::vector<StereoFrame> chunk(buffer_frames, StereoFrame{0, 0});
    for (std::size_t i = 0; i < buffer_frames && next_played + i < played.size(); ++i) {
      chunk[i] = played[next_played + i];
    }
    next_played += buffer_frames;
    play_buffers[index] = PackFrames(chunk, play_format.bits);
    EXPECT_EQ(play->Queue(index, play_buffers[index]), kMmNoError);
  };
  EXPECT_EQ(play->Pause(), kMmNoError);
  for (int i = 0; i < 4; ++i) {
    fill_play(i);
    record_buffers[i].assign(buffer_frames * record_format.BlockAlign(), 0);
    EXPECT_EQ(record->Queue(i, record_buffers[i]), kMmNoError);
  }
  EXPECT_EQ(record->Start(), kMmNoError);
  EXPECT_EQ(play->Start(), kMmNoError);

  std::vector<StereoFrame> captured;
  while (captured.size() < record_frames) {
    card.Advance(step);
    const std::vector<Completion> done = std::exchange(callback.done, {});
    for (const Completion& c : done) {
      if (c.direction == WaveDirection::kPlay) {
        fill_play(c.index);
      } else {
        const auto frames = UnpackFrames(record_buffers[c.index], record_format.bits);
        captured.insert(captured.end(), frames.begin(), frames.end());
        EXPECT_EQ(record->Queue(c.index, record_buffers[c.index]), kMmNoError);
      }
    }
  }
  EXPECT_EQ(record->Reset(), kMmNoError);
  EXPECT_EQ(play->Reset(), kMmNoError);
  EXPECT_EQ(record->Close(), kMmNoError);
  EXPECT_EQ(play->Close(), kMmNoError);
  captured.resize(record_frames);
  return captured;
}

inline std::vector<StereoFrame> Loopback(SimulatedCard& card, std::span<const StereoFrame> played,
                                         std::size_t record_frames, WaveFormat format) {
  return Loopback(card, played, record_frames, format, format);
}

}  // namespace vireon
