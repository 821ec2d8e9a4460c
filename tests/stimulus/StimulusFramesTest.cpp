#include <gtest/gtest.h>

#include <cmath>

#include "StimulusFixtures.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/StimulusFrames.h"
#include "stimulus/SyncCode.h"
#include "stimulus/SyncOutputSequence.h"

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

// One sequence, one code: the engine's filler, block by block after its lead-in, writes exactly
// the frames of a generated stimulus file, whatever the block size.
TEST(StimulusFramesTest, EngineBlocksAfterTheLeadInAreTheGeneratedFrames) {
  PeriodTiming timing;
  timing.inter_silence = 100;
  timing.line_period = 960;
  timing.invert_alternate = true;
  timing.sync_bit_length = 7;
  struct Case {
    int code, bits;
    std::int32_t block, lead_in;
  };
  for (const Case c : {Case{3, 24, 5460, 1000}, Case{4, 24, 510, 2000}, Case{6, 24, 2, 998},
                       Case{9, 16, 3, 1001}, Case{16, 16, 4095, 7}}) {
    SCOPED_TRACE(::testing::Message() << "stimulus " << c.code << ", block " << c.block);
    StimulusSelection selection = Selection(c.code, c.bits);
    selection.period_length = 3000;
    GeneratedFrames file;
    ASSERT_TRUE(file.Start(selection));
    const std::vector<Frame> expected =
        UnpackFrames(GenerateStimulusFrames(file.generator, selection, timing, 3), c.bits);

    GeneratedFrames engine;
    ASSERT_TRUE(engine.Start(selection));
    SyncOutputSequence sequence(engine.generator, c.code, c.bits, selection.period_length, timing);
    sequence.Restart(c.lead_in);
    std::vector<std::uint8_t> played;
    while (played.size() < (c.lead_in + expected.size()) * FrameBytes(c.bits)) {
      std::vector<std::uint8_t> block(static_cast<std::size_t>(c.block) * FrameBytes(c.bits), 0x5A);
      sequence.Fill(block, c.block);
      played.insert(played.end(), block.begin(), block.end());
    }
    const std::vector<Frame> frames = UnpackFrames(played, c.bits);
    for (std::int32_t n = 0; n < c.lead_in; ++n) ASSERT_EQ(frames[n], (Frame{0, 0})) << n;
    for (std::size_t n = 0; n < expected.size(); ++n) {
      ASSERT_EQ(frames[c.lead_in + n], expected[n]) << n;
    }
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
