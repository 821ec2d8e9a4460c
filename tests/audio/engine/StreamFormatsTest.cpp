#include <gtest/gtest.h>

#include "audio/engine/StreamFormats.h"

namespace vireon {
namespace {

// Expected values worked by hand: n = round(rate × seconds); groups = min(2730, floor(n / e)),
// e = 3 frames per 12 bytes at 16 bits and 2 at 24 bits; frames = e × groups.
TEST(StreamFormatsTest, FramesPerBlockFillWholeGroupsBelow32768Bytes) {
  struct Case {
    int rate;
    int bits;
    double seconds;
    std::int32_t frames;
  };
  const Case cases[] = {
      {192000, 24, 0.17, 5460},  // 32640 frames wanted; capped at 32760 bytes
      {192000, 16, 0.17, 8190},  // capped at 32760 bytes
      {48000, 24, 0.17, 5460},   // 48960 bytes wanted; capped
      {48000, 16, 0.17, 8160},   // 32640 bytes, under the cap
      {44100, 16, 0.17, 7497},   // 7497 = 3 × 2499
      {44100, 24, 0.05, 2204},   // 2205 frames rounded down to a whole pair
      {11025, 16, 0.17, 1872},   // 1874.25 -> 1874 -> 3 × 624
      {8000, 24, 0.17, 1360},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.bits) + " bits");
    const std::int32_t frames = FramesPerBlock(c.rate, c.bits, c.seconds);
    EXPECT_EQ(frames, c.frames);
    const std::int32_t bytes = frames * 2 * (c.bits / 8);
    EXPECT_LE(bytes, kMaxBlockBytes);
    EXPECT_EQ(bytes % 12, 0);
  }
  EXPECT_EQ(FramesPerBlock(192000, 24, 0.17) * 6, 32760);
}

TEST(StreamFormatsTest, LeadInsInPlaySamples) {
  EXPECT_EQ(StabilizingLeadIn(48000, 900.0), 43200);
  EXPECT_EQ(StabilizingLeadIn(44100, 150.0), 6615);
  EXPECT_EQ(StabilizingLeadIn(22050, 0.1), 2);  // 2.205 rounds to 2
  // Rounded up to whole play blocks.
  EXPECT_EQ(AsynchronousLeadIn(43200, 5460), 43680);  // 7.9 blocks -> 8
  EXPECT_EQ(AsynchronousLeadIn(43680, 5460), 43680);  // already whole
  EXPECT_EQ(AsynchronousLeadIn(1, 7497), 7497);
  EXPECT_EQ(AsynchronousLeadIn(0, 7497), 0);
}

}  // namespace
}  // namespace vireon
