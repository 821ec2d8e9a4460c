#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/engine/LevelMeters.h"

namespace vireon {
namespace {

// Packed stereo frames of one block, 24 or 16 bits, with the given peaks (signs alternating).
std::vector<std::uint8_t> Block(int bits, std::int32_t left_peak, std::int32_t right_peak) {
  const int bytes = bits / 8;
  std::vector<std::uint8_t> block(8 * 2 * bytes);
  for (std::size_t frame = 0; frame < 8; ++frame) {
    const int sign = frame % 2 == 0 ? 1 : -1;
    const std::int32_t values[2] = {frame == 5 ? left_peak * sign : 0,
                                    frame == 6 ? right_peak * sign : 1};
    for (int c = 0; c < 2; ++c) {
      for (int b = 0; b < bytes; ++b) {
        block[(frame * 2 + c) * bytes + b] = static_cast<std::uint8_t>(values[c] >> (8 * b));
      }
    }
  }
  return block;
}

TEST(LevelMetersTest, PublishesEveryNthBlock) {
  LevelMeters meters;
  meters.SetInterval(3);
  const std::uint64_t first = meters.Read().sequence;
  meters.MeterInputBlock(Block(24, 8388607 / 10, 0), 24, 8);
  meters.MeterInputBlock(Block(24, 8388607 / 10, 0), 24, 8);
  EXPECT_EQ(meters.Read().sequence, first);
  EXPECT_DOUBLE_EQ(meters.Read().input1.bar, 0.0);
  meters.MeterInputBlock(Block(24, 8388607, 838860), 24, 8);
  const LevelReadings bars = meters.Read();
  EXPECT_GT(bars.sequence, first);
  EXPECT_EQ(bars.input1.peak, 8388607);
  EXPECT_NEAR(bars.input1.bar, 100.0, 1e-5);
  EXPECT_EQ(bars.input2.peak, 838860);
  EXPECT_NEAR(bars.input2.bar, 60.0, 1e-4);  // 838860 of 8388608
}

// 16-bit blocks are metered on the 24-bit scale, and the outputs have their own count.
TEST(LevelMetersTest, SixteenBitOutputBlocks) {
  LevelMeters meters;
  meters.SetInterval(2);
  meters.MeterOutputBlock(Block(16, 100, 100), 16, 8);
  EXPECT_EQ(meters.Read().output1.peak, 0);
  meters.MeterOutputBlock(Block(16, 32767, 3276), 16, 8);
  const LevelReadings bars = meters.Read();
  EXPECT_EQ(bars.output1.peak, 32767 * 256);
  EXPECT_EQ(bars.output2.peak, 3276 * 256);
  EXPECT_EQ(bars.input1.peak, 0);
}

}  // namespace
}  // namespace vireon
