#pragma once

#include <cstddef>
#include <cstdint>

namespace vireon {

// Block sizes of the streaming engine. Blocks hold whole groups of 12 bytes (two 24-bit frames
// or three 16-bit frames) and never exceed 32767 bytes, the largest buffer older drivers accept.

inline constexpr std::int32_t kMaxBlockBytes = 32767;
inline constexpr std::size_t kBlockBufferBytes = 131072;  // each of the 4 + 4 block buffers
inline constexpr int kBlocksInFlight = 4;                 // per direction

// Frames per block of one direction, for a nominal block duration (`BufferLengthMME`, seconds).
std::int32_t FramesPerBlock(int rate, int bits, double block_seconds);
// The silent lead-in before the stimulus, in play samples.
std::int32_t StabilizingLeadIn(int play_rate, double stabilizing_ms);
// The asynchronous engine's lead-in: the stabilizing lead-in rounded up to whole play blocks.
std::int32_t AsynchronousLeadIn(std::int32_t lead_in, std::int32_t play_frames_per_block);

}  // namespace vireon
