#include <gtest/gtest.h>

#include "audio/engine/LevelMeters.h"

namespace vireon {
namespace {

TEST(LevelMetersTest, PublishesEveryNthBlock) {
  LevelMeters meters;
  meters.SetInterval(3);
  const std::uint64_t first = meters.Read().sequence;
  meters.EndInputBlock(8388608 / 10, 0);
  meters.EndInputBlock(8388608 / 10, 0);
  EXPECT_EQ(meters.Read().sequence, first);
  EXPECT_DOUBLE_EQ(meters.Read().input1.bar, 0.0);
  meters.EndInputBlock(8388608, 8388608 / 10);
  const LevelReadings bars = meters.Read();
  EXPECT_GT(bars.sequence, first);
  EXPECT_EQ(bars.input1.peak, 8388608);
  EXPECT_DOUBLE_EQ(bars.input1.bar, 100.0);
  EXPECT_EQ(bars.input2.peak, 838860);
  EXPECT_NEAR(bars.input2.bar, 60.0, 1e-4);  // 838860 of 8388608

  int metered = 0;
  for (int block = 0; block < 9; ++block) metered += meters.MeterThisOutputBlock() ? 1 : 0;
  EXPECT_EQ(metered, 3);
}

}  // namespace
}  // namespace vireon
