#include <gtest/gtest.h>

#include "audio/settings/RateTable.h"

namespace vireon {
namespace {

RateAvailability Only(std::initializer_list<int> rates) {
  RateAvailability available{};
  for (const int rate : rates) available[static_cast<std::size_t>(RateIndexOf(rate))] = true;
  return available;
}

TEST(RateTableTest, SelectRateSearchesFasterRatesFirstThenSlowerOnesDownTo32k) {
  struct Case {
    int requested;
    RateAvailability available;
    int expected_rate;  // 0: none usable
  };
  RateAvailability all;
  all.fill(true);
  for (const Case& c : {
           Case{50000, all, 88200},
           Case{50000, Only({96000, 48000}), 96000},
           Case{50000, Only({192000, 384000, 48000}), 192000},
           Case{50000, Only({768000, 44100}), 768000},
           Case{50000, Only({44100, 48000}), 48000},
           Case{50000, Only({32000}), 32000},
           Case{50000, Only({24000, 22050}), 0},   // the slowest rates are never a fallback
           Case{48000, all, 48000},                // an exact rate is its own index
           Case{1000000, Only({384000}), 384000},  // above the table: from the fastest down
           Case{1000, all, 22050},                 // below the table: the slowest
           Case{22050, Only({32000}), 32000},
           Case{96000, RateAvailability{}, 0},
       }) {
    const int index = SelectRate(c.requested, c.available);
    const int rate = index < 0 ? 0 : RateTable()[static_cast<std::size_t>(index)].rate;
    EXPECT_EQ(rate, c.expected_rate) << c.requested;
    if (c.expected_rate == 0) {
      EXPECT_EQ(index, -1);
    }
  }
}

TEST(RateTableTest, IndexesAndCaptions) {
  EXPECT_EQ(RateIndexOf(768000), 0);
  EXPECT_EQ(RateIndexOf(88200), 4);
  EXPECT_EQ(RateIndexOf(22050), 9);
  EXPECT_EQ(RateIndexOf(50000), -1);
  EXPECT_EQ(SampleRateMenuCaption(0), "&SampleRate: ? 768.00 kHz");
  EXPECT_EQ(SampleRateMenuCaption(6), "&SampleRate: 44.100 kHz");
  EXPECT_EQ(SampleRateMenuCaption(-1), "&SampleRate: INVALID");
  EXPECT_EQ(SampleRateMenuCaption(kRateCount), "&SampleRate: INVALID");
}

}  // namespace
}  // namespace vireon
