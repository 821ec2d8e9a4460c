#include <gtest/gtest.h>

#include <cmath>

#include "StimulusFixtures.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/StimulusFrames.h"
#include "stimulus/SyncCode.h"

namespace vireon {
namespace {

// The sync code written out from its definition: an 8-stage register (output bit 8, feedback
// bits 8, 4, 3, 2) for the chips, the same register stepped every h samples for the bits.
std::vector<std::int32_t> ReferenceSyncCode(std::size_t count, std::int32_t amplitude, int h) {
  const auto step = [](std::uint32_t& r) {
    const auto bit = [&r](int i) { return (r >> i) & 1u; };
    const std::uint32_t out = bit(8);
    r = (r << 1) | ((bit(8) ^ bit(4) ^ bit(3) ^ bit(2)) << 1);
    return out;
  };
  std::uint32_t chips = 2, bits = 2, bit = 0;
  std::vector<std::int32_t> code;
  for (std::size_t n = 0; n < count; ++n) {
    if (n % h == 0) bit = step(bits);
    const std::uint32_t chip = step(chips);
    code.push_back(chip != bit ? 0 : (chip == 1 ? amplitude : -amplitude));
  }
  return code;
}

TEST(SyncCodeTest, PreambleFollowsChipsAndBits) {
  const std::int32_t amplitude =
      static_cast<std::int32_t>(std::nearbyint(std::pow(10.0, -49.0 / 20) * 8388607));
  SyncCode sync(24, -9.0, 7);
  for (const std::int32_t expected : ReferenceSyncCode(3000, amplitude, 7)) {
    ASSERT_EQ(sync.NextPreamble(), expected);
  }
  // Running mode: ±A/2 by the chip alone, continuing the same chip sequence.
  SyncCode running(16, -9.0, 7);
  const std::int32_t a16 =
      static_cast<std::int32_t>(std::nearbyint(std::pow(10.0, -49.0 / 20) * 32767));
  const std::vector<std::int32_t> chips = ReferenceSyncCode(600, 1, 1);  // bit = chip: ±1
  for (const std::int32_t chip : chips) {
    ASSERT_EQ(running.NextRunning(), chip > 0 ? a16 / 2 : -(a16 / 2));
  }
  EXPECT_EQ(SyncBitLength(0.05), 43);  // round(10800) / 255 = 42, made odd
  EXPECT_EQ(SyncBitLength(0.0), 3);
  EXPECT_EQ(SyncBitLength(0.2), 169);
}

// Two synchronous MLS periods: pre-roll plus record length each, a gap of the inter-period
// silence, then silence until half a line cycle after a whole number of cycles from the first
// start; the second period repeats the first. Output 2 carries the sync code throughout.
TEST(StimulusFramesTest, SynchronousPeriodsGapsAndLineAlignment) {
  for (const bool invert : {false, true}) {
    StimulusSelection selection = Selection(4);
    selection.period_length = 4095;
    PeriodTiming timing;
    timing.inter_silence = 100;
    timing.line_period = 960;  // 50 Hz at 48 kHz
    timing.invert_alternate = invert;
    timing.sync_bit_length = 5;
    GeneratedFrames run;
    ASSERT_TRUE(run.Start(selection));
    const std::vector<Frame> frames =
        UnpackFrames(GenerateStimulusFrames(run.generator, selection, timing, 2), 24);
    const std::size_t period = 4096 - 56 - 1 + 4095;  // 8134
    // The gap ends at 8234; the next start is 480 + 9·960 (plain) or 9·960 (inverting).
    const std::size_t second = invert ? 8640 : 9120;
    ASSERT_EQ(frames.size(), second + period);
    for (std::size_t n = 0; n < period; ++n) {
      ASSERT_NE(frames[n].left, 0) << n;
      ASSERT_EQ(frames[second + n].left, invert ? -frames[n].left : frames[n].left) << n;
    }
    for (std::size_t n = period; n < second; ++n) ASSERT_EQ(frames[n].left, 0) << n;
    const std::int32_t amplitude =
        static_cast<std::int32_t>(std::nearbyint(std::pow(10.0, -49.0 / 20) * 8388607));
    const std::vector<std::int32_t> sync = ReferenceSyncCode(frames.size(), amplitude, 5);
    for (std::size_t n = 0; n < frames.size(); ++n) ASSERT_EQ(frames[n].right, sync[n]) << n;
  }
}

// 24-bit periods start on whole frame pairs: a gap ending inside a pair grows by one frame. The
// last period has no gap after it.
TEST(StimulusFramesTest, PeriodsStartOnFramePairs) {
  StimulusSelection selection = Selection(9);  // stepped tones: no line alignment
  selection.period_length = 1001;
  PeriodTiming timing;
  timing.inter_silence = 10;
  struct Case {
    int bits, periods;
    std::size_t frames;
  };
  for (const Case c : {Case{24, 1, 1001}, Case{24, 2, 1012 + 1001}, Case{24, 3, 2 * 1012 + 1001},
                       Case{16, 2, 1011 + 1001}}) {
    selection.play_bits = c.bits;
    GeneratedFrames run;
    ASSERT_TRUE(run.Start(selection));
    const auto bytes = GenerateStimulusFrames(run.generator, selection, timing, c.periods);
    EXPECT_EQ(bytes.size() / FrameBytes(c.bits), c.frames) << c.bits << " bits, " << c.periods;
  }
}

TEST(StimulusFramesTest, AsynchronousPeriodsAreTheGeneratorsOutput) {
  for (const int code : {0, 1, 14, 8}) {
    StimulusSelection selection = Selection(code, 16);
    selection.period_length = 3000;
    GeneratedFrames whole;
    ASSERT_TRUE(whole.Start(selection));
    const std::vector<Frame> expected = whole.Fill(9000, 16);
    GeneratedFrames run;
    ASSERT_TRUE(run.Start(selection));
    EXPECT_EQ(UnpackFrames(GenerateStimulusFrames(run.generator, selection, {}, 3), 16), expected)
        << code;
  }
}

}  // namespace
}  // namespace vireon
